#!/usr/bin/env bash
# Sets up the machine, builds Lumagrove and starts it under Wine.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/env.sh"
bash "$here/setup.sh"
bash "$here/build.sh" --windows-only
program="$LUMAGROVE_BUILD/win/Lumagrove"
if [ ! -f "$program/Lumagrove.exe" ]; then
  echo "The program folder is built in $program, but Lumagrove is not yet runnable:"
  echo "its main window does not exist yet."
  exit 0
fi
export WINEPREFIX="$LUMAGROVE_BUILD/wine-prefix" WINEARCH=win32
exec wine "$program/Lumagrove.exe"
