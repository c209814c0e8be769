#!/usr/bin/env bash
# The programs import none of the calls that only newer Windows has and that they look up at
# run time instead: one such import, and the loader refuses to start them on 98, NT 4 or 2000.
#   import_table_test.sh OBJDUMP PROGRAM...
set -u
objdump=$1
shift
newer='IsWow64Process|RegDeleteKeyEx[AW]|RegDeleteTree[AW]|Wow64DisableWow64FsRedirection'
newer+='|Wow64RevertWow64FsRedirection|ChangeWindowMessageFilter(Ex)?|SHUpdateRecycleBinIcon'
failures=0
for program in "$@"; do
  if ! table=$("$objdump" -p "$program"); then
    echo "FAILED: $objdump could not read $program"
    failures=$((failures + 1))
    continue
  fi
  # A table that lists no kernel32 import was not read at all, whatever the search below says.
  if ! grep -qi 'DLL Name: KERNEL32.dll' <<<"$table"; then
    echo "FAILED: no import table in $program"
    failures=$((failures + 1))
    continue
  fi
  found=$(grep -oEw "$newer" <<<"$table" | sort -u | tr '\n' ' ')
  if [ -n "$found" ]; then
    echo "FAILED: $(basename "$program") imports $found"
    failures=$((failures + 1))
  else
    echo "$(basename "$program"): no import newer than the oldest Windows it serves"
  fi
done
exit $((failures > 0))
