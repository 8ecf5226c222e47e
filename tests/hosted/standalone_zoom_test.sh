#!/usr/bin/env bash
# The Standalone at the window's zoom: opened with a zoom remembered in the settings file (as any
# format of the plug-in writes it), and, with no zoom remembered, at the desktop's scale (Xft.dpi).
# Each time the editor must be the main page's 620 x 560 times the zoom, the keyboard bar below it
# as wide and scaled too; the technical page, one click on "UNDER THE HOOD" away, must be
# 980 x 640 times the zoom. Last, the zoom keys change the zoom of the open window. Screenshots go
# to the folder given.
# With "screen-dpi" as the third argument the display is a HiDPI screen (Xvfb -dpi 192) with no
# scale set anywhere else, and the one case run is that the window opens at 200 %.
#   standalone_zoom_test.sh <standalone executable> <folder for the screenshots> [screen-dpi]
# Needs DISPLAY (run it through scripts/with-xvfb.sh with a large screen), xdotool, xwininfo,
# xrdb and ImageMagick.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/standalone_test_common.sh"
command -v xrdb >/dev/null || fail "xrdb is missing (Debian: x11-xserver-utils, installed by scripts/bootstrap.sh)"
begin_window_test "$1" "$2"
extra_cleanup="echo 'Xft.dpi' | xrdb -remove - 2>/dev/null || true"
settings="$XDG_CONFIG_HOME/Gribb Tazo/window.xml"

# measure SHOT: prints the editor's width and height, found from the keyboard bar (0x18171c,
# as wide as the editor, right below it) and the editor's top row (0x6f6b7d on the main page,
# the grid line 0x161a20 on the technical page).
measure() {
  local shot=$1 top_colour=$2 x y bar_top bar_left bar_right
  x=$(( $(identify -format '%w' "$shot") / 2 ))
  bar_top=$(first_y_of "$shot" "$x" 18171c)
  [ -n "$bar_top" ] || { echo "0 0"; return; }
  bar_left=$(first_x_of "$shot" $((bar_top + 1)) 18171c)
  bar_right=$(last_x_of "$shot" $((bar_top + 1)) 18171c)
  y=$(first_y_of "$shot" $((bar_left + 4)) "$top_colour")
  [ -n "$y" ] || { echo "0 0"; return; }
  echo $((bar_right - bar_left + 1)) $((bar_top - y))
}

# shoot SHOT TOP_COLOUR WANT_W WANT_H: screenshots the window into SHOT until the editor measures
# WANT_W x WANT_H (one pixel either way, for the rounded edges of the scaled drawing), for at most
# 10 s; sets w and h to the last measure and fails (returns 1) if it never got there. A busy
# machine may take seconds to finish a resize.
shoot() {
  local shot=$1 colour=$2 want_w=$3 want_h=$4
  for _ in $(seq 1 20); do
    import -window "$wid" "$shot"
    read -r w h < <(measure "$shot" "$colour")
    [ $((w - want_w)) -ge -1 ] && [ $((w - want_w)) -le 1 ] && [ $((h - want_h)) -ge -1 ] && [ $((h - want_h)) -le 1 ] && return 0
    sleep 0.5
  done
  return 1
}

# open_at NAME ZOOM: starts the app and screenshots its main page (NAME-main-page.png) until the
# editor is 620 x 560 times ZOOM per cent. JUCE's Standalone window can lose a start-up race with
# the window manager's size hints and open its editor a little smaller (the window test notes the
# same); then the app is started once more.
open_at() {
  local name=$1 zoom=$2 want_w want_h attempt
  want_w=$((620 * zoom / 100)); want_h=$((560 * zoom / 100))
  for attempt in 1 2; do
    open_app "$shots/$name.log" "$name"
    sleep 1
    shoot "$shots/$name-main-page.png" 6f6b7d "$want_w" "$want_h" && return 0
    [ "$attempt" -eq 1 ] || fail "$name: the main page is ${w} x ${h}, not ${want_w} x ${want_h}"
    echo "NOTE: $name opened the editor at ${w} x ${h}; starting the app again"
    stop_app
  done
}

# run NAME ZOOM: starts the app, checks both pages at ZOOM per cent (screenshots NAME-*.png).
run() {
  local name=$1 zoom=$2 want_w want_h
  open_at "$name" "$zoom"
  echo "$name: main page ${w} x ${h} (window $(size_of | sed 's/ / x /'))"

  # "UNDER THE HOOD" at (434, 30, 156, 36) of the main page, in the window's units.
  local left top
  left=$(( $(identify -format '%w' "$shots/$name-main-page.png") / 2 - w / 2 ))
  top=$(first_y_of "$shots/$name-main-page.png" $((left + 4)) 6f6b7d)
  xdotool mousemove --window "$wid" $((left + 512 * zoom / 100)) $((top + 48 * zoom / 100)) click 1
  sleep 1
  want_w=$((980 * zoom / 100)); want_h=$((640 * zoom / 100))
  shoot "$shots/$name-technical-page.png" 161a20 "$want_w" "$want_h" \
    || fail "$name: the technical page is ${w} x ${h}, not ${want_w} x ${want_h}"
  echo "$name: technical page ${w} x ${h}"
  stop_app
}

if [ "${3:-}" = "screen-dpi" ]; then
  dpi=$(xdpyinfo | awk '/resolution:/ && ! found { split($2, r, "x"); print r[1]; found = 1 }')
  [ "$dpi" = 192 ] || fail "the screen is at $dpi dots per inch, not 192"
  unset GDK_SCALE
  echo 'Xft.dpi' | xrdb -remove - 2>/dev/null || true
  run "screen-dpi-192" 200
  [ ! -e "$settings" ] || fail "the screen's scale was written as a chosen zoom"
  echo "PASS: screenshots in $shots"
  exit 0
fi

# A zoom remembered by any window of the plug-in.
mkdir -p "$(dirname "$settings")"
for zoom in 100 150 200 300; do
  printf '<GribbTazoWindow zoom="%s"/>\n' "$zoom" >"$settings"
  run "zoom-$zoom" "$zoom"
done

# No zoom remembered: the desktop's scale.
rm -f "$settings"
echo 'Xft.dpi: 144' | xrdb -override -
run "xft-dpi-144" 150
echo 'Xft.dpi' | xrdb -remove -
[ ! -e "$settings" ] || fail "the desktop's scale was written as a chosen zoom"

# The zoom keys in the open window: four steps of Ctrl + from 100 % reach 200 %, which the window
# takes at once and remembers; Ctrl 0 goes back to 100 %.
open_at keys 100
xdotool windowactivate --sync "$wid"
xdotool key --delay 300 ctrl+equal ctrl+equal ctrl+equal ctrl+equal
shoot "$shots/keys-200.png" 6f6b7d 1240 1120 || fail "keys: after Ctrl + four times the main page is ${w} x ${h}, not 1240 x 1120"
grep -q 'zoom="200"' "$settings" 2>/dev/null || fail "keys: the zoom chosen with the keys is not remembered"
echo "keys: Ctrl + four times: main page ${w} x ${h} (window $(size_of | sed 's/ / x /'))"
xdotool key ctrl+0
shoot "$shots/keys-100.png" 6f6b7d 620 560 || fail "keys: after Ctrl 0 the main page is ${w} x ${h}, not 620 x 560"
echo "keys: Ctrl 0: main page ${w} x ${h} (window $(size_of | sed 's/ / x /'))"
stop_app

echo "PASS: screenshots in $shots"
