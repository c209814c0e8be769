#!/usr/bin/env bash
# The run command's Wine prefix, as scripts/run.sh and scripts/wine-run.sh choose it, is never the
# tests' prefix, and it keeps Wine's HTML engine that the help viewer needs. Starts no Wine.
set -u
LUMAGROVE_BUILD=$(mktemp -d)
trap 'rm -rf "$LUMAGROVE_BUILD"' EXIT
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/arch.sh"
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

unset LUMAGROVE_RUN_PREFIX
# What the test session exports must not reach the run command.
export WINEDLLOVERRIDES="mscoree,mshtml="
for bits in 32 64; do
  tests=$(wine_arch_env "$bits" && echo "$WINEPREFIX")
  run=$(wine_run_env "$bits" && echo "$WINEPREFIX") || fail "$bits-bit: no run prefix"
  overrides=$(wine_run_env "$bits" && echo "$WINEDLLOVERRIDES")
  [ -n "$run" ] && [ "$run" != "$tests" ] || fail "$bits-bit: the run prefix is the tests' ($tests)"
  [[ "$overrides" != *mshtml* ]] || fail "$bits-bit: the run command disables mshtml ($overrides)"
done

LUMAGROVE_RUN_PREFIX=$LUMAGROVE_BUILD/mine
[ "$(wine_run_env 64 && echo "$WINEPREFIX")" = "$LUMAGROVE_BUILD/mine" ] ||
  fail "LUMAGROVE_RUN_PREFIX is not the run prefix"
# Named by hand, the tests' prefix is refused, also by another spelling of its path.
LUMAGROVE_RUN_PREFIX=$LUMAGROVE_BUILD/./wine-prefix64/
(wine_run_env 64) 2>/dev/null && fail "the tests' prefix was taken as the run prefix"

[ "$failures" -eq 0 ] && echo "run prefix: ok"
exit $((failures > 0))
