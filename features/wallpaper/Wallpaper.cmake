# The animated wallpaper's build pieces: the script encoder the program carries (js.exe, built
# from tools/jsencoder), the logo the page shows and the three default pictures of the program
# folder's Wallpaper\, drawn by tools/wallpaper_art.py.
add_executable(JsEncoder ${PROJECT_SOURCE_DIR}/tools/jsencoder/JsEncoder.cpp)
set_target_properties(JsEncoder PROPERTIES OUTPUT_NAME js RUNTIME_OUTPUT_DIRECTORY ${art_dir})
target_link_options(JsEncoder PRIVATE -s)
lumagrove_warnings(JsEncoder)

set(wallpaper_art ${art_dir})
set(wallpaper_pictures ${wallpaper_art}/Lumagrove01.jpg ${wallpaper_art}/Lumagrove02.jpg
    ${wallpaper_art}/Lumagrove03.jpg)
add_custom_command(OUTPUT ${wallpaper_pictures} ${wallpaper_art}/wplogo.gif
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/wallpaper_art.py ${wallpaper_art}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/wallpaper_art.py ${PROJECT_SOURCE_DIR}/tools/pictures.py
  COMMENT "Drawing the default wallpapers and the page's logo")
add_custom_target(wallpaper_folder ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${LUMAGROVE_PROGRAM_DIR}/Wallpaper
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${wallpaper_pictures}
          ${LUMAGROVE_PROGRAM_DIR}/Wallpaper
  DEPENDS ${wallpaper_pictures}
  COMMENT "Laying out the default wallpapers")

# The resources "JS" and "WPLOGO", in every executable that builds the wallpaper form.
set(LUMAGROVE_WALLPAPER_RC ${PROJECT_SOURCE_DIR}/resources/Wallpaper.rc)
# (found through the executables' include folder ${art_dir}; source properties hold only in the
# folder that sets them, so the tests' folder sets these dependencies again)
set(LUMAGROVE_WALLPAPER_RC_DEPENDS ${wallpaper_art}/wplogo.gif ${art_dir}/js.exe)
set_property(SOURCE ${LUMAGROVE_WALLPAPER_RC} APPEND PROPERTY OBJECT_DEPENDS
             ${LUMAGROVE_WALLPAPER_RC_DEPENDS})
add_custom_target(wallpaper_resources DEPENDS ${wallpaper_art}/wplogo.gif JsEncoder)

# The page for 10,000 pictures against one WriteFile of its bytes. Not part of "all":
# cmake --build build/win --target wallpaper_bench, then scripts/wine-run.sh 32 on
# bin/wallpaper_bench.exe (build/win64 and 64 where the machine runs no 32-bit programs).
add_executable(wallpaper_bench EXCLUDE_FROM_ALL ${PROJECT_SOURCE_DIR}/bench/WallpaperBench.cpp
               ${PROJECT_SOURCE_DIR}/features/wallpaper/WallpaperPage.cpp)
target_include_directories(wallpaper_bench PRIVATE ${PROJECT_SOURCE_DIR})
lumagrove_warnings(wallpaper_bench)
