#!/usr/bin/env bash
# Builds Lumagrove and photographs, under Wine on a private Xvfb display, from a scratch copy of
# the program folder in a scratch Wine prefix (the 32-bit programs where this machine runs 32-bit
# programs, the 64-bit build otherwise):
#   build/screenshots/misc-taskbar.png, misc-start-button.png, misc-clock.png
#       the Miscellaneous form, opened from the main window's link, on three of its pages
#   build/screenshots/misc-start-button-de.png
#       its Start button page in German
#   build/screenshots/hovelin-menu.png
#       the tray helper's menu, opened by a right click on its icon, with its Options open
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/env.sh"
source "$here/arch.sh"
bash "$here/setup.sh"
pick_windows_build
echo "screenshot-tweaks: the ${bits}-bit programs ($dir)"

# ImageMagick takes the pictures, xwininfo finds the windows, xdotool clicks as a user.
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
missing=()
for p in imagemagick x11-utils xdotool; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

bash "$here/build.sh" --windows "$bits"

out="$LUMAGROVE_BUILD/screenshots"
mkdir -p "$out"
scratch=$(mktemp -d "$LUMAGROVE_BUILD/screenshot.XXXXXX")
cp -r "$LUMAGROVE_BUILD/$dir/Lumagrove" "$scratch/Lumagrove"
open_misc="$LUMAGROVE_BUILD/$dir/bin/open_misc.exe"
wine_arch_env "$bits"
export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

n=90
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$n"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  kill "$xvfb" >/dev/null 2>&1 || true
  wait "$xvfb" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
echo "screenshot-tweaks: preparing a Wine prefix"
"$WINE" wineboot --init >/dev/null 2>&1 || true

# The X window of a top-level window by its title, and its geometry (WxH+X+Y).
window_id() { xwininfo -root -tree 2>/dev/null | awk -v t="\"$1\":" 'index($0, t) { print $1; exit }'; }
geometry() { xwininfo -root -tree 2>/dev/null | awk -v t="\"$1\":" 'index($0, t) { print $(NF-1); exit }'; }

# The Miscellaneous form (its German title: "Verschiedenes") on the pages given as
# "index file" pairs: Taskbar 0, Start button 1, Clock Text 3.
shoot_misc() {
  local title=$1
  shift
  "$WINE" "$scratch/Lumagrove/Lumagrove.exe" >/dev/null 2>&1 &
  for page in "$@"; do
    set -- $page
    if ! "$WINE" "$open_misc" "$1" "$title" >/dev/null 2>&1; then
      echo "screenshot-tweaks: the Miscellaneous form did not open on page $1" >&2
      exit 1
    fi
    sleep 1
    /usr/bin/import -display "$DISPLAY" -window "$(window_id "$title")" "$out/$2.png"
    echo "screenshot-tweaks: $out/$2.png"
  done
  wineserver -k >/dev/null 2>&1 || true
  sleep 1
}
shoot_misc Miscellaneous "3 misc-clock" "0 misc-taskbar" "1 misc-start-button"
"$WINE" reg add 'HKCU\Software\Quillomar\Lumagrove' /v Language /t REG_SZ \
  /d "$("$WINE" winepath -w "$scratch/Lumagrove/Lang/Deutsch.lng")" /f >/dev/null 2>&1
shoot_misc Verschiedenes "1 misc-start-button-de"

# The helper's menu: a right click on its icon in Wine's system tray, then Options.
"$WINE" "$scratch/Lumagrove/Hovelin.exe" >/dev/null 2>&1 &
tray=""
for _ in $(seq 300); do
  tray=$(geometry "Wine System Tray")
  [ -n "$tray" ] && break
  sleep 0.1
done
if [ -z "$tray" ]; then
  echo "screenshot-tweaks: the helper's tray icon did not appear" >&2
  exit 1
fi
IFS='x+' read -r _ _ tx ty <<<"$tray"
sleep 1
xdotool mousemove $((tx + 10)) $((ty + 10)) click 3
sleep 1
# The menu opens below the pointer, one 17-pixel line per item; Options is the eighth.
xdotool mousemove $((tx + 40)) $((ty + 10 + 7 * 17 + 12))
sleep 1
/usr/bin/import -display "$DISPLAY" -window root -crop 420x300+0+0 "$out/hovelin-menu.png"
echo "screenshot-tweaks: $out/hovelin-menu.png"
