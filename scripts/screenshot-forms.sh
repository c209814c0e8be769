#!/usr/bin/env bash
# Photographs feature forms the way a user reaches them: Lumagrove starts under Wine on a private
# Xvfb display, a click on the main window's link opens the form, and the form's window is taken
# into build/screenshots/ (needs what scripts/screenshot.sh installs; run that once first):
#   oem.png, applications.png, explorer.png, and preview.png, the preview strip over a tiled
#   sample background
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/env.sh"
source "$here/arch.sh"
pick_windows_build
bash "$here/build.sh" --windows "$bits"

out="$LUMAGROVE_BUILD/screenshots"
mkdir -p "$out"
scratch=$(mktemp -d "$LUMAGROVE_BUILD/screenshot.XXXXXX")
cp -r "$LUMAGROVE_BUILD/$dir/Lumagrove" "$scratch/Lumagrove"
wine_arch_env "$bits"
export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

n=90
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$n"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb" >/dev/null 2>&1 || true
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
"$WINE" wineboot --init >/dev/null 2>&1 || true
# The preview shows the background the Explorer tool bar has now: one of our samples.
"$WINE" reg add 'HKCU\Software\Microsoft\Internet Explorer\Toolbar' /v BackBitmap /t REG_SZ \
  /d "$("$WINE" winepath -w "$scratch/Lumagrove/IEBG/Dunes.bmp")" /f >/dev/null 2>&1

# The largest top-level X window with this name.
window() {
  xwininfo -root -tree 2>/dev/null |
    awk -v name="\"$1\": " 'index($0, name) { split($0, a, /\) +/); split(a[2], g, /[x+]/);
      print g[1] * g[2], $1 }' |
    sort -n | tail -n 1 | awk '$1 > 2000 { print $2 }'
}

wait_window() {
  local id=""
  for _ in $(seq 300); do
    id=$(window "$1")
    [ -n "$id" ] && break
    sleep 0.1
  done
  [ -n "$id" ] || { echo "screenshot: \"$1\" did not appear" >&2; exit 1; }
  echo "$id"
}

# shoot_form X Y CAPTION FILE [PREVIEW_FILE]: clicks the main window at (X, Y), the link's
# picture, and photographs the window CAPTION that opens.
shoot_form() {
  "$WINE" "$scratch/Lumagrove/Lumagrove.exe" >/dev/null 2>&1 &
  local main form
  main=$(wait_window Lumagrove)
  sleep 2 # the opening animation
  xdotool mousemove --window "$main" "$1" "$2" click 1
  form=$(wait_window "$3")
  sleep 5 # Wine paints a form's controls some time after its frame
  /usr/bin/import -display "$DISPLAY" -window "$form" "$out/$4"
  echo "screenshot: $out/$4"
  if [ -n "${5:-}" ]; then
    /usr/bin/import -display "$DISPLAY" -window "$(wait_window Preview)" "$out/$5"
    echo "screenshot: $out/$5"
  fi
  wineserver -k >/dev/null 2>&1 || true
  sleep 1
}

shoot_form 217 240 "OEM information" oem.png
shoot_form 554 240 "Applications" applications.png
shoot_form 386 240 "Explorer" explorer.png preview.png
