# Shared by the Standalone's window tests (sourced, not run): a fresh home for the app, reading
# screenshots and the app's window. Needs xdotool, xwininfo and ImageMagick.

fail() { echo "FAIL: $*" >&2; exit 1; }

# The colour of one pixel of a screenshot, as rrggbb.
pixel() { convert "$1" -format "%[hex:p{$2,$3}]" info:- | cut -c1-6 | tr 'A-F' 'a-f'; }

# The first or last pixel of a colour (rrggbb) along a row (y) or down a column (x) of a
# screenshot; empty if none. (awk reads to the end, so that convert never writes into a closed
# pipe.)
first_x_of() { convert "$1" -crop "x1+0+$2" +repage txt:- | awk -v c="#$3" '! found && toupper($3) == toupper(c) { split($1, p, ","); print p[1]; found = 1 }'; }
last_x_of() { convert "$1" -crop "x1+0+$2" +repage txt:- | awk -v c="#$3" 'toupper($3) == toupper(c) { split($1, p, ","); last = p[1] } END { print last }'; }
first_y_of() { convert "$1" -crop "1x+$2+0" +repage txt:- | awk -v c="#$3" '! found && toupper($3) == toupper(c) { split($1, p, ","); sub(":", "", p[2]); print p[2]; found = 1 }'; }

# The size of the window $wid, as "WIDTH HEIGHT".
size_of() { xwininfo -id "$wid" | awk '/^  Width:/ { w = $2 } /^  Height:/ { h = $2 } END { print w, h }'; }

# begin_window_test APP SHOTS: checks the app and the display, empties the screenshot folder, and
# gives the app a fresh home (HOME and XDG_CONFIG_HOME, so the window's zoom file is there too),
# removed on exit with the app stopped. Sets app, shots and app_pid; stop_app stops the app, and
# the commands in extra_cleanup (if set) run on exit as well.
begin_window_test() {
  app="$1"
  shots="$2"
  [ -x "$app" ] || fail "no Standalone app at $app"
  [ -n "${DISPLAY:-}" ] || fail "no DISPLAY: run through scripts/with-xvfb.sh"
  mkdir -p "$shots"
  rm -f "$shots"/*.png
  export HOME
  HOME=$(mktemp -d "${TMPDIR:-/tmp}/gribb-standalone.XXXXXX")
  export XDG_CONFIG_HOME="$HOME/.config"
  app_pid=""
  trap 'stop_app; eval "${extra_cleanup:-}"; rm -rf "$HOME"' EXIT
}

# open_app LOG [WHAT]: starts the app, its output into LOG, and waits (at most 30 s) for its window;
# sets app_pid and wid. WHAT names the case in the failure message.
open_app() {
  "$app" >"$1" 2>&1 &
  app_pid=$!
  wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^Gribb Tazo$' | head -n 1) || true
  [ -n "$wid" ] || fail "${2:+$2: }the app's window did not appear"
}

stop_app() {
  if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null || true; wait "$app_pid" 2>/dev/null || true; fi
  app_pid=""
}

# click_to_open X Y: clicks at (X, Y) in the window $wid and waits (at most 10 s) until a new
# window shows, such as the popup menu the click opens; a busy machine may take a while.
visible_windows() { xdotool search --onlyvisible --name '.*' 2>/dev/null | wc -l; }
click_to_open() {
  local before
  before=$(visible_windows)
  xdotool mousemove --window "$wid" "$1" "$2" click 1
  for _ in $(seq 1 100); do
    [ "$(visible_windows)" -gt "$before" ] && { sleep 0.3; return 0; }
    sleep 0.1
  done
  fail "a click at ($1, $2) opened nothing"
}
