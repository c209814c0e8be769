#!/usr/bin/env bash
# The 32-bit probe against the real thing: its answer must agree with whether 32-bit Wine starts
# here, it must say no for a program the kernel can't run, and it must neither hang nor leave
# anything behind.
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
LUMAGROVE_BUILD=$(mktemp -d)
trap 'rm -rf "$LUMAGROVE_BUILD"' EXIT
source "$here/../../scripts/arch.sh"
failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

unset LUMAGROVE_I386
before=$(ls "${TMPDIR:-/tmp}" | grep -c '^lumagrove-i386\.' || true)
start=$(date +%s%N)
i386_runs && answer=yes || answer=no
elapsed_ms=$((($(date +%s%N) - start) / 1000000))
echo "probe: $answer in $elapsed_ms ms"
[ "$LUMAGROVE_I386" = "$answer" ] || fail "the answer is not kept for the scripts it starts"
[ "$elapsed_ms" -lt 5000 ] || fail "the probe took $elapsed_ms ms"
after=$(ls "${TMPDIR:-/tmp}" | grep -c '^lumagrove-i386\.' || true)
[ "$after" -le "$before" ] || fail "the probe left its program behind"

# Where the probe says yes and 32-bit Wine is installed, its loader must start (it prints its
# version without starting a wineserver); where it says no, setup must not have installed it.
if dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
  version=$("$WINE32" --version 2>/dev/null || true)
  if [ "$answer" = yes ]; then
    [[ "$version" == wine-* ]] || fail "the probe says yes, but 32-bit Wine does not start"
  else
    [[ "$version" != wine-* ]] || fail "the probe says no, but 32-bit Wine starts ($version)"
  fi
fi

# A program of a machine the kernel does not run (the same bytes, made for ARM) is refused with
# "Exec format error": the probe must say no, not pass the refusal off as success.
bad=$(mktemp -d)
i386_probe "$bad/probe"
printf '\x28' | dd of="$bad/probe" bs=1 seek=18 conv=notrunc status=none
probe_says_i386 "$bad/probe" && fail "a program for another machine passed for i386"
# A script that prints the right word but is no i386 program proves nothing either.
printf '#!/bin/sh\necho i386 >&2\nexit 0\n' >"$bad/probe"
probe_says_i386 "$bad/probe" && fail "a probe that printed nothing on its output passed"
rm -rf "$bad"

[ "$failures" -eq 0 ] && echo "arch probe: ok"
exit $((failures > 0))
