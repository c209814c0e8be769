# The taskbar and Start-button routines, one source both programs link.
add_library(taskbar STATIC ${PROJECT_SOURCE_DIR}/features/misc/Func_misc.cpp)
target_link_libraries(taskbar PUBLIC common)
lumagrove_warnings(taskbar)
target_link_libraries(app PUBLIC taskbar)
