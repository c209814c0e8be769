# The folder search timed against a bare FindFirstFile walk of the same tree. Not part of "all":
# cmake --build build/win --target search_bench, then scripts/wine-run.sh 32 on bin/search_bench.exe
# (build/win64 and 64 where the machine runs no 32-bit programs).
add_executable(search_bench EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/SearchBench.cpp)
target_link_libraries(search_bench PRIVATE components)
lumagrove_warnings(search_bench)

# The shell folder tree expanding a folder of 10,000 folders, timed against a bare FindFirstFile
# listing of it: cmake --build build/win --target folder_tree_bench, then scripts/wine-run.sh 32
# on bin/folder_tree_bench.exe (it shows a window: run it on a display, Xvfb will do).
add_executable(folder_tree_bench EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/FolderTreeBench.cpp)
target_link_libraries(folder_tree_bench PRIVATE toolkit)
lumagrove_warnings(folder_tree_bench)
