#!/usr/bin/env bash
# Configures and builds both builds: Windows (cross, into build/win) and native (build/native).
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
fi
