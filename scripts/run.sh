#!/usr/bin/env bash
# Sets up the machine, builds Lumagrove and starts it under Wine: the 32-bit program as it ships
# where this machine runs 32-bit programs, the 64-bit build of the same tree otherwise, in a Wine
# prefix of its own (build/wine-prefix-run, or LUMAGROVE_RUN_PREFIX), apart from the tests'.
# The program runs installed there, in C:\Program Files\Lumagrove, as on Windows: every start
# brings its own files up to date and keeps what the user set or added there.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/env.sh"
source "$here/arch.sh"
bash "$here/setup.sh" --program
pick_windows_build
if [ "$bits" = 32 ]; then
  echo "run: starting the 32-bit Lumagrove (build/win) under 32-bit Wine"
else
  echo "run: starting the 64-bit Lumagrove (build/win64) under 64-bit Wine: $(i386_skip_reason)"
fi
# Asked in a subshell, so the build keeps the environment it had; refused before the build when
# LUMAGROVE_RUN_PREFIX names the tests' prefix.
prefix=$(wine_run_env "$bits" && echo "$WINEPREFIX")
echo "run: in the Wine prefix $prefix"
bash "$here/build.sh" --program "$bits"

wine_run_env "$bits"
create_wine_prefix
installed="$WINEPREFIX/drive_c/Program Files/Lumagrove"
python3 "$here/install.py" "$LUMAGROVE_BUILD/$dir/Lumagrove" "$installed" \
  "$WINEPREFIX/lumagrove-installed.txt"
exec "$here/wine-run.sh" run 'C:\Program Files\Lumagrove\Lumagrove.exe' "$@"
