# Opening the cursor packages form with 200 packages, timed against a bare FindFirstFile walk
# with a LoadImage of each package's arrow. Not part of "all": cmake --build build/win64
# --target cursor_bench (build/win and 32 where the machine runs 32-bit programs).
add_executable(cursor_form_bench EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/CursorFormBench.cpp
               ${LUMAGROVE_PICTURES_RC})
target_link_libraries(cursor_form_bench PRIVATE app)
target_include_directories(cursor_form_bench PRIVATE ${art_dir})
add_dependencies(cursor_form_bench artwork cursor_art)
lumagrove_warnings(cursor_form_bench)
add_custom_target(cursor_bench
  COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:cursor_form_bench>
          Z:${feature_art_dir}/Grove/arrow.cur
  DEPENDS cursor_form_bench
  USES_TERMINAL
  COMMENT "Opening the cursor form with 200 packages against a bare walk with LoadImage")
