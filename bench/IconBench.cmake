# Applying and restoring a full icon package against a bare loop of the same registry writes,
# and opening the icon packages form over 200 packages. Not part of "all":
# cmake --build build/win --target icon_bench, then scripts/wine-run.sh 32 on bin/icon_bench.exe
# (build/win64 and 64 where the machine runs no 32-bit programs).
add_executable(icon_bench EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/IconBench.cpp)
target_link_libraries(icon_bench PRIVATE app)
lumagrove_warnings(icon_bench)
