#!/usr/bin/env bash
# Configures and builds the three builds: Windows (cross, into build/win), native (build/native)
# and the libFuzzer targets (native with clang, build/fuzz).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/env.sh"
jobs=$(nproc)

cmake -S "$LUMAGROVE_ROOT" -B "$LUMAGROVE_BUILD/win" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$LUMAGROVE_ROOT/cmake/toolchain-mingw32.cmake" >/dev/null
cmake --build "$LUMAGROVE_BUILD/win" -j "$jobs"

if [ "${1:-}" != "--windows-only" ]; then
  cmake -S "$LUMAGROVE_ROOT" -B "$LUMAGROVE_BUILD/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
  cmake --build "$LUMAGROVE_BUILD/native" -j "$jobs"

  # The fuzz targets: clang, libFuzzer and the sanitizers, optimised a little, asserts kept.
  CC=clang CXX=clang++ cmake -S "$LUMAGROVE_ROOT" -B "$LUMAGROVE_BUILD/fuzz" -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_FLAGS_DEBUG="-O1 -g" -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DLUMAGROVE_FUZZ=ON >/dev/null
  cmake --build "$LUMAGROVE_BUILD/fuzz" -j "$jobs"
fi
