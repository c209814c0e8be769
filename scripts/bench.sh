#!/usr/bin/env bash
# Builds and runs the start-up benchmark under Wine on a private Xvfb display: time to the main
# window's first paint and peak working set, against a bare Win32 window; then the tray helper's
# benchmark: its watchdog tick against a bare GetWindowTextA, its idle working set against a bare
# Win32 program (the 32-bit programs where this machine runs 32-bit programs, the 64-bit build
# otherwise).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/env.sh"
source "$here/arch.sh"
bash "$here/setup.sh"
pick_windows_build
echo "bench: the ${bits}-bit build ($dir)"
bash "$here/build.sh" --windows "$bits"
source "$here/wine-session.sh"
start_wine_session "$bits"
cmake --build "$LUMAGROVE_BUILD/$dir" --target bench
cmake --build "$LUMAGROVE_BUILD/$dir" --target hovelin_bench
