#!/usr/bin/env bash
# The run command's Wine prefix, as scripts/run.sh and scripts/wine-run.sh choose it, is never the
# tests' prefix, and it keeps Wine's HTML engine that the help viewer needs. Starts no Wine.
set -u
LUMAGROVE_BUILD=$(realpath "$(mktemp -d)")
trap 'rm -rf "$LUMAGROVE_BUILD"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/arch.sh"
status=0
fail() { echo "FAILED: $*"; status=1; }

unset LUMAGROVE_RUN_PREFIX
export WINEDLLOVERRIDES="mscoree,mshtml=" # as the test session exports it
for bits in 32 64; do
  tests=$(wine_arch_env "$bits" && echo "$WINEPREFIX")
  run=$(wine_run_env "$bits" && echo "$WINEPREFIX|$WINEDLLOVERRIDES")
  [ -n "$run" ] && [ "${run%|*}" != "$tests" ] || fail "$bits-bit: the run prefix is the tests'"
  [[ "${run#*|}" != *mshtml* ]] || fail "$bits-bit: the run command disables mshtml: ${run#*|}"
done
mine=$(LUMAGROVE_RUN_PREFIX=$LUMAGROVE_BUILD/mine wine_run_env 64 && echo "$WINEPREFIX")
[ "$mine" = "$LUMAGROVE_BUILD/mine" ] || fail "LUMAGROVE_RUN_PREFIX is not the run prefix: $mine"
# Named by hand, the tests' prefix is refused, however its path is spelt.
(LUMAGROVE_RUN_PREFIX=$LUMAGROVE_BUILD/./wine-prefix64/ wine_run_env 64) 2>/dev/null &&
  fail "the tests' prefix was taken as the run prefix"
exit $status
