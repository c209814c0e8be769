# The folder search timed against a bare FindFirstFile walk of the same tree. Not part of "all":
# cmake --build build/win --target search_bench, then scripts/wine-run.sh 32 on bin/search_bench.exe
# (build/win64 and 64 where the machine runs no 32-bit programs).
add_executable(search_bench EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/SearchBench.cpp)
target_link_libraries(search_bench PRIVATE components)
lumagrove_warnings(search_bench)
