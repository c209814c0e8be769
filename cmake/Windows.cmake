# Windows build: programs, data, tests. Static linking, so the programs need no compiler DLLs.
add_link_options(-static -static-libgcc -static-libstdc++)
add_compile_definitions(WINVER=0x0501 _WIN32_WINNT=0x0501 _WIN32_IE=0x0600 STRICT NOMINMAX)

# 32 for the program as it ships (i686), 64 for the same tree built for x86_64.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(LUMAGROVE_WIN_BITS 64)
else()
  set(LUMAGROVE_WIN_BITS 32)
endif()

# Tests (and their discovery) run the Windows executables under Wine through this wrapper, in
# the Wine prefix and with the loader of this build's architecture.
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh ${LUMAGROVE_WIN_BITS})

# libjpeg-turbo, cross-compiled for this architecture by scripts/setup.sh into the cache folder.
include(${PROJECT_SOURCE_DIR}/cmake/Jpeg.cmake)
lumagrove_import_jpeg(${CMAKE_SYSTEM_PROCESSOR} "for ${CMAKE_SYSTEM_PROCESSOR} Windows")

find_package(Python3 REQUIRED COMPONENTS Interpreter)

# The program folder as it ships: Lumagrove.exe, Data\, the package folders.
set(LUMAGROVE_PROGRAM_DIR ${CMAKE_BINARY_DIR}/Lumagrove)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# --- the toolkit: our class library over Win32 ---------------------------------------------
file(GLOB toolkit_sources CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/toolkit/core/*.cpp ${PROJECT_SOURCE_DIR}/toolkit/win32/*.cpp
  ${PROJECT_SOURCE_DIR}/toolkit/graphics/*.cpp ${PROJECT_SOURCE_DIR}/toolkit/graphics/*.c
  ${PROJECT_SOURCE_DIR}/toolkit/forms/*.cpp)
add_library(toolkit STATIC ${toolkit_sources})
target_include_directories(toolkit PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(toolkit PUBLIC jpeg advapi32 shell32 user32 gdi32 comctl32 comdlg32 ole32
                      version shlwapi uuid)
lumagrove_warnings(toolkit)

# --- common: RegUnit and the shared routines of both programs ------------------------------
file(GLOB common_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/common/*.cpp)
add_library(common STATIC ${common_sources})
target_link_libraries(common PUBLIC toolkit)
lumagrove_warnings(common)

# --- archive: the zip reader (portable core over a thin file layer) ---
file(GLOB archive_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/archive/*.cpp
     ${PROJECT_SOURCE_DIR}/archive/win32/*.cpp)
add_library(archive STATIC ${archive_sources})
target_link_libraries(archive PUBLIC toolkit)
lumagrove_warnings(archive)

# --- components: the program's own controls over the toolkit --------------------------------
file(GLOB components_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/components/*.cpp)
add_library(components STATIC ${components_sources})
target_link_libraries(components PUBLIC toolkit)
lumagrove_warnings(components)

# --- data: artwork made by our own tools, and the files of the Data folder ------------------
set(art_dir ${CMAKE_BINARY_DIR}/art)
set(art_icons ${art_dir}/fallback.ico ${art_dir}/app.ico ${art_dir}/folder.ico)
set(art_cursors ${art_dir}/urlhand.cur ${art_dir}/urlhand2.cur)
set(art_pictures ${art_dir}/explorer.bmp ${art_dir}/toolbar.bmp ${art_dir}/background.bmp
    ${art_dir}/padlock.bmp)
foreach(link icons wallpaper cursor oem explorer xplook more folder logon)
  list(APPEND art_pictures ${art_dir}/link_${link}.bmp)
endforeach()
add_custom_command(OUTPUT ${art_icons} ${art_cursors} ${art_pictures}
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/make_art.py ${art_dir}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/make_art.py ${PROJECT_SOURCE_DIR}/tools/pictures.py
  COMMENT "Drawing the program's artwork")
add_custom_target(artwork DEPENDS ${art_icons} ${art_cursors} ${art_pictures})

include(${PROJECT_SOURCE_DIR}/features/wallpaper/Wallpaper.cmake)

# Icon.dll: a resource-only library (icon 0 the fallback icon, icon 2 the program folder's).
add_library(IconDll SHARED ${PROJECT_SOURCE_DIR}/resources/Icon.rc)
add_dependencies(IconDll artwork)
set_target_properties(IconDll PROPERTIES OUTPUT_NAME Icon PREFIX "" LINKER_LANGUAGE C
  LIBRARY_OUTPUT_DIRECTORY ${LUMAGROVE_PROGRAM_DIR}/Data
  RUNTIME_OUTPUT_DIRECTORY ${LUMAGROVE_PROGRAM_DIR}/Data)
target_include_directories(IconDll PRIVATE ${art_dir})
set_property(SOURCE ${PROJECT_SOURCE_DIR}/resources/Icon.rc APPEND PROPERTY OBJECT_DEPENDS ${art_icons})
target_link_options(IconDll PRIVATE -nostdlib -Wl,--entry=0 -s)

# The folder form's pictures: the icons of foldericon.icl and the backgrounds of FolderBG\.
set(folder_icon_dir ${art_dir}/foldericons)
set(folder_bg_dir ${art_dir}/FolderBG)
set(folder_icons)
foreach(i RANGE 9)
  list(APPEND folder_icons ${folder_icon_dir}/folder0${i}.ico)
endforeach()
set(folder_backgrounds)
foreach(name Paper Leaves Sky Waves)
  list(APPEND folder_backgrounds ${folder_bg_dir}/${name}.bmp)
endforeach()
add_custom_command(OUTPUT ${folder_icons} ${folder_backgrounds}
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/folder_art.py ${folder_icon_dir}
          ${folder_bg_dir}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/folder_art.py ${PROJECT_SOURCE_DIR}/tools/make_art.py
          ${PROJECT_SOURCE_DIR}/tools/pictures.py
  COMMENT "Drawing the folder icons and backgrounds")
add_custom_target(folder_artwork DEPENDS ${folder_icons} ${folder_backgrounds})

# foldericon.icl: an icon collection, a resource-only library like Icon.dll under its own name.
add_library(FolderIconIcl SHARED ${PROJECT_SOURCE_DIR}/resources/FolderIcon.rc)
add_dependencies(FolderIconIcl folder_artwork)
set_target_properties(FolderIconIcl PROPERTIES OUTPUT_NAME foldericon PREFIX "" SUFFIX ".icl"
  LINKER_LANGUAGE C
  LIBRARY_OUTPUT_DIRECTORY ${LUMAGROVE_PROGRAM_DIR}/Data
  RUNTIME_OUTPUT_DIRECTORY ${LUMAGROVE_PROGRAM_DIR}/Data)
target_include_directories(FolderIconIcl PRIVATE ${folder_icon_dir})
set_property(SOURCE ${PROJECT_SOURCE_DIR}/resources/FolderIcon.rc APPEND PROPERTY OBJECT_DEPENDS
             ${folder_icons})
target_link_options(FolderIconIcl PRIVATE -nostdlib -Wl,--entry=0 -s)

add_custom_target(program_folder ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${LUMAGROVE_PROGRAM_DIR}/Data
          ${LUMAGROVE_PROGRAM_DIR}/Lang
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PROJECT_SOURCE_DIR}/data/Data/Config.ini
          ${LUMAGROVE_PROGRAM_DIR}/Data/Config.ini
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PROJECT_SOURCE_DIR}/data/Lang/Deutsch.lng
          ${LUMAGROVE_PROGRAM_DIR}/Lang/Deutsch.lng
  COMMAND ${CMAKE_COMMAND} -E make_directory ${LUMAGROVE_PROGRAM_DIR}/FolderBG
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${folder_backgrounds}
          ${LUMAGROVE_PROGRAM_DIR}/FolderBG
  DEPENDS IconDll FolderIconIcl ${folder_backgrounds}
  COMMENT "Laying out the program folder")

# The Explorer look's samples (tool-bar backgrounds and animated logo strips), drawn by our
# own tool straight into the program folder.
set(ie_samples ${LUMAGROVE_PROGRAM_DIR}/IEBG/Dunes.bmp ${LUMAGROVE_PROGRAM_DIR}/IEBG/Slate.bmp
    ${LUMAGROVE_PROGRAM_DIR}/IEBG/Meadow.bmp ${LUMAGROVE_PROGRAM_DIR}/IELogo_L/Sprig.bmp
    ${LUMAGROVE_PROGRAM_DIR}/IELogo_S/Sprig.bmp)
add_custom_command(OUTPUT ${ie_samples}
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/ie_art.py ${LUMAGROVE_PROGRAM_DIR}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/ie_art.py ${PROJECT_SOURCE_DIR}/tools/pictures.py
  COMMENT "Drawing the Explorer look's samples")
add_custom_target(ie_samples ALL DEPENDS ${ie_samples})
add_dependencies(program_folder ie_samples)

# Lumagrove.chm: our help pages, compiled by Free Pascal's chmcmd in a copy of their folder (it
# writes the .chm into the current folder).
find_program(CHMCMD chmcmd REQUIRED)
file(GLOB help_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/help/*)
set(help_dir ${CMAKE_BINARY_DIR}/help)
add_custom_command(OUTPUT ${LUMAGROVE_PROGRAM_DIR}/Lumagrove.chm
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${help_dir}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/data/help ${help_dir}
  COMMAND ${CMAKE_COMMAND} -E chdir ${help_dir} ${CHMCMD} Lumagrove.hhp
  COMMAND ${CMAKE_COMMAND} -E make_directory ${LUMAGROVE_PROGRAM_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy ${help_dir}/Lumagrove.chm ${LUMAGROVE_PROGRAM_DIR}/Lumagrove.chm
  DEPENDS ${help_sources}
  COMMENT "Compiling the help file")
add_custom_target(help_file ALL DEPENDS ${LUMAGROVE_PROGRAM_DIR}/Lumagrove.chm)

# --- the program: its forms (a library the tests link too) and its entry --------------------
# The pictures of the forms are resources: Pictures.rc goes into every executable that builds
# the forms (the program and the test program).
set(LUMAGROVE_PICTURES_RC ${PROJECT_SOURCE_DIR}/resources/Pictures.rc)
set_property(SOURCE ${LUMAGROVE_PICTURES_RC} ${PROJECT_SOURCE_DIR}/resources/Lumagrove.rc
             APPEND PROPERTY OBJECT_DEPENDS ${art_icons} ${art_cursors} ${art_pictures})
set_property(SOURCE ${PROJECT_SOURCE_DIR}/resources/Lumagrove.rc APPEND PROPERTY OBJECT_DEPENDS
             ${PROJECT_SOURCE_DIR}/resources/Lumagrove.manifest)
file(GLOB app_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/app/Unit*.cpp
     ${PROJECT_SOURCE_DIR}/features/*/*.cpp)
# The taskbar routines are a library of their own, which the tray helper links too.
list(FILTER app_sources EXCLUDE REGEX "/features/misc/Func_misc\\.cpp$")
add_library(app STATIC ${app_sources})
target_link_libraries(app PUBLIC common components archive)
lumagrove_warnings(app)

add_executable(Lumagrove WIN32 ${PROJECT_SOURCE_DIR}/app/Lumagrove.cpp
               ${PROJECT_SOURCE_DIR}/resources/Lumagrove.rc ${LUMAGROVE_WALLPAPER_RC})
target_link_libraries(Lumagrove PRIVATE app)
target_include_directories(Lumagrove PRIVATE ${art_dir} ${PROJECT_SOURCE_DIR}/resources)
add_dependencies(Lumagrove artwork program_folder wallpaper_resources wallpaper_folder)
set_target_properties(Lumagrove PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${LUMAGROVE_PROGRAM_DIR})
lumagrove_warnings(Lumagrove)
include(${PROJECT_SOURCE_DIR}/cmake/CursorsLogons.cmake)
include(${PROJECT_SOURCE_DIR}/cmake/Hovelin.cmake)

# Everything the program folder holds, and nothing else: what the run command builds, without
# GoogleTest and the test programs.
add_custom_target(program)
add_dependencies(program Lumagrove Hovelin program_folder ie_samples help_file cursor_logon_data
                 wallpaper_folder)

# --- benchmarks: built and run only on request ----------------------------------------------
add_executable(BareWindow WIN32 EXCLUDE_FROM_ALL ${PROJECT_SOURCE_DIR}/bench/BareWindow.cpp)
lumagrove_warnings(BareWindow)
add_executable(StartupBench EXCLUDE_FROM_ALL ${PROJECT_SOURCE_DIR}/bench/StartupBench.cpp)
target_link_libraries(StartupBench PRIVATE psapi)
lumagrove_warnings(StartupBench)
add_custom_target(bench
  COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:StartupBench> 5
  DEPENDS StartupBench BareWindow Lumagrove
  USES_TERMINAL
  COMMENT "Start-up of the main window against a bare Win32 window")
# --- benchmarks: built on request only (cmake --build ... --target search_bench) ----------------
include(${PROJECT_SOURCE_DIR}/bench/SearchBench.cmake)
include(${PROJECT_SOURCE_DIR}/bench/FolderTreeBench.cmake)
include(${PROJECT_SOURCE_DIR}/bench/IconBench.cmake)
# Every benchmark program at once, built (never run) by the test command so that none falls
# behind the code it measures: cmake --build build/win --target benchmarks.
add_custom_target(benchmarks)
add_dependencies(benchmarks StartupBench BareWindow HovelinBench search_bench folder_tree_bench
                 icon_bench cursor_form_bench wallpaper_bench)
include(${PROJECT_SOURCE_DIR}/cmake/IconData.cmake)

if(LUMAGROVE_TESTS)
  add_subdirectory(tests)
endif()
