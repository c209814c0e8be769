# Windows build: programs, data, tests. Static linking, so the programs need no compiler DLLs.
add_link_options(-static -static-libgcc -static-libstdc++)
add_compile_definitions(WINVER=0x0501 _WIN32_WINNT=0x0501 _WIN32_IE=0x0600 STRICT NOMINMAX)

# Tests (and their discovery) run the Windows executables under Wine through this wrapper.
set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh)

# libjpeg-turbo, cross-compiled by scripts/setup.sh into the cache folder.
if(DEFINED ENV{LUMAGROVE_CACHE})
  set(jpeg_default $ENV{LUMAGROVE_CACHE}/libjpeg-turbo-i686)
else()
  set(jpeg_default $ENV{HOME}/.cache/lumagrove/libjpeg-turbo-i686)
endif()
set(LUMAGROVE_JPEG_PREFIX ${jpeg_default} CACHE PATH "libjpeg-turbo built for i686 Windows")
if(NOT EXISTS ${LUMAGROVE_JPEG_PREFIX}/lib/libjpeg.a)
  message(FATAL_ERROR "libjpeg-turbo not found in ${LUMAGROVE_JPEG_PREFIX}: run scripts/setup.sh")
endif()
add_library(jpeg STATIC IMPORTED)
set_target_properties(jpeg PROPERTIES
  IMPORTED_LOCATION ${LUMAGROVE_JPEG_PREFIX}/lib/libjpeg.a
  INTERFACE_INCLUDE_DIRECTORIES ${LUMAGROVE_JPEG_PREFIX}/include)

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
                      version shlwapi)
lumagrove_warnings(toolkit)

# --- common: RegUnit and the shared routines of both programs ------------------------------
file(GLOB common_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/common/*.cpp)
add_library(common STATIC ${common_sources})
target_link_libraries(common PUBLIC toolkit)
lumagrove_warnings(common)

file(GLOB components_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/components/*.cpp)
add_library(components STATIC ${components_sources})
target_link_libraries(components PUBLIC toolkit)
lumagrove_warnings(components)

# --- data: artwork made by our own tools, and the files of the Data folder ------------------
set(art_dir ${CMAKE_BINARY_DIR}/art)
set(art_icons ${art_dir}/fallback.ico ${art_dir}/app.ico ${art_dir}/folder.ico)
add_custom_command(OUTPUT ${art_icons}
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/make_art.py ${art_dir}
  DEPENDS ${PROJECT_SOURCE_DIR}/tools/make_art.py
  COMMENT "Drawing the program's icons")
add_custom_target(artwork DEPENDS ${art_icons})

# Icon.dll: a resource-only library (icon 0 the fallback icon, icon 2 the program folder's).
add_library(IconDll SHARED ${PROJECT_SOURCE_DIR}/resources/Icon.rc)
add_dependencies(IconDll artwork)
set_target_properties(IconDll PROPERTIES OUTPUT_NAME Icon PREFIX "" LINKER_LANGUAGE C
  LIBRARY_OUTPUT_DIRECTORY ${LUMAGROVE_PROGRAM_DIR}/Data
  RUNTIME_OUTPUT_DIRECTORY ${LUMAGROVE_PROGRAM_DIR}/Data)
target_include_directories(IconDll PRIVATE ${art_dir})
set_property(SOURCE ${PROJECT_SOURCE_DIR}/resources/Icon.rc APPEND PROPERTY OBJECT_DEPENDS ${art_icons})
target_link_options(IconDll PRIVATE -nostdlib -Wl,--entry=0 -s)

add_custom_target(program_folder ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${LUMAGROVE_PROGRAM_DIR}/Data
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PROJECT_SOURCE_DIR}/data/Data/Config.ini
          ${LUMAGROVE_PROGRAM_DIR}/Data/Config.ini
  DEPENDS IconDll
  COMMENT "Laying out the program folder")

if(LUMAGROVE_TESTS)
  add_subdirectory(tests)
endif()
