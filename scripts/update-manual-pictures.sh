#!/usr/bin/env bash
# Regenerates every picture of docs/manual.md from the built plug-in into docs/pictures/:
#   window-main-page.png, window-technical-page.png   the Standalone app's window on a virtual
#                                                     display (Xvfb), both pages
#   window-zoom-100-200.png                           its main page at 100 % and 200 %
#   standalone-keyboard.png                           the Standalone app played through its own
#                                                     JACK server, a key of the on-screen
#                                                     keyboard held down
#   editor-*.png, macro-*.png                         offscreen snapshots and the CRUSH/WARP map
#                                                     plots, drawn by tools/manual_pictures
#   chicken-contact-sheet.png                         the sprite sheet's thirty frames, labelled
#   midi-learn-menu.png                               a learned knob's right-click menu, from the
#                                                     menu's window test on a virtual display
# Commit the pictures together with the change that alters them.
#   scripts/update-manual-pictures.sh
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

bootstrap
configure "$BUILD_DIR"
build "$BUILD_DIR" GribbTazo_Standalone gribb-manual-pictures gribb-sprite-sheet gribb_midi_learn_menu_tests

PICTURES="$ROOT/docs/pictures"
APP="$BUILD_DIR/GribbTazo_artefacts/Release/Standalone/Gribb Tazo"
work=$(mktemp -d "${TMPDIR:-/tmp}/gribb-pictures.XXXXXX")
trap 'rm -rf "$work"' EXIT

say "drawing the offscreen pictures"
"$BUILD_DIR/tools/manual_pictures/gribb-manual-pictures" "$work" >/dev/null

say "screenshotting the Standalone app on a virtual display"
# The app plays through a JACK server of this script's own (the dummy driver), so that the window
# shows it as a musician sees it with an audio device, not the line that says there is none.
export JACK_DEFAULT_SERVER="gribb-pictures-$$"
jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 >"$work/jackd.log" 2>&1 &
jack_pid=$!
trap 'kill "$jack_pid" 2>/dev/null; wait "$jack_pid" 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 1 100); do jack_lsp >/dev/null 2>&1 && break; sleep 0.1; done
jack_lsp >/dev/null 2>&1 || { cat "$work/jackd.log" >&2; say "FAILED: the JACK server did not start"; exit 1; }
# The window test opens the app, screenshots the main page, switches to the technical page and
# screenshots it too.
step manual-screenshots "$ROOT/scripts/with-xvfb.sh" "$ROOT/tests/hosted/standalone_window_test.sh" "$APP" "$work/window"
cp "$work/window/main-page.png" "$work/window-main-page.png"
cp "$work/window/technical-page.png" "$work/window-technical-page.png"
# The zoom test opens the app at each zoom; the main page at 100 % and at 200 %, side by side.
step manual-zoom-screenshots env GRIBB_XVFB_SCREEN=3200x2700x24 "$ROOT/scripts/with-xvfb.sh" \
  "$ROOT/tests/hosted/standalone_zoom_test.sh" "$APP" "$work/zoom"
convert "$work/zoom/zoom-100-main-page.png" "$work/zoom/zoom-200-main-page.png" -background white -gravity south \
  -splice 0x0 +append "$work/window-zoom-100-200.png"
# The keyboard test plays the app (on a JACK server of its own) and screenshots it with A4 held.
step manual-keyboard-screenshot "$ROOT/scripts/with-xvfb.sh" "$ROOT/tests/hosted/standalone_keyboard_test.sh" "$APP" "$work/keyboard"
cp "$work/keyboard/keyboard-held.png" "$work/standalone-keyboard.png"

say "opening the MIDI-learn menu on a virtual display"
step manual-midi-learn-menu "$ROOT/scripts/with-xvfb.sh" "$BUILD_DIR/tests/editor/gribb_midi_learn_menu_tests" \
  --gtest_filter='MidiLearnMenu.TheMenuSaysWhyAControllerWasRefusedShowsTheBindingAndForgetsIt'
cp "$BUILD_DIR/tests/editor/screenshots/midi-learn-menu.png" "$work/midi-learn-menu.png"

say "drawing the chicken's contact sheet"
"$BUILD_DIR/tools/sprite_sheet/gribb-sprite-sheet" "$work/sheet.png" "$work/contact-sheet-full.png" >/dev/null
# Half size keeps the file small; the labels stay legible.
convert "$work/contact-sheet-full.png" -resize 50% "$work/chicken-contact-sheet.png"

mkdir -p "$PICTURES"
for picture in window-main-page window-technical-page window-zoom-100-200 standalone-keyboard editor-main-page editor-technical-page \
               macro-knob-positions macro-maps chicken-contact-sheet midi-learn-menu; do
  # Without metadata (no time stamps), so that an unchanged picture gives an unchanged file.
  convert "$work/$picture.png" -strip -define png:compression-level=9 -define png:exclude-chunks=date,time \
    "$PICTURES/$picture.png"
done
say "pictures written to $PICTURES:"
for picture in "$PICTURES"/*.png; do printf '  %8d  %s\n' "$(stat -c %s "$picture")" "$(basename "$picture")"; done
