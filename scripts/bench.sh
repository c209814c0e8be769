#!/usr/bin/env bash
# Builds and runs the start-up benchmark under Wine on a private Xvfb display: time to the main
# window's first paint and peak working set, against a bare Win32 window.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/env.sh"
bash "$here/setup.sh"
bash "$here/build.sh" --windows-only
source "$here/wine-session.sh"
start_wine_session
cmake --build "$LUMAGROVE_BUILD/win" --target bench
