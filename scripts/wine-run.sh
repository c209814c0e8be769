#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's prefix of its architecture (CTest's emulator).
#   scripts/wine-run.sh 32|64|wow64|auto program.exe [arguments...]
# auto: the architecture scripts/run.sh starts, 32 where this machine runs 32-bit programs;
# wow64: a 32-bit program in the 64-bit prefix.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
: "${LUMAGROVE_BUILD:=$(cd "$here/.." && pwd)/build}"
source "$here/arch.sh"
bits=$1
shift
if [ "$bits" = auto ]; then
  pick_windows_build
fi
wine_arch_env "$bits"
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers: the programs need neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec "$WINE" "$@"
