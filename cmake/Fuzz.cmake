# The libFuzzer targets (native build with LUMAGROVE_FUZZ=ON, clang): each fuzz/<Name>.cpp is its
# own executable, linked with libFuzzer's main and the instrumented library it reads with. A target
# whose archive sources are not in the tree yet is left out.
set(fuzz_archive_dir ${PROJECT_SOURCE_DIR}/archive)
set(fuzz_targets)
function(lumagrove_fuzz_target target library)
  add_executable(${target} ${PROJECT_SOURCE_DIR}/fuzz/${target}.cpp)
  target_compile_options(${target} PRIVATE -fsanitize=fuzzer)
  target_link_options(${target} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${target} PRIVATE ${library})
  lumagrove_warnings(${target})
  set(fuzz_targets ${fuzz_targets} ${target} PARENT_SCOPE)
endfunction()

if(EXISTS ${fuzz_archive_dir}/Inflate.cpp)
  lumagrove_fuzz_target(InflateFuzz archive)
  if(EXISTS ${fuzz_archive_dir}/Cipher.cpp)
    lumagrove_fuzz_target(CipherInflateFuzz archive)
  endif()
endif()
if(EXISTS ${fuzz_archive_dir}/Legacy.cpp)
  lumagrove_fuzz_target(LegacyFuzz archive)
endif()
if(EXISTS ${fuzz_archive_dir}/Detect.cpp)
  lumagrove_fuzz_target(DetectFuzz archive)
endif()
if(EXISTS ${fuzz_archive_dir}/UnZip.cpp)
  lumagrove_fuzz_target(UnZipFuzz archive)
endif()

# The pictures. libjpeg-turbo is built by scripts/setup.sh from Debian's source with this build's
# instrumentation (AddressSanitizer and libFuzzer's coverage), so that its own writes into our
# buffers are checked and its branches guide the fuzzer; its cjpeg makes the JPEG seeds.
include(${PROJECT_SOURCE_DIR}/cmake/Jpeg.cmake)
lumagrove_import_jpeg(fuzz "natively with AddressSanitizer and libFuzzer's coverage")
add_library(toolkit_jpeg STATIC ${PROJECT_SOURCE_DIR}/toolkit/graphics/JpegFile.cpp
            ${PROJECT_SOURCE_DIR}/toolkit/graphics/JpegShim.c)
target_link_libraries(toolkit_jpeg PUBLIC toolkit_pictures jpeg)
lumagrove_warnings(toolkit_jpeg)
lumagrove_fuzz_target(BitmapFuzz toolkit_pictures)
lumagrove_fuzz_target(JpegFuzz toolkit_jpeg)

# The targets the test script runs, one name a line.
string(REPLACE ";" "\n" fuzz_target_lines "${fuzz_targets}")
file(WRITE ${CMAKE_BINARY_DIR}/fuzz-targets.txt "${fuzz_target_lines}\n")

# Seed streams made by real tools (gzip, zip, 7-Zip) at build time, one folder per target; the
# legacy decoder's seeds come from the shared test data beside the project when it is there.
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/seeds/made.stamp
  COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/fuzz-seeds.sh ${CMAKE_BINARY_DIR}/seeds
  COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/seeds/made.stamp
  DEPENDS ${PROJECT_SOURCE_DIR}/scripts/fuzz-seeds.sh
          ${PROJECT_SOURCE_DIR}/tests/archive/make_zip_inputs.py
  COMMENT "Making the fuzz seeds")
# The pictures' seeds: bitmaps of every depth and compression written by our own script, JPEGs
# from cjpeg, and CMYK ones (which cjpeg cannot make) from a small program over the same libjpeg.
add_executable(cmyk_seeds ${PROJECT_SOURCE_DIR}/fuzz/CmykSeeds.c)
target_link_libraries(cmyk_seeds PRIVATE jpeg)
lumagrove_warnings(cmyk_seeds)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/seeds/pictures.stamp
  COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/fuzz/make_picture_seeds.py
          ${CMAKE_BINARY_DIR}/seeds ${LUMAGROVE_JPEG_PREFIX}/bin/cjpeg $<TARGET_FILE:cmyk_seeds>
  COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/seeds/pictures.stamp
  DEPENDS ${PROJECT_SOURCE_DIR}/fuzz/make_picture_seeds.py cmyk_seeds
  COMMENT "Making the pictures' fuzz seeds")
add_custom_target(fuzz_seeds ALL DEPENDS ${CMAKE_BINARY_DIR}/seeds/made.stamp
                  ${CMAKE_BINARY_DIR}/seeds/pictures.stamp)
