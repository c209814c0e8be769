# Native build: the portable parts with sanitizers, for fast tests and fuzzing.
# With LUMAGROVE_FUZZ=ON (clang only) the libraries are also instrumented for libFuzzer, the
# fuzz targets in fuzz/ are built and the GoogleTest parts are skipped.
option(LUMAGROVE_FUZZ "Build the libFuzzer targets (clang) instead of the tests" OFF)
set(sanitize -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
if(LUMAGROVE_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "LUMAGROVE_FUZZ needs clang (CC=clang CXX=clang++)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link ${sanitize})
else()
  add_compile_options(${sanitize})
endif()
add_link_options(${sanitize})

file(GLOB toolkit_core_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/toolkit/core/*.cpp)
add_library(toolkit_core STATIC ${toolkit_core_sources})
target_include_directories(toolkit_core PUBLIC ${PROJECT_SOURCE_DIR})
lumagrove_warnings(toolkit_core)

# --- archive: the zip reader (portable core over a thin file layer) ---
file(GLOB archive_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/archive/*.cpp
     ${PROJECT_SOURCE_DIR}/archive/posix/*.cpp)
add_library(archive STATIC ${archive_sources})
target_link_libraries(archive PUBLIC toolkit_core)
lumagrove_warnings(archive)

# The folder search's mask matcher is portable too.
add_library(components_masks STATIC ${PROJECT_SOURCE_DIR}/components/Masks.cpp)
target_link_libraries(components_masks PUBLIC toolkit_core)
lumagrove_warnings(components_masks)

if(LUMAGROVE_TESTS AND NOT LUMAGROVE_FUZZ)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  include(GoogleTest)
  file(GLOB native_test_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/toolkit/core/*.cpp
       ${PROJECT_SOURCE_DIR}/tests/archive/*.cpp)
  add_executable(native_tests ${native_test_sources}
                 ${PROJECT_SOURCE_DIR}/tests/components/MasksTest.cpp)
  target_link_libraries(native_tests PRIVATE toolkit_core components_masks archive
                      GTest::gtest_main)
  lumagrove_warnings(native_tests)
  gtest_discover_tests(native_tests TEST_PREFIX "native." DISCOVERY_MODE PRE_TEST)
endif()

if(LUMAGROVE_FUZZ)
  include(${PROJECT_SOURCE_DIR}/cmake/Fuzz.cmake)
endif()
