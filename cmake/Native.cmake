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

# So are the picture readers and writers: .bmp here, JPEG in the fuzz build (Fuzz.cmake), which
# has a libjpeg instrumented like itself.
add_library(toolkit_pictures STATIC ${PROJECT_SOURCE_DIR}/toolkit/graphics/Pixels.cpp
            ${PROJECT_SOURCE_DIR}/toolkit/graphics/BmpFile.cpp)
target_link_libraries(toolkit_pictures PUBLIC toolkit_core)
lumagrove_warnings(toolkit_pictures)

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
  # The inflate tests make their inputs with the real tools through this script.
  set(LUMAGROVE_DEFLATE64_TESTDATA ${PROJECT_SOURCE_DIR}/../shared/testdata/zip/deflate64 CACHE PATH
      "Deflate64 archives made by other tools, read in place by the inflate tests")
  set_property(SOURCE ${PROJECT_SOURCE_DIR}/tests/archive/InflateTest.cpp APPEND PROPERTY
    COMPILE_DEFINITIONS
    LUMAGROVE_INFLATE_SCRIPT="${PROJECT_SOURCE_DIR}/tests/archive/make_inflate_inputs.py"
    LUMAGROVE_DEFLATE64_TESTDATA="${LUMAGROVE_DEFLATE64_TESTDATA}")
  # So do the multi-volume tests.
  get_filename_component(span_testdata ${PROJECT_SOURCE_DIR}/../shared/testdata/zip ABSOLUTE)
  set_property(SOURCE ${PROJECT_SOURCE_DIR}/tests/archive/SpanTest.cpp APPEND PROPERTY
    COMPILE_DEFINITIONS
    LUMAGROVE_SPAN_SCRIPT="${PROJECT_SOURCE_DIR}/tests/archive/make_span_inputs.py"
    LUMAGROVE_SPAN_TESTDATA="${span_testdata}")
  # So do the detection tests.
  set_property(SOURCE ${PROJECT_SOURCE_DIR}/tests/archive/DetectTest.cpp APPEND PROPERTY
    COMPILE_DEFINITIONS
    LUMAGROVE_DETECT_SCRIPT="${PROJECT_SOURCE_DIR}/tests/archive/make_detect_inputs.py")
  # The legacy decoders' tests read the shared streams and archives of other projects in place.
  get_filename_component(legacy_testdata ${PROJECT_SOURCE_DIR}/../shared/testdata/zip ABSOLUTE)
  set_property(SOURCE ${PROJECT_SOURCE_DIR}/tests/archive/LegacyTest.cpp APPEND PROPERTY
    COMPILE_DEFINITIONS LUMAGROVE_LEGACY_TESTDATA="${legacy_testdata}")
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  # The extraction tests read archives made by the real tools, and hostile ones, from this
  # folder, made at build time.
  set(zip_inputs ${CMAKE_BINARY_DIR}/zip_inputs)
  set(zip_script ${PROJECT_SOURCE_DIR}/tests/archive/make_zip_inputs.py)
  add_custom_command(OUTPUT ${zip_inputs}/manifest.txt
    COMMAND ${Python3_EXECUTABLE} ${zip_script} ${zip_inputs} --shared
            ${PROJECT_SOURCE_DIR}/../shared/testdata/zip
    DEPENDS ${zip_script}
    COMMENT "Making the extraction tests' archives with the real tools")
  add_custom_target(zip_inputs DEPENDS ${zip_inputs}/manifest.txt)
  add_dependencies(native_tests zip_inputs)
  set_property(SOURCE ${PROJECT_SOURCE_DIR}/tests/archive/ZipToolsTest.cpp
    ${PROJECT_SOURCE_DIR}/tests/archive/HostileZipTest.cpp
    ${PROJECT_SOURCE_DIR}/tests/archive/InstallerUseTest.cpp
    APPEND PROPERTY COMPILE_DEFINITIONS LUMAGROVE_ZIP_INPUTS="${zip_inputs}")
  gtest_discover_tests(native_tests TEST_PREFIX "native." DISCOVERY_MODE PRE_TEST)
  # The scripts' probe for 32-bit programs, which decides which Windows tests can run here.
  add_test(NAME scripts.ArchProbe COMMAND bash ${PROJECT_SOURCE_DIR}/tests/scripts/arch_probe_test.sh)
  # The run command's Wine prefix is the user's, apart from the tests'.
  add_test(NAME scripts.RunPrefix COMMAND bash ${PROJECT_SOURCE_DIR}/tests/scripts/run_prefix_test.sh)
  # The run command installs the program into its prefix and keeps what the user set there.
  add_test(NAME scripts.Install COMMAND bash ${PROJECT_SOURCE_DIR}/tests/scripts/install_test.sh)
endif()

# The inflate benchmark: our engine against the system zlib on the same data. Built on request
# only (cmake --build ... --target inflate_bench), optimised and without the sanitizers.
add_executable(inflate_bench EXCLUDE_FROM_ALL ${PROJECT_SOURCE_DIR}/bench/InflateBench.cpp
               ${PROJECT_SOURCE_DIR}/archive/Inflate.cpp)
target_include_directories(inflate_bench PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_options(inflate_bench PRIVATE -O2 -fno-sanitize=all)
target_link_options(inflate_bench PRIVATE -fno-sanitize=all)
target_link_libraries(inflate_bench PRIVATE z)
lumagrove_warnings(inflate_bench)

# The extraction benchmark: TUnZip against unzip and 7-Zip on the same package
# (scripts/unzip-bench.sh). Built on request only, optimised and without the sanitizers.
add_executable(unzip_bench EXCLUDE_FROM_ALL ${PROJECT_SOURCE_DIR}/bench/UnZipBench.cpp
               ${archive_sources} ${toolkit_core_sources})
target_include_directories(unzip_bench PRIVATE ${PROJECT_SOURCE_DIR})
target_compile_options(unzip_bench PRIVATE -O2 -fno-sanitize=all)
target_link_options(unzip_bench PRIVATE -fno-sanitize=all)
lumagrove_warnings(unzip_bench)
# Both at once, built (never run) by the test command: cmake --build build/native --target
# benchmarks.
add_custom_target(benchmarks)
add_dependencies(benchmarks inflate_bench unzip_bench)

if(LUMAGROVE_FUZZ)
  include(${PROJECT_SOURCE_DIR}/cmake/Fuzz.cmake)
endif()
