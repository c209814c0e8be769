# The shell folder tree expanding a folder of 10,000 folders, timed against a bare FindFirstFile
# listing of it: cmake --build build/win --target folder_tree_bench, then scripts/wine-run.sh 32
# on bin/folder_tree_bench.exe (it shows a window: run it on a display, Xvfb will do).
add_executable(folder_tree_bench EXCLUDE_FROM_ALL ${CMAKE_CURRENT_LIST_DIR}/FolderTreeBench.cpp)
target_link_libraries(folder_tree_bench PRIVATE toolkit)
lumagrove_warnings(folder_tree_bench)
