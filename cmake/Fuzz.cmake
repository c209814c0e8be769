# The libFuzzer targets (native build with LUMAGROVE_FUZZ=ON, clang): each fuzz/<Name>.cpp is its
# own executable, linked with libFuzzer's main and the instrumented archive library. A target whose
# archive sources are not in the tree yet is left out.
set(fuzz_archive_dir ${PROJECT_SOURCE_DIR}/archive)
set(fuzz_targets)
if(EXISTS ${fuzz_archive_dir}/Inflate.cpp)
  list(APPEND fuzz_targets InflateFuzz)
  if(EXISTS ${fuzz_archive_dir}/Cipher.cpp)
    list(APPEND fuzz_targets CipherInflateFuzz)
  endif()
endif()
if(EXISTS ${fuzz_archive_dir}/Legacy.cpp)
  list(APPEND fuzz_targets LegacyFuzz)
endif()

if(EXISTS ${fuzz_archive_dir}/Detect.cpp)
  list(APPEND fuzz_targets DetectFuzz)
endif()

if(EXISTS ${fuzz_archive_dir}/UnZip.cpp)
  list(APPEND fuzz_targets UnZipFuzz)
endif()

foreach(target ${fuzz_targets})
  add_executable(${target} ${PROJECT_SOURCE_DIR}/fuzz/${target}.cpp)
  target_compile_options(${target} PRIVATE -fsanitize=fuzzer)
  target_link_options(${target} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${target} PRIVATE archive)
  lumagrove_warnings(${target})
endforeach()

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
add_custom_target(fuzz_seeds ALL DEPENDS ${CMAKE_BINARY_DIR}/seeds/made.stamp)
