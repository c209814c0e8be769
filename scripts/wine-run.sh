#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix (used by CTest as the emulator).
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
: "${WINEPREFIX:=${LUMAGROVE_BUILD:-$here/../build}/wine-prefix}"
export WINEPREFIX
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko installers: the programs need neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec wine "$@"
