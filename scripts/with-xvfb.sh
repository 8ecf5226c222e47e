#!/usr/bin/env bash
# Runs a command on a private virtual X display (Xvfb on a free display number, with the openbox
# window manager), then stops both and returns the command's exit status.
#   scripts/with-xvfb.sh <command> [args...]
# GRIBB_XVFB_SCREEN overrides the screen geometry (default 1600x1200x24), GRIBB_XVFB_DPI the
# screen's resolution in dots per inch (Xvfb's default: 96), GRIBB_XVFB_FIRST_DISPLAY the first
# display number tried (default 99).
set -uo pipefail

if [ "$#" -lt 1 ]; then
  echo "usage: $0 <command> [args...]" >&2
  exit 2
fi

for tool in Xvfb openbox xdpyinfo; do
  command -v "$tool" >/dev/null 2>&1 || { echo "with-xvfb: '$tool' is missing (run scripts/bootstrap.sh)" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/gribb-xvfb.XXXXXX")
xvfb_pid=""
wm_pid=""

cleanup() {
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A free display number from 99 up: away from the displays of a desktop, and from ":0", which
# X clients try when DISPLAY is unset (so that other tests running meanwhile never reach this
# server). A number is ours once Xvfb's lock file names our server's process.
first="${GRIBB_XVFB_FIRST_DISPLAY:-99}"
display=""
for number in $(seq "$first" $((first + 100))); do
  [ -e "/tmp/.X${number}-lock" ] || [ -e "/tmp/.X11-unix/X${number}" ] && continue
  Xvfb ":${number}" -screen 0 "${GRIBB_XVFB_SCREEN:-1600x1200x24}" ${GRIBB_XVFB_DPI:+-dpi "$GRIBB_XVFB_DPI"} \
    -nolisten tcp -noreset \
    >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 1 200); do
    kill -0 "$xvfb_pid" 2>/dev/null || break
    if [ "$(tr -d ' \n' 2>/dev/null <"/tmp/.X${number}-lock")" = "$xvfb_pid" ] \
       && xdpyinfo -display ":${number}" >/dev/null 2>&1; then
      display=":${number}"
      break
    fi
    sleep 0.05
  done
  [ -n "$display" ] && break
  kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null
  xvfb_pid=""
done
if [ -z "$display" ]; then
  echo "with-xvfb: could not start Xvfb" >&2
  cat "$work/xvfb.log" >&2
  exit 2
fi
export DISPLAY="$display"

# A window manager, so that windows get mapped, focused and moved as on a desktop.
HOME="$work" openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm_pid=$!
# Wait until it manages the screen and has published the work area, which JUCE reads to place
# and limit windows.
if command -v xprop >/dev/null 2>&1; then
  for _ in $(seq 1 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' \
      && xprop -root _NET_WORKAREA 2>/dev/null | grep -q '=' && break
    sleep 0.05
  done
fi

"$@"
status=$?
exit "$status"
