#!/usr/bin/env bash
# Builds Lumagrove and photographs its main window under Wine, on a private Xvfb display, from a
# scratch copy of the program folder in a scratch Wine prefix (the 32-bit program where this
# machine runs 32-bit programs, the 64-bit build otherwise):
#   build/screenshots/main.png     as built (English)
#   build/screenshots/main-de.png  with the German language file chosen in the registry
#   build/screenshots/wallpaper.png, wallpaper-options.png and wallpaper-template.png
#                                  the Wallpapers link's form, its Options page and its
#                                  template form, opened by clicks as a user would
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/env.sh"
source "$here/arch.sh"
bash "$here/setup.sh"
pick_windows_build
echo "screenshot: the ${bits}-bit Lumagrove ($dir)"

# ImageMagick takes the pictures, xwininfo finds the window.
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
missing=()
for p in imagemagick x11-utils; do
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
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
echo "screenshot: preparing a Wine prefix"
"$WINE" wineboot --init >/dev/null 2>&1 || true

# The largest top-level X window of a caption (the application's own window is tiny).
window_called() {
  xwininfo -root -tree 2>/dev/null |
    awk -v name="\"$1\": " 'index($0, name) { split($0, a, /\) +/); split(a[2], g, /[x+]/);
      print g[1] * g[2], $1 }' |
    sort -n | tail -n 1 | awk '$1 > 10000 { print $2 }'
}
main_window() { window_called Lumagrove; }

wait_for_window() {
  local id=""
  for _ in $(seq 100); do
    id=$(window_called "$1")
    [ -n "$id" ] && break
    sleep 0.1
  done
  echo "$id"
}

# A click at a point of a window's client area.
click_at() {
  xdotool mousemove --window "$1" "$2" "$3" click 1
}

shoot() {
  local file=$1
  "$WINE" "$scratch/Lumagrove/Lumagrove.exe" >/dev/null 2>&1 &
  local id=""
  for _ in $(seq 300); do
    id=$(main_window)
    [ -n "$id" ] && break
    sleep 0.1
  done
  if [ -z "$id" ]; then
    echo "screenshot: the main window did not appear" >&2
    exit 1
  fi
  sleep 2 # the opening animation, then the first paint
  /usr/bin/import -display "$DISPLAY" -window "$id" "$file"
  echo "screenshot: $file"
  wineserver -k >/dev/null 2>&1 || true
  sleep 1
}

shoot "$out/main.png"

# The Wallpapers link (the second picture of the first row), then the form's Options tab and
# its "Use template..." box.
shoot_wallpaper() {
  "$WINE" "$scratch/Lumagrove/Lumagrove.exe" >/dev/null 2>&1 &
  local id form area
  for _ in $(seq 300); do
    id=$(main_window)
    [ -n "$id" ] && break
    sleep 0.1
  done
  [ -n "$id" ] || { echo "screenshot: the main window did not appear" >&2; exit 1; }
  sleep 2
  click_at "$id" 386 145
  form=$(wait_for_window Wallpapers)
  [ -n "$form" ] || { echo "screenshot: the Wallpapers form did not appear" >&2; exit 1; }
  sleep 3
  /usr/bin/import -display "$DISPLAY" -window "$form" "$out/wallpaper.png"
  echo "screenshot: $out/wallpaper.png"
  click_at "$form" 366 331
  area=$(wait_for_window Template)
  if [ -n "$area" ]; then
    sleep 3
    /usr/bin/import -display "$DISPLAY" -window "$area" "$out/wallpaper-template.png"
    echo "screenshot: $out/wallpaper-template.png"
  else
    echo "screenshot: the template form did not appear" >&2
  fi
  click_at "$form" 170 20
  sleep 1
  /usr/bin/import -display "$DISPLAY" -window "$form" "$out/wallpaper-options.png"
  echo "screenshot: $out/wallpaper-options.png"
  wineserver -k >/dev/null 2>&1 || true
  sleep 1
}
shoot_wallpaper
"$WINE" reg add 'HKCU\Software\Quillomar\Lumagrove' /v Language /t REG_SZ \
  /d "$("$WINE" winepath -w "$scratch/Lumagrove/Lang/Deutsch.lng")" /f >/dev/null 2>&1
shoot "$out/main-de.png"
