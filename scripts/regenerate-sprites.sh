#!/usr/bin/env bash
# Redraws the roasting chicken's sprite sheet: builds the generator, rewrites
# resources/gribb_roast_sprites.png and writes a contact sheet of all thirty frames (for looking
# at them) into the build folder.
#
#   scripts/regenerate-sprites.sh [build-dir]      (default: build)
#
# Commit the rewritten PNG together with the drawing change; the sprite tests check that the
# two match.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD_DIR="${1:-$ROOT/build}"
case "$BUILD_DIR" in /*) ;; *) BUILD_DIR="$ROOT/$BUILD_DIR" ;; esac

if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release
fi
cmake --build "$BUILD_DIR" -j"${GRIBB_JOBS:-2}" --target gribb-sprite-sheet

"$BUILD_DIR/tools/sprite_sheet/gribb-sprite-sheet" \
  "$ROOT/resources/gribb_roast_sprites.png" \
  "$BUILD_DIR/sprites/contact-sheet.png"
