#!/usr/bin/env bash
# Sets up the machine, builds Lumagrove and starts it under Wine.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/env.sh"
bash "$here/setup.sh"
bash "$here/build.sh" --windows-only
export WINEPREFIX="$LUMAGROVE_BUILD/wine-prefix" WINEARCH=win32
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec wine "$LUMAGROVE_BUILD/win/Lumagrove/Lumagrove.exe" "$@"
