#!/usr/bin/env bash
# Runs a Windows program under Wine.
#   scripts/wine-run.sh 32|64|wow64 program.exe [arguments...]
#     in the tests' prefix of that architecture, without Wine's HTML engine (CTest's emulator);
#     wow64: a 32-bit program in the 64-bit prefix.
#   scripts/wine-run.sh run program.exe [arguments...]
#     in the run command's own prefix (made on first use), for the build scripts/run.sh starts:
#     32-bit where this machine runs 32-bit programs, 64-bit otherwise.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
: "${LUMAGROVE_BUILD:=$(cd "$here/.." && pwd)/build}"
source "$here/arch.sh"
bits=$1
shift
if [ "$bits" = run ]; then
  pick_windows_build
  wine_run_env "$bits" || exit 1
  create_wine_prefix
else
  wine_arch_env "$bits"
  # No Mono or Gecko installers: the tests need neither.
  export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
fi
export WINEDEBUG=${WINEDEBUG:--all}
exec "$WINE" "$@"
