#!/usr/bin/env bash
# Runs every fuzz target of build/fuzz for a bounded time, all at once, on its seeds and a scratch
# corpus in the build folder, and prints one line per target. Exits non-zero when any target found
# a crash, a leak, a timeout or a mismatch (its last lines are printed then).
#   scripts/fuzz.sh [seconds per target, default 60] [extra libFuzzer options...]
set -euo pipefail
shopt -s nullglob
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/env.sh"
seconds=${1:-60}
shift || true
fuzz="$LUMAGROVE_BUILD/fuzz"
targets=()
if [ -f "$fuzz/fuzz-targets.txt" ]; then
  while read -r t; do [ -n "$t" ] && targets+=("$t"); done <"$fuzz/fuzz-targets.txt"
fi
if [ ${#targets[@]} -eq 0 ]; then
  echo "fuzz: no targets built (the archive sources they need are not in the tree yet)"
  exit 0
fi

pids=()
for t in "${targets[@]}"; do
  # Each target runs in a folder of its own, where libFuzzer's workers (-jobs) leave their logs.
  mkdir -p "$fuzz/corpus/$t" "$fuzz/artifacts/$t" "$fuzz/run/$t"
  rm -f "$fuzz/run/$t"/fuzz-*.log
  (cd "$fuzz/run/$t" && exec "$fuzz/$t" -max_total_time="$seconds" -rss_limit_mb=2048 \
    -timeout=10 -print_final_stats=1 -artifact_prefix="$fuzz/artifacts/$t/" "$@" "$fuzz/corpus/$t" "$fuzz/seeds/$t" \
    >"$fuzz/$t.log" 2>&1) &
  pids+=($!)
done

status=0
for i in "${!targets[@]}"; do
  t=${targets[$i]}
  rc=0
  wait "${pids[$i]}" || rc=$?
  # With workers, the main log repeats each worker's log: count the workers' logs alone then.
  workers=("$fuzz/run/$t"/fuzz-*.log)
  [ ${#workers[@]} -gt 0 ] || workers=("$fuzz/$t.log")
  logs=("$fuzz/$t.log" "$fuzz/run/$t"/fuzz-*.log)
  runs=$(cat "${workers[@]}" 2>/dev/null | grep -o 'stat::number_of_executed_units: *[0-9]*' \
    | awk '{ n += $2 } END { print n + 0 }' || true)
  if [ "$rc" -eq 0 ] && ! cat "${logs[@]}" 2>/dev/null \
      | grep -qE '^==[0-9]+== ?ERROR|^SUMMARY: |fuzz: mismatch|deadly signal'; then
    echo "fuzz $t: $runs runs, ok"
  else
    echo "fuzz $t: FAILED (exit $rc) after $runs runs; its last lines:"
    for log in "${logs[@]}"; do
      [ -f "$log" ] && grep -qE 'ERROR|SUMMARY|mismatch|deadly' "$log" && tail -n 40 "$log"
    done | tail -n 60 | sed 's/^/    /'
    [ -n "$(ls -A "$fuzz/artifacts/$t")" ] && echo "    inputs kept in $fuzz/artifacts/$t"
    status=1
  fi
done
exit $status
