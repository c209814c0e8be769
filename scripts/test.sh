#!/usr/bin/env bash
# Sets up the machine, builds the three builds and runs every test: the Windows tests under Wine
# (Xvfb, a persistent wineserver over a prefix inside the build folder) and the native tests
# under the sanitizers, all in one CTest run, in parallel. The fuzz targets run first, a minute
# each, so that CTest's summary stays the last lines.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/env.sh"
bash "$here/setup.sh"
bash "$here/build.sh"

fuzz_status=0
bash "$here/fuzz.sh" "${LUMAGROVE_FUZZ_SECONDS:-60}" || fuzz_status=$?

source "$here/wine-session.sh"
start_wine_session

# One CTest tree over both builds, so one summary reports everything.
cat > "$LUMAGROVE_BUILD/CTestTestfile.cmake" <<CT
subdirs("win" "native")
CT
status=0
ctest --test-dir "$LUMAGROVE_BUILD" -j "$(nproc)" --output-on-failure --timeout 300 || status=$?
[ "$status" -ne 0 ] || status=$fuzz_status
exit $status
