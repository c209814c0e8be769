#!/usr/bin/env bash
# The run command's install step: a second install updates the program's own files and keeps what
# the user set or added in the installed folder. Starts no Wine.
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
install() { python3 "$(dirname "${BASH_SOURCE[0]}")/../../scripts/install.py" "$work/build" \
  "$work/Program Files/Lumagrove" "$work/record.txt" >/dev/null; }
status=0
fail() { echo "FAILED: $*"; status=1; }

build=$work/build installed="$work/Program Files/Lumagrove"
mkdir -p "$build/Data" "$build/IconThemes/Meadow"
echo program-1 >"$build/Lumagrove.exe"
printf '[Taskbar]\nTransparent=0\n' >"$build/Data/Config.ini"
echo sample >"$build/IconThemes/Meadow/Meadow.iptheme"
echo old >"$build/Data/Retired.icl"
install
cmp -s "$build/Lumagrove.exe" "$installed/Lumagrove.exe" || fail "the first install copied nothing"

# The user works with the program; a new build arrives.
printf '[Taskbar]\nTransparent=180\n' >"$installed/Data/Config.ini"
mkdir -p "$installed/IconThemes/Mine" && echo mine >"$installed/IconThemes/Mine/Mine.iptheme"
echo program-2 >"$build/Lumagrove.exe"
printf '[Taskbar]\nTransparent=0\n[New]\nKey=1\n' >"$build/Data/Config.ini"
rm "$build/Data/Retired.icl"
install

[ "$(cat "$installed/Lumagrove.exe")" = program-2 ] || fail "the program was not updated"
grep -q 'Transparent=180' "$installed/Data/Config.ini" || fail "the user's Config.ini was replaced"
[ -f "$installed/IconThemes/Mine/Mine.iptheme" ] || fail "the user's package is gone"
[ -f "$installed/IconThemes/Meadow/Meadow.iptheme" ] || fail "the sample is gone"
[ ! -e "$installed/Data/Retired.icl" ] || fail "a file the build no longer ships stayed"
[ ! -e "$build/IconThemes/Mine" ] || fail "the build's folder changed"
exit $status
