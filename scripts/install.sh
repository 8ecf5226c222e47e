#!/usr/bin/env bash
# Copies the built VST3 and LV2 bundles into the user's plug-in folders (~/.vst3, ~/.lv2).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

ARTEFACTS="$BUILD_DIR/GribbTazo_artefacts/Release"
for bundle in "$ARTEFACTS/VST3/Gribb Tazo.vst3" "$ARTEFACTS/LV2/Gribb Tazo.lv2"; do
  [ -d "$bundle" ] || { echo "[gribb] not built yet: $bundle (run scripts/build.sh)" >&2; exit 1; }
done

mkdir -p "$HOME/.vst3" "$HOME/.lv2"
rm -rf "$HOME/.vst3/Gribb Tazo.vst3" "$HOME/.lv2/Gribb Tazo.lv2"
cp -R "$ARTEFACTS/VST3/Gribb Tazo.vst3" "$HOME/.vst3/"
cp -R "$ARTEFACTS/LV2/Gribb Tazo.lv2" "$HOME/.lv2/"
say "installed into $HOME/.vst3 and $HOME/.lv2"
