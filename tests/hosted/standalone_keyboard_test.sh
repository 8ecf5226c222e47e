#!/usr/bin/env bash
# The Standalone played without a MIDI keyboard, through JACK: starts its own JACK server on the
# dummy driver, then the built Standalone in a fresh home, which must connect to JACK by itself.
# While jack_rec records the app's output, xdotool plays it: the computer keyboard (a key held
# for 1.5 s, so that the X server repeats it, must give one note, in a second take too if the
# first rose once; Z shifts the octave), a click held on a key of the on-screen keyboard low and
# then high on the key (screenshot while it is down; the high click must be quieter), a key held
# while the window loses the focus, and a key held while Panic is clicked (both notes must end).
# The recording must hold sound while keys are down and silence after they come up, at the right
# pitches. Then the bar's buttons change the octave and hide the keyboard, and a restart shows
# that the app kept both, with its JACK set-up. Last, without JACK and without any ALSA device,
# the window must open alone and say that there is no audio device.
#   standalone_keyboard_test.sh <standalone executable> <folder for screenshots and the recording>
# Needs DISPLAY (run it through scripts/with-xvfb.sh), jackd and jack_rec (Debian's jackd2),
# xdotool, xev, xwininfo, ImageMagick and python3. Exits 77 (skipped) when JACK cannot start.
set -euo pipefail

app="$1"
out="$2"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
mkdir -p "$out"
rm -f "$out"/keyboard-*.png "$out"/keyboard-*.wav "$out"/keyboard-*.log

source "$(dirname "${BASH_SOURCE[0]}")/standalone_test_common.sh"
skip() { echo "SKIPPED: $*"; exit 77; }
[ -x "$app" ] || fail "no Standalone app at $app"
[ -n "${DISPLAY:-}" ] || fail "no DISPLAY: run through scripts/with-xvfb.sh"
for tool in jackd jack_rec jack_lsp xdotool xev xwininfo convert python3; do
  command -v "$tool" >/dev/null || skip "'$tool' is missing (scripts/bootstrap.sh installs it)"
done

export HOME
HOME=$(mktemp -d "${TMPDIR:-/tmp}/gribb-keyboard.XXXXXX")
# The window settings (the zoom) in the fresh home too, whatever the caller's XDG_CONFIG_HOME.
export XDG_CONFIG_HOME="$HOME/.config"
# A JACK server of this test's own, which nothing else on the machine talks to.
export JACK_DEFAULT_SERVER="gribb-keyboard-$$"
export JACK_NO_START_SERVER=1 # no client may start a server of its own
jack_pid="" app_pid="" rec_pid="" xev_pid=""
stop() { if [ -n "$1" ]; then kill "$1" 2>/dev/null || true; wait "$1" 2>/dev/null || true; fi; }
cleanup() {
  stop "$rec_pid"; stop "$app_pid"; stop "$xev_pid"; stop "$jack_pid"
  rm -rf "$HOME"
}
trap cleanup EXIT

# --- JACK on the dummy driver -----------------------------------------------------------------
jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256 >"$out/keyboard-jackd.log" 2>&1 &
jack_pid=$!
for _ in $(seq 1 300); do
  jack_lsp >/dev/null 2>&1 && break
  kill -0 "$jack_pid" 2>/dev/null || break
  sleep 0.1
done
jack_lsp 2>/dev/null | grep -q '^system:playback_1$' \
  || { cat "$out/keyboard-jackd.log"; skip "the JACK server (jackd -d dummy) did not start"; }
echo "JACK server '$JACK_DEFAULT_SERVER' runs on the dummy driver at 48 kHz"

# --- the app, which must choose JACK by itself -----------------------------------------------
settings="$HOME/.config/Gribb Tazo.settings"
start_app() { # start_app [no-jack]
  "$app" >>"$out/keyboard-app.log" 2>&1 &
  app_pid=$!
  # Asked again and again: a search can fail when another window goes away meanwhile.
  wid=""
  for _ in $(seq 1 150); do
    wid=$(xdotool search --onlyvisible --name '^Gribb Tazo$' 2>/dev/null | head -n 1) || true
    [ -n "$wid" ] && break
    kill -0 "$app_pid" 2>/dev/null || fail "the app ended at start: $(tail -n 5 "$out/keyboard-app.log")"
    sleep 0.2
  done
  [ -n "$wid" ] || fail "the app's window did not appear"
  [ "${1:-}" = no-jack ] && return 0
  for _ in $(seq 1 300); do
    jack_lsp 2>/dev/null | grep -q '^Gribb Tazo:out_1$' && return 0
    sleep 0.1
  done
  fail "the app did not connect to the JACK server"
}
start_app
jack_lsp -c | sed -n '/^Gribb Tazo:out_1$/,+1p'
jack_lsp -c | grep -A1 '^Gribb Tazo:out_1$' | grep -q 'system:playback_1' || fail "the app's output is not connected to the system's playback"

# Where the editor and the bar are: the cabinet panel (0x2b2933) starts 16 px inside the editor's
# left edge, the editor's top row is the gradient's first colour (0x6f6b7d), and the bar's fill
# (0x18171c) starts right below the editor.
sleep 1.5
read -r win_w win_h < <(size_of)
import -window "$wid" "$out/keyboard-start.png"
x=$(first_x_of "$out/keyboard-start.png" 200 2b2933)
[ -n "$x" ] || fail "no cabinet panel in the window"
left=$((x - 16))
top=$(first_y_of "$out/keyboard-start.png" $((left + 300)) 6f6b7d)
bar_top=$(first_y_of "$out/keyboard-start.png" $((left + 4)) 18171c)
[ -n "$top" ] && [ -n "$bar_top" ] || fail "no editor top or keyboard bar in the window"
editor_w=$((win_w - 2 * left))
editor_h=$((bar_top - top))
strip_h=$((win_h - left - bar_top))
echo "window ${win_w} x ${win_h}: editor ${editor_w} x ${editor_h} at ($left, $top), bar and keyboard ${strip_h} px below it"
[ "$editor_w" -eq 620 ] && [ "$editor_h" -eq 560 ] || echo "NOTE: the editor opened at ${editor_w} x ${editor_h}"
[ "$strip_h" -eq 128 ] || fail "the bar and keyboard take $strip_h px, not 32 + 96"

# The on-screen keyboard shows five octaves from C2 across its width.
key_w=$(awk -v w="$editor_w" 'BEGIN { print w / 35 }')
white_key_x() { awk -v l="$left" -v k="$key_w" -v i="$1" 'BEGIN { printf "%d", l + (i + 0.5) * k }'; }
key_y=$((bar_top + 32 + 80)) # low on the key: loud

# --- the X server repeats a held key: xev sees it --------------------------------------------
xev -name gribb-xev -geometry 160x80+1200+900 >"$out/keyboard-xev.log" 2>&1 &
xev_pid=$!
xev_wid=$(timeout 10 xdotool search --sync --onlyvisible --name '^(gribb-xev|Event Tester)$' | head -n 1) || true
[ -n "$xev_wid" ] || fail "no xev window"
xdotool windowactivate --sync "$xev_wid" >/dev/null 2>&1 || true
sleep 0.3
xdotool keydown q; sleep 1.5; xdotool keyup q
sleep 0.3
repeats=$(grep -c 'KeyPress event' "$out/keyboard-xev.log" || true)
echo "the X server sends $repeats key presses for one key held 1.5 s"
[ "$repeats" -ge 5 ] || fail "the X server does not repeat a held key ($repeats presses), so the repeat check proves nothing"

# --- play, recording the app's output --------------------------------------------------------
activate_app() { # the app's window active, and the app told so, before any key goes to it
  for _ in $(seq 1 50); do
    xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || true
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$wid" ] && break
    sleep 0.1
  done
  [ "$(xdotool getactivewindow 2>/dev/null)" = "$wid" ] || fail "the app's window does not become active"
  sleep 0.8
}
activate_app
# The mouse rests over the CRUSH knob: the keys play all the same.
xdotool mousemove --window "$wid" $((left + 122)) $((top + 470))
sleep 0.5
# About 15 s of playing; the rest leaves room for a slow machine and ends in silence.
jack_rec -f "$out/keyboard-recording.wav" -d 22 -b 16 "Gribb Tazo:out_1" >"$out/keyboard-rec.log" 2>&1 &
rec_pid=$!
sleep 1.0
xdotool keydown a; sleep 1.5; xdotool keyup a                 # C4, held through the key repeat
sleep 1.2
xdotool key z; xdotool keydown a; sleep 0.8; xdotool keyup a; xdotool key x  # C3, an octave down
sleep 1.2
xdotool mousemove --window "$wid" "$(white_key_x 19)" "$key_y" mousedown 1   # A4 on the screen
sleep 0.5
import -window "$wid" "$out/keyboard-held.png"
sleep 0.5
xdotool mouseup 1
xdotool mousemove --window "$wid" $((left + 122)) $((top + 470))
sleep 1.2
xdotool keydown d; sleep 0.5                                   # E4, then the focus goes
xdotool windowactivate --sync "$xev_wid" >/dev/null 2>&1 || true
sleep 1.0; xdotool keyup d
sleep 0.2
activate_app
xdotool keydown f; sleep 0.5                                   # F4, then Panic
xdotool mousemove --window "$wid" $((left + 286)) $((bar_top + 16)) click 1
sleep 1.0; xdotool keyup f
sleep 1.0
soft_y=$((bar_top + 32 + 12))                                  # high on the key: soft
xdotool mousemove --window "$wid" "$(white_key_x 19)" "$soft_y" mousedown 1
sleep 0.6; xdotool mouseup 1
xdotool mousemove --window "$wid" $((left + 122)) $((top + 470))
wait "$rec_pid" || true
rec_pid=""
[ -s "$out/keyboard-recording.wav" ] || { cat "$out/keyboard-rec.log"; fail "jack_rec recorded nothing"; }

python3 "$here/sound_regions.py" "$out/keyboard-recording.wav" | tee "$out/keyboard-regions.txt"
mapfile -t regions < <(grep -v '^#' "$out/keyboard-regions.txt")
silence=$(sed -n 's/^#.*at most \(-*[0-9.]*\) dBFS.*$/\1/p' "$out/keyboard-regions.txt")
awk -v s="$silence" 'BEGIN { exit !(s != "" && s < -90) }' || fail "no silence after the notes ended (${silence} dBFS)"
[ "${#regions[@]}" -eq 6 ] || fail "expected 6 notes separated by silence, found ${#regions[@]}"
# check INDEX WHAT MIN_DURATION MAX_DURATION FREQUENCY
check() {
  read -r start end duration level rise frequency _ <<<"${regions[$1]}"
  awk -v d="$duration" -v lo="$3" -v hi="$4" 'BEGIN { exit !(d >= lo && d <= hi) }' \
    || fail "$2 sounds for $duration s, not $3 to $4 s"
  awk -v f="$frequency" -v want="$5" 'BEGIN { exit !(f > want * 0.97 && f < want * 1.03) }' \
    || fail "$2 plays at $frequency Hz, not $5 Hz"
  awk -v l="$level" 'BEGIN { exit !(l > -40) }' || fail "$2 is too quiet ($level dBFS)"
  echo "$2: ${duration} s from ${start} s, ${level} dBFS, ${frequency} Hz, level rise after the attack x${rise}"
}
# The bounds leave room for a busy machine, which may handle a key a few tenths of a second late.
# Held 1.5 s plus the 0.25 s release (the release fades below -70 dBFS a little later).
check 0 "A held 1.5 s" 1.1 2.4 261.6
# A key repeat that starts the note again does so at each of the X server's repeats, in every take.
# A take whose level rose once is reported with the 10 ms levels around the rise, and the key is
# held again in a second take at the end, which must hold one note.
read -r held_start _ _ _ rise _ rise_at <<<"${regions[0]}"
retake=""
if ! awk -v r="$rise" 'BEGIN { exit !(r < 1.08) }'; then
  retake="x$rise at $rise_at s into the note"
  echo "NOTE: the held key's level rose $retake; its 10 ms levels (s, dBFS) around then:"
  read -r from to < <(awk -v s="$held_start" -v r="$rise_at" 'BEGIN { printf "%.2f %.2f\n", s + r - 0.15, s + r + 0.1 }')
  python3 "$here/sound_regions.py" "$out/keyboard-recording.wav" --profile "$from" "$to" | paste -s -d ' '
fi
check 1 "Z, then A held 0.8 s" 0.5 1.6 130.8
check 2 "the on-screen A4 held 1 s" 0.7 1.9 440.0
# E4 held 1.5 s, but the window lost the focus after 0.5 s: the note ends then.
check 3 "D held while the focus goes" 0.3 1.35 329.6
# F4 held 1.5 s, but Panic was clicked after 0.5 s.
check 4 "F held, then Panic" 0.3 1.35 349.2
# The on-screen A4 again, clicked high on the key: velocity from the click's place, so quieter.
check 5 "the on-screen A4 clicked high" 0.3 1.5 440.0
read -r _ _ _ loud _ _ <<<"${regions[2]}"
read -r _ _ _ soft _ _ <<<"${regions[5]}"
awk -v l="$loud" -v s="$soft" 'BEGIN { exit !(s < l - 6) }' || fail "a click high on the key ($soft dBFS) is not quieter than low on it ($loud dBFS)"
echo "silence after each release: the six notes are separate, and the recording ends in silence"

if [ -n "$retake" ]; then
  activate_app
  jack_rec -f "$out/keyboard-retake.wav" -d 5 -b 16 "Gribb Tazo:out_1" >"$out/keyboard-rec.log" 2>&1 &
  rec_pid=$!
  sleep 1.0
  xdotool keydown a; sleep 1.5; xdotool keyup a
  wait "$rec_pid" || true
  rec_pid=""
  python3 "$here/sound_regions.py" "$out/keyboard-retake.wav" | tee "$out/keyboard-retake-regions.txt"
  mapfile -t retaken < <(grep -v '^#' "$out/keyboard-retake-regions.txt")
  [ "${#retaken[@]}" -eq 1 ] || fail "the held key's second take gave ${#retaken[@]} notes, not one"
  read -r _ _ _ _ rise _ rise_at <<<"${retaken[0]}"
  awk -v r="$rise" 'BEGIN { exit !(r < 1.08) }' \
    || fail "the held key started its note again in both takes (level rose $retake, then x$rise at $rise_at s): key repeat re-triggers"
  echo "the held key's second take: one note, level rise after the attack x$rise"
fi

# --- the keyboard in the screenshot ------------------------------------------------------------
[ "$(pixel "$out/keyboard-held.png" $((left + 4)) $((bar_top + 4)))" = "18171c" ] || fail "no keyboard bar in the screenshot"
[ "$(pixel "$out/keyboard-held.png" "$(white_key_x 18)" "$key_y")" = "ffffff" ] || fail "no white key (G4) in the screenshot"
[ "$(pixel "$out/keyboard-held.png" "$(white_key_x 19)" "$key_y")" != "ffffff" ] || fail "the held key (A4) is not lit in the screenshot"
echo "screenshot: the bar, the keyboard and the lit A4 key"

# --- the bar: octave up, keyboard hidden; both kept across a restart -------------------------
activate_app
xdotool mousemove --window "$wid" $((left + 4 + 50 + 62 + 25)) $((bar_top + 16)) click 1  # Oct +
xdotool mousemove --window "$wid" $((left + 4 + 162 + 10 + 38)) $((bar_top + 16)) click 1 # Keyboard
sleep 0.8
read -r hidden_w hidden_h < <(size_of)
[ "$hidden_h" -eq $((win_h - 96)) ] || fail "hiding the keyboard left the window ${hidden_w} x ${hidden_h}, not $((win_h - 96)) high"
import -window "$wid" "$out/keyboard-hidden.png"
xdotool key alt+F4
for _ in $(seq 1 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
! kill -0 "$app_pid" 2>/dev/null || fail "the app did not close"
app_pid=""
cp "$settings" "$out/keyboard-settings.xml"
grep -q 'name="keyboardShown" val="0"' "$settings" || fail "the settings do not keep the hidden keyboard"
grep -q 'name="keyboardOctave" val="6"' "$settings" || fail "the settings do not keep the octave"
grep -A1 'name="audioSetup"' "$settings" | grep -q 'deviceType="JACK"' || fail "the settings do not keep the JACK set-up"
grep -q 'name="audioSetup.JACK"' "$settings" || fail "the settings do not remember the JACK set-up by name"
grep -q 'name="filterState"' "$settings" || fail "the settings do not keep the plug-in's state"
echo "settings kept: keyboard hidden, octave 6, the JACK set-up and the plug-in state"

start_app
sleep 1.5
read -r again_w again_h < <(size_of)
import -window "$wid" "$out/keyboard-restarted.png"
bar_again=$(first_y_of "$out/keyboard-restarted.png" $((left + 4)) 18171c)
[ -n "$bar_again" ] || fail "no keyboard bar after the restart"
[ $((again_h - left - bar_again)) -eq 32 ] || fail "after a restart the window ($again_w x $again_h) shows the keyboard below the bar"
[ "$again_h" -eq "$hidden_h" ] || echo "NOTE: the restarted window is $again_w x $again_h, not $hidden_w x $hidden_h (the editor's start-up size)"
echo "the restarted app keeps the keyboard hidden and plays through JACK again"

# --- no audio device at all: the window opens and says so, no dialogue -----------------------
stop "$app_pid"; app_pid=""
stop "$jack_pid"; jack_pid=""
: >"$out/keyboard-no-alsa.conf" # an ALSA configuration without a single device
ALSA_CONFIG_PATH="$out/keyboard-no-alsa.conf" start_app no-jack
# The app looks for devices after its window shows; on a busy machine that takes a while, so the
# bar is looked at until the line shows, for at most 15 s.
status_pixels=0
for _ in $(seq 30); do
  sleep 0.5
  import -window "$wid" "$out/keyboard-no-device.png" 2>/dev/null || continue
  status_pixels=$(convert "$out/keyboard-no-device.png" -crop "$((editor_w / 2))x32+$((left + editor_w / 2))+$((bar_again))" +repage txt:- \
    | grep -ci '#FFB347' || true)
  [ "$status_pixels" -gt 20 ] && break
done
[ "$status_pixels" -gt 20 ] || fail "no line about the missing audio device in the bar"
windows=$(xdotool search --onlyvisible --pid "$app_pid" 2>/dev/null | wc -l)
[ "$windows" -eq 1 ] || fail "the app shows $windows windows without an audio device, not just its own"
echo "without an audio device: one window, and the bar says so ($status_pixels pixels of its text)"
echo "PASS: screenshots and the recording in $out"
