#!/usr/bin/env bash
# The AppStream metainfo that software centres read: it passes appstreamcli's validation (without
# the network), and it names the desktop entry and the program that the package installs, under
# the entry's own name.
#   metainfo_test.sh <metainfo.xml> <desktop entry>
set -euo pipefail
metainfo="$1"
desktop="$2"
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -f "$metainfo" ] || fail "no metainfo at $metainfo"
[ -f "$desktop" ] || fail "no desktop entry at $desktop"
command -v appstreamcli >/dev/null || fail "appstreamcli is missing (scripts/bootstrap.sh installs appstream)"

appstreamcli validate --no-net --pedantic "$metainfo" || fail "appstreamcli validate"

launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")
[ "$launchable" = "$(basename "$desktop")" ] || fail "the launchable '$launchable' is not the desktop entry $(basename "$desktop")"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
grep -q "<binary>$exec_name</binary>" "$metainfo" || fail "the metainfo does not provide the entry's program $exec_name"
name=$(sed -n 's/^Name=//p' "$desktop")
grep -q "<name>$name</name>" "$metainfo" || fail "the metainfo's name is not the entry's '$name'"
echo "PASS: $(basename "$metainfo") validates and launches $launchable ($exec_name)"
