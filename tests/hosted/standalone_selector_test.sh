#!/usr/bin/env bash
# The Standalone's program selector follows a state loaded from outside the window, through the
# app's own "Options" menu: a state saved at "13. Hyrule Temple" ("Save current state...") is
# loaded back ("Load a saved state...") while the selector shows "01. Vorlen Pakkt Wobble", and
# within a moment the selector must show program 13 again, as it did when 13 was chosen in it; "Reset to default state" then brings "01." back. Screenshots of the selector at
# each step go to the folder given.
#   standalone_selector_test.sh <standalone executable> <folder for the screenshots>
# Needs DISPLAY (run it through scripts/with-xvfb.sh), xdotool, xwininfo and ImageMagick.
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/standalone_test_common.sh"
# A fresh home, whose settings name the state file: the app's file dialogue opens at the last
# state file it used, so Return in the dialogue saves to it or loads from it.
begin_window_test "$1" "$2"
state="$HOME/hyrule.state"
mkdir -p "$HOME/.config"
cat >"$HOME/.config/Gribb Tazo.settings" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<PROPERTIES>
  <VALUE name="lastStateFile" val="$state"/>
</PROPERTIES>
XML

open_app "$shots/app.log"
sleep 1.5

# The editor in the window, found as the window test finds it: the cabinet panel (0x2b2933)
# starts 16 px inside its left edge, its top row is the background's first colour (0x6f6b7d).
import -window "$wid" "$shots/opened.png"
read -r _ win_h < <(size_of)
x=$(first_x_of "$shots/opened.png" $((win_h / 3)) 2b2933)
[ -n "$x" ] || fail "no cabinet panel colour on the main page"
left=$((x - 16))
top=$(first_y_of "$shots/opened.png" $((left + 300)) 6f6b7d)
[ -n "$top" ] || fail "no top edge of the editor"

# selector NAME: a screenshot of the selector (30, 30, 400, 36 in the editor), the mouse away.
selector() {
  xdotool mousemove --window "$wid" $((left + 4)) $((top + 4))
  sleep 0.2
  import -window "$wid" "$shots/window-$1.png"
  convert "$shots/window-$1.png" -crop "400x36+$((left + 30))+$((top + 30))" +repage "$shots/selector-$1.png"
}
differing() { compare -metric AE "$1" "$2" null: 2>&1 || true; }
# same_program A B: two selector screenshots show the same program. The keyboard focus, or a
# selector built anew, changes a few dozen of its pixels (3 and 39 here); another program's name
# changes more than 1000.
same_program() { [ "$(differing "$1" "$2")" -lt 200 ]; }
# selector_shows NAME same|other REFERENCE: screenshots the selector as NAME until it shows the
# same program as the REFERENCE screenshot (or another one), for at most about 10 s, since a busy
# machine may draw late; returns whether it did.
selector_shows() {
  local name=$1 want=$2 reference=$3 shown
  for _ in $(seq 1 20); do
    selector "$name"
    shown=other
    same_program "$reference" "$shots/selector-$name.png" && shown=same
    [ "$shown" = "$want" ] && return 0
    sleep 0.3
  done
  return 1
}

# choose KEYS: opens the selector's menu (the shown program highlighted) and moves through it.
choose() {
  click_to_open $((left + 200)) $((top + 48))
  xdotool key --delay 40 "$@" Return
  sleep 0.5
}

# options Y: an item of the "Options" menu (the button at the window's top left), by its height
# in the window: 54 "Save current state...", 76 "Load a saved state...", 108 "Reset to default
# state". A dialogue named DIALOGUE then opens, and Return takes the file it offers.
options() {
  click_to_open 30 12
  xdotool mousemove --window "$wid" 110 "$1" click 1
}
answer_dialogue() {
  local dialogue
  dialogue=$(timeout 10 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1) || true
  [ -n "$dialogue" ] || fail "no \"$1\" dialogue"
  sleep 0.5
  xdotool key Return
}

selector opened
choose $(printf 'Down %.0s' $(seq 1 12))
selector_shows chosen-13 other "$shots/selector-opened.png" || fail "choosing program 13 in the selector changed nothing"

options 54
answer_dialogue "Save current state"
for _ in $(seq 1 50); do [ -s "$state" ] && break; sleep 0.1; done
[ -s "$state" ] || fail "\"Save current state...\" wrote no state file"

choose $(printf 'Up %.0s' $(seq 1 12))
selector_shows chosen-1 same "$shots/selector-opened.png" || fail "choosing program 1 again did not show it as when the app opened"

options 76
answer_dialogue "Load a saved state"
selector_shows state-loaded same "$shots/selector-chosen-13.png" \
  || fail "after the state at program 13 was loaded the selector differs in $(differing "$shots/selector-chosen-13.png" "$shots/selector-state-loaded.png") pixels from program 13 shown"
echo "a state loaded through Options shows \"13. Hyrule Temple\" in the selector"

options 108
selector_shows reset same "$shots/selector-opened.png" || fail "after \"Reset to default state\" the selector does not show program 1"
echo "\"Reset to default state\" shows \"01. Vorlen Pakkt Wobble\""

kill -0 "$app_pid" 2>/dev/null || fail "the app ended by itself"
echo "PASS: screenshots in $shots"
