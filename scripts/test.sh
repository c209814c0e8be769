#!/usr/bin/env bash
# Sets up the machine, builds the four builds (every benchmark program included, built but never
# run) and runs every test in one CTest run, in parallel: the 64-bit Windows tests under 64-bit
# Wine, the 32-bit ones under 32-bit Wine where this machine runs 32-bit programs (Xvfb, a
# persistent wineserver over each build's prefix inside the build folder), and the native tests
# under the sanitizers. The fuzz targets run first, a minute each, so that CTest's summary stays
# the last lines.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/env.sh"
source "$here/arch.sh"
bash "$here/setup.sh"
bash "$here/build.sh"
# Every benchmark program is built as well, in the same build folders, so that none falls behind
# the code it measures unseen; the test command never runs them.
for dir in win win64 native; do
  cmake --build "$LUMAGROVE_BUILD/$dir" -j "$(nproc)" --target benchmarks
done

fuzz_status=0
bash "$here/fuzz.sh" "${LUMAGROVE_FUZZ_SECONDS:-60}" || fuzz_status=$?

# The 32-bit build is always built, so it keeps compiling cleanly; its tests run only where it can.
source "$here/wine-session.sh"
if wine32_runs; then
  start_wine_session 64 32
  suites='"win64" "win" "native"'
else
  start_wine_session 64
  suites='"win64" "native"'
  echo "test: the 32-bit Windows tests were skipped: $(i386_skip_reason)"
fi

# One CTest tree over the builds, so one summary reports everything.
echo "subdirs($suites)" >"$LUMAGROVE_BUILD/CTestTestfile.cmake"
status=0
# Now and then Wine fails to start a test process at all under this load (it ends at once with
# no output, a different test each time); a failed test is run once more, so only one that fails
# twice fails the run. CTest's log still lists the first failure.
ctest --test-dir "$LUMAGROVE_BUILD" -j "$(nproc)" --output-on-failure --timeout 300 \
  --repeat until-pass:2 || status=$?
[ "$status" -ne 0 ] || status=$fuzz_status
exit $status
