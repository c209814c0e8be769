#!/usr/bin/env bash
# Builds Lumagrove and photographs its main window under Wine, on a private Xvfb display, from a
# scratch copy of the program folder in a scratch Wine prefix (the 32-bit program where this
# machine runs 32-bit programs, the 64-bit build otherwise):
#   build/screenshots/main.png     as built (English)
#   build/screenshots/main-de.png  with the German language file chosen in the registry
#   build/screenshots/icons-*.png  the icon forms (English, and German as icons-*-de.png),
#                                  reached from the "Icons" link as a user does
#                                  (the single icons' System page, its pop-up menu, the Files and
#                                  Advanced pages, the icon packages with a package chosen)
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

# The largest top-level X window with this name (the application's own window is tiny).
named_window() {
  xwininfo -root -tree 2>/dev/null |
    awk -v name="\"$1\": " 'index($0, name) { split($0, a, /\) +/); split(a[2], g, /[x+]/);
      print g[1] * g[2], $1 }' |
    sort -n | tail -n 1 | awk '$1 > 10000 { print $2 }'
}
main_window() { named_window Lumagrove; }

start_program() {
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
  echo "$id"
}

stop_program() {
  wineserver -k >/dev/null 2>&1 || true
  sleep 1
}

shoot() {
  local file=$1 id
  id=$(start_program)
  /usr/bin/import -display "$DISPLAY" -window "$id" "$file"
  echo "screenshot: $file"
  stop_program
}

# One step of the icon road (tests/helpers/drive_icons.cpp), then a moment for the paint.
drive() {
  if ! "$WINE" "$LUMAGROVE_BUILD/$dir/bin/drive_icons.exe" 0 "$@" >/dev/null 2>&1; then
    echo "screenshot: the icon road's step \"$*\" failed" >&2
    exit 1
  fi
  sleep 1
}

# A form by its caption; with a second argument, the screen where it lies (to catch a pop-up
# menu over it).
shoot_form() {
  local caption=$1 file=$2 id
  id=$(named_window "$caption")
  if [ -z "$id" ]; then
    echo "screenshot: no window \"$caption\"" >&2
    exit 1
  fi
  if [ -n "${3:-}" ]; then
    local geometry
    geometry=$(xwininfo -id "$id" | awk '/Absolute upper-left X/ { x = $NF }
      /Absolute upper-left Y/ { y = $NF } /Width/ { w = $NF } /Height/ { h = $NF }
      END { print w "x" h "+" x "+" y }')
    /usr/bin/import -display "$DISPLAY" -window root -crop "$geometry" "$file"
  else
    /usr/bin/import -display "$DISPLAY" -window "$id" "$file"
  fi
  echo "screenshot: $file"
}

# The icon forms: the suffix of the files' names ("" English, "-de" German) and the captions of
# the single icons form and the packages form in that language.
shoot_icons() {
  local lang=$1 single=$2 packages=$3
  start_program >/dev/null
  drive icons
  sleep 2 # the form fills its lists before its first paint
  shoot_form "$single" "$out/icons-system$lang.png"
  drive menu
  shoot_form "$single" "$out/icons-menu$lang.png" screen
  drive escape
  drive page 2
  shoot_form "$single" "$out/icons-files$lang.png"
  drive page 3
  shoot_form "$single" "$out/icons-advanced$lang.png"
  drive packages
  drive select
  shoot_form "$packages" "$out/icons-packages$lang.png"
  stop_program
}

shoot "$out/main.png"
shoot_icons "" "Customize Icons" "Icons"
"$WINE" reg add 'HKCU\Software\Quillomar\Lumagrove' /v Language /t REG_SZ \
  /d "$("$WINE" winepath -w "$scratch/Lumagrove/Lang/Deutsch.lng")" /f >/dev/null 2>&1
shoot "$out/main-de.png"
shoot_icons -de "Symbole anpassen" "Symbole"
