#!/usr/bin/env bash
# Configures and builds the four builds: Windows 32-bit (the program as it ships, build/win),
# Windows 64-bit (the same tree for x86_64, build/win64), native (build/native) and the libFuzzer
# targets (native with clang, build/fuzz).
#   scripts/build.sh                  all four
#   scripts/build.sh --windows-only   both Windows builds
#   scripts/build.sh --windows 32|64  that Windows build alone
#   scripts/build.sh --program 32|64  only the program folder of that Windows build (no tests)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/env.sh"
jobs=$(nproc)

windows=(32 64)
others=yes
target=()
case "${1:-}" in
  --windows-only) others=no ;;
  --windows) windows=("$2"); others=no ;;
  --program) windows=("$2"); others=no; target=(--target program) ;;
  "") ;;
  *) echo "build: unknown option $1" >&2; exit 2 ;;
esac

# The tests need GoogleTest's sources, which the run command's set-up does not install: the
# program alone is built without them there. Where they are, the tests stay configured, so that
# the run and test commands don't take turns reconfiguring the same build folder.
tests=ON
if [ ${#target[@]} -gt 0 ] && [ ! -d /usr/src/googletest ]; then tests=OFF; fi

for bits in "${windows[@]}"; do
  if [ "$bits" = 32 ]; then dir=win toolchain=mingw32; else dir=win64 toolchain=mingw64; fi
  cmake -S "$LUMAGROVE_ROOT" -B "$LUMAGROVE_BUILD/$dir" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$LUMAGROVE_ROOT/cmake/toolchain-$toolchain.cmake" \
    -DLUMAGROVE_TESTS=$tests >/dev/null
  cmake --build "$LUMAGROVE_BUILD/$dir" -j "$jobs" "${target[@]}"
done

if [ "$others" = yes ]; then
  cmake -S "$LUMAGROVE_ROOT" -B "$LUMAGROVE_BUILD/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$LUMAGROVE_BUILD/native" -j "$jobs"

  # The fuzz targets: clang, libFuzzer and the sanitizers, optimised a little, asserts kept.
  CC=clang CXX=clang++ cmake -S "$LUMAGROVE_ROOT" -B "$LUMAGROVE_BUILD/fuzz" -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_FLAGS_DEBUG="-O1 -g" -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DLUMAGROVE_FUZZ=ON >/dev/null
  cmake --build "$LUMAGROVE_BUILD/fuzz" -j "$jobs"
fi
