#!/usr/bin/env bash
# Builds Lumagrove and photographs its windows under Wine, on a private Xvfb display, from a
# scratch copy of the program folder in a scratch Wine prefix (the 32-bit program where this
# machine runs 32-bit programs, the 64-bit build otherwise):
#   build/screenshots/main.png     as built (English)
#   build/screenshots/main-de.png  with the German language file chosen in the registry
#   build/screenshots/<form>.png   a feature form, opened by a click on its main-window link
#                                  (cursors-de.png, misc-start-button-de.png, oem-de.png,
#                                  applications-de.png and explorer-de.png in German)
#   build/screenshots/wallpaper-template.png  the wallpaper form's template form, opened by its
#                                  "Use template..." box
#   build/screenshots/icons-*.png  the icon forms (English, and German as icons-*-de.png),
#                                  reached from the "Icons" link as a user does (the single
#                                  icons' System page, its pop-up menu, the Files and Advanced
#                                  pages, the icon packages with a package chosen)
#   build/screenshots/folders.png  the "Folders" link's form, used as a user would (the mouse and
#                                  the keyboard through xdotool) on C:\Holiday Photos; its Apply
#                                  must leave the chosen settings in that folder's desktop.ini
#   build/screenshots/hovelin-menu.png  the tray helper's menu, opened by a right click on its
#                                  icon, with its Options open
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

# The largest top-level X window of that caption (the application's own window is tiny).
top_window() {
  xwininfo -root -tree 2>/dev/null |
    awk -v name="\"$1\": " 'index($0, name) { split($0, a, /\) +/); split(a[2], g, /[x+]/);
      print g[1] * g[2], $1 }' |
    sort -n | tail -n 1 | awk '$1 > 10000 { print $2 }'
}

wait_window() {
  local id=""
  for _ in $(seq 300); do
    id=$(top_window "$1")
    [ -n "$id" ] && break
    sleep 0.1
  done
  if [ -z "$id" ]; then
    echo "screenshot: the window \"$1\" did not appear" >&2
    exit 1
  fi
  echo "$id"
}

# shoot FILE [CAPTION X Y [X2 Y2]]: the main window, or the window of that caption that a click
# at (X, Y) of the main window opens, after a click at (X2, Y2) of that window when given.
shoot() {
  local file=$1 id
  "$WINE" "$scratch/Lumagrove/Lumagrove.exe" >/dev/null 2>&1 &
  id=$(wait_window Lumagrove)
  sleep 2 # the opening animation, then the first paint
  if [ $# -gt 1 ]; then
    xdotool mousemove --window "$id" "$3" "$4" click 1
    id=$(wait_window "$2")
    sleep 2
    if [ $# -gt 4 ]; then
      xdotool mousemove --window "$id" "$5" "$6" click 1
      sleep 1
    fi
  fi
  /usr/bin/import -display "$DISPLAY" -window "$id" "$file"
  echo "screenshot: $file"
  wineserver -k >/dev/null 2>&1 || true
  sleep 1
}

# One step of the icon road (tests/helpers/drive_icons.cpp), then a moment for the paint.
drive() {
  if ! "$WINE" "$LUMAGROVE_BUILD/$dir/bin/drive_icons.exe" 0 "$@" >/dev/null 2>&1; then
    echo "screenshot: the icon road's step \"$*\" failed" >&2
    exit 1
  fi
  sleep 1
}

# A window by its caption; with a third argument, the screen where it lies (to catch a pop-up
# menu over it).
shoot_window() {
  local caption=$1 file=$2 id
  id=$(wait_window "$caption")
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

# The icon forms, one program walked down the icon road: the suffix of the files' names (""
# English, "-de" German) and the captions of the single icons and the packages in that language.
shoot_icons() {
  local lang=$1 single=$2 packages=$3
  "$WINE" "$scratch/Lumagrove/Lumagrove.exe" >/dev/null 2>&1 &
  wait_window Lumagrove >/dev/null
  sleep 2
  drive icons
  sleep 2 # the form fills its lists before its first paint
  shoot_window "$single" "$out/icons-system$lang.png"
  drive menu
  shoot_window "$single" "$out/icons-menu$lang.png" screen
  drive escape
  drive page 2
  shoot_window "$single" "$out/icons-files$lang.png"
  drive page 3
  shoot_window "$single" "$out/icons-advanced$lang.png"
  drive packages
  drive select
  shoot_window "$packages" "$out/icons-packages$lang.png"
  wineserver -k >/dev/null 2>&1 || true
  sleep 1
}

shoot "$out/main.png"
"$WINE" reg add 'HKCU\Software\Quillomar\Lumagrove' /v Language /t REG_SZ \
  /d "$("$WINE" winepath -w "$scratch/Lumagrove/Lang/Deutsch.lng")" /f >/dev/null 2>&1
shoot "$out/main-de.png"
shoot "$out/cursors-de.png" Mauszeiger 610 140 58 90
shoot "$out/misc-start-button-de.png" Verschiedenes 217 332 125 18
shoot "$out/oem-de.png" OEM-Angaben 217 240
shoot "$out/applications-de.png" Anwendungen 554 240
shoot "$out/explorer-de.png" Explorer 386 240 45 65
shoot_icons -de "Symbole anpassen" "Symbole"
"$WINE" reg delete 'HKCU\Software\Quillomar\Lumagrove' /v Language /f >/dev/null 2>&1
# The feature links, by the middle of their captions; the first package of each list chosen.
shoot "$out/cursors.png" Cursors 610 140 58 90
shoot "$out/cursors-settings.png" Cursors 610 140 145 18
shoot "$out/logons.png" Logons 610 332 44 47
# The Miscellaneous link opens its form on the clock text; the Taskbar and Start button tabs.
shoot "$out/misc.png" Miscellaneous 217 332
shoot "$out/misc-taskbar.png" Miscellaneous 217 332 38 18
shoot "$out/misc-start-button.png" Miscellaneous 217 332 106 18
shoot "$out/oem.png" "OEM information" 217 240
shoot "$out/applications.png" Applications 554 240
# Explorer with a sample background chosen in its list, and the preview strip over the sample
# the tool bar has now.
shoot "$out/explorer.png" Explorer 386 240 45 65
"$WINE" reg add 'HKCU\Software\Microsoft\Internet Explorer\Toolbar' /v BackBitmap /t REG_SZ \
  /d "$("$WINE" winepath -w "$scratch/Lumagrove/IEBG/Dunes.bmp")" /f >/dev/null 2>&1
shoot "$out/preview.png" Preview 386 240
# The Wallpapers form takes longer than the others to paint its controls under Wine: each of its
# pictures waits 4 seconds. FILE [X Y [CAPTION]]: the form after a click at (X, Y) of it, and
# the window of CAPTION that click opens when given.
shoot_wallpaper() {
  local file=$1 id form
  "$WINE" "$scratch/Lumagrove/Lumagrove.exe" >/dev/null 2>&1 &
  id=$(wait_window Lumagrove)
  sleep 2
  xdotool mousemove --window "$id" 386 145 click 1 # the Wallpapers link's picture
  form=$(wait_window Wallpapers)
  sleep 4
  id=$form
  if [ $# -gt 1 ]; then
    xdotool mousemove --window "$form" "$2" "$3" click 1
    [ $# -gt 3 ] && id=$(wait_window "$4")
    sleep 4
  fi
  /usr/bin/import -display "$DISPLAY" -window "$id" "$file"
  echo "screenshot: $file"
  wineserver -k >/dev/null 2>&1 || true
  sleep 1
}
shoot_wallpaper "$out/wallpaper.png"
shoot_wallpaper "$out/wallpaper-options.png" 170 20            # the Options tab
shoot_wallpaper "$out/wallpaper-template.png" 366 331 Template # "Use template..."
shoot_icons "" "Customize Icons" "Icons"

# The folder form's walk: the top-level X window of that name (the largest, when the program
# has more of them), small ones such as message boxes included.
window_named() {
  xwininfo -root -tree 2>/dev/null |
    awk -v name="\"$1\": " 'index($0, name) { split($0, a, /\) +/); split(a[2], g, /[x+]/);
      print g[1] * g[2], $1 }' | sort -n | tail -n 1 | awk '{ print $2 }'
}
wait_window() {
  local id=""
  for _ in $(seq 100); do
    id=$(window_named "$1")
    [ -n "$id" ] && break
    sleep 0.1
  done
  [ -n "$id" ] || { echo "screenshot: no window \"$1\"" >&2; exit 1; }
  echo "$id"
}
# A click at a point of a window's client area (the X windows of Wine's unmanaged windows are
# their client areas).
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; sleep 0.7; }
# A message box's buttons sit centred at its bottom: "No" is the right one of Yes and No.
answer_no() {
  local box size
  box=$(wait_window OK)
  size=$(xwininfo -id "$box" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
  click "$box" $((${size% *} / 2 + 35)) $((${size#* } - 22))
}

# C:\Holiday Photos sorts first on C:, the first drive after Wine's Control Panel.
target="$scratch/prefix/drive_c/Holiday Photos"
mkdir -p "$target"
"$WINE" "$scratch/Lumagrove/Lumagrove.exe" >/dev/null 2>&1 &
main=$(wait_window Lumagrove)
sleep 2
click "$main" 386 337 # the "Folders" link's picture (PanelMain at 170,49; the link at 192,264)
form=$(wait_window "Customize Folders")
sleep 1
click "$form" 60 33           # C: in the tree
xdotool key Right && sleep 1  # opens it
click "$form" 100 49          # its first folder
click "$form" 358 83          # "Change icon...": Wine shows no picker, and the form says so
box=$(wait_window Warning)
size=$(xwininfo -id "$box" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w, h }')
click "$box" $((${size% *} / 2)) $((${size#* } - 22)) # its OK
click "$form" 400 141
xdotool type --delay 40 "Summer by the sea"
click "$form" 540 212         # the text colour box
xdotool key r Return && sleep 1 # red
click "$form" 304 372         # "Browse...": the picture dialog starts in FolderBG
dialog=$(wait_window Open)
sleep 1
click "$dialog" 369 303       # its file name
xdotool type --delay 40 "Waves.bmp" && xdotool key Return
for _ in $(seq 50); do [ -z "$(window_named Open)" ] && break; sleep 0.1; done
sleep 2 # the form repaints where the dialog was
/usr/bin/import -display "$DISPLAY" -window "$form" "$out/folders.png"
echo "screenshot: $out/folders.png"
click "$form" 374 414         # Apply
answer_no                     # no look at the folder in Explorer
wineserver -k >/dev/null 2>&1 || true
ini="$target/desktop.ini"
for line in "InfoTip=Summer by the sea" "IconArea_Text=0x000000FF" 'FolderBG\Waves.bmp'; do
  if ! grep -qF "$line" "$ini" 2>/dev/null; then
    echo "screenshot: the folder form's Apply left no \"$line\" in $ini" >&2
    cat "$ini" >&2 2>/dev/null || true
    exit 1
  fi
done
# No picker, no icon: nothing is chosen for the user.
if grep -q "IconFile=" "$ini"; then
  echo "screenshot: the folder form wrote an icon nobody picked into $ini" >&2
  exit 1
fi
echo "screenshot: the folder form wrote $ini"

# The tray helper's menu: a right click on its icon in Wine's system tray, then the pointer on
# "Options", the menu's eighth line of 17 pixels, which opens its sub-menu.
"$WINE" "$scratch/Lumagrove/Hovelin.exe" >/dev/null 2>&1 &
tray=$(wait_window "Wine System Tray")
sleep 1
xdotool mousemove --window "$tray" 10 10 click 3
sleep 1
xdotool mousemove --window "$tray" 40 $((10 + 7 * 17 + 12))
sleep 1
/usr/bin/import -display "$DISPLAY" -window root -crop 420x300+0+0 "$out/hovelin-menu.png"
echo "screenshot: $out/hovelin-menu.png"
wineserver -k >/dev/null 2>&1 || true
