# The taskbar and Start-button routines, one source both programs link, and the tray helper
# Hovelin.exe in the program folder: its form (a library the tests link too), its entry, its icon
# drawn by our own tool, its manifest.
add_library(taskbar STATIC ${PROJECT_SOURCE_DIR}/features/misc/Func_misc.cpp)
target_link_libraries(taskbar PUBLIC common)
lumagrove_warnings(taskbar)
target_link_libraries(app PUBLIC taskbar)

add_library(hovelin_forms STATIC ${PROJECT_SOURCE_DIR}/tray/UnitFrmHovelin.cpp)
target_link_libraries(hovelin_forms PUBLIC taskbar components)
lumagrove_warnings(hovelin_forms)

set(hovelin_icon ${art_dir}/hovelin.ico)
add_custom_command(OUTPUT ${hovelin_icon}
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/hovelin_art.py ${art_dir}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/hovelin_art.py ${PROJECT_SOURCE_DIR}/tools/make_art.py
  COMMENT "Drawing the tray helper's icon")
add_custom_target(hovelin_artwork DEPENDS ${hovelin_icon})

set(hovelin_rc ${PROJECT_SOURCE_DIR}/resources/Hovelin.rc)
set_property(SOURCE ${hovelin_rc} APPEND PROPERTY OBJECT_DEPENDS ${hovelin_icon}
             ${PROJECT_SOURCE_DIR}/resources/Hovelin.manifest)
add_executable(Hovelin WIN32 ${PROJECT_SOURCE_DIR}/tray/Hovelin.cpp ${hovelin_rc})
target_link_libraries(Hovelin PRIVATE hovelin_forms)
target_include_directories(Hovelin PRIVATE ${art_dir} ${PROJECT_SOURCE_DIR}/resources)
add_dependencies(Hovelin hovelin_artwork program_folder)
set_target_properties(Hovelin PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${LUMAGROVE_PROGRAM_DIR})
lumagrove_warnings(Hovelin)

# The helper's benchmark (built and run on request): cmake --build ... --target hovelin_bench.
add_executable(HovelinBench EXCLUDE_FROM_ALL ${PROJECT_SOURCE_DIR}/bench/HovelinBench.cpp)
target_link_libraries(HovelinBench PRIVATE taskbar psapi)
target_include_directories(HovelinBench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
lumagrove_warnings(HovelinBench)
add_custom_target(hovelin_bench
  COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:HovelinBench>
  DEPENDS HovelinBench Hovelin BareWindow
  USES_TERMINAL
  COMMENT "The helper's watchdog tick and idle working set against bare Win32 calls and programs")
