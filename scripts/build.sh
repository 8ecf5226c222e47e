#!/usr/bin/env bash
# The main job: set-up, a Release build of the plug-in (VST3, LV2, Standalone) and of the render
# host, and a render of the built-in demo phrase through the freshly built VST3 to a WAV file.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

bootstrap
configure "$BUILD_DIR"
build "$BUILD_DIR" GribbTazo_VST3 GribbTazo_LV2 GribbTazo_Standalone gribb-render

ARTEFACTS="$BUILD_DIR/GribbTazo_artefacts/Release"
VST3="$ARTEFACTS/VST3/Gribb Tazo.vst3"
LV2="$ARTEFACTS/LV2/Gribb Tazo.lv2"
APP="$ARTEFACTS/Standalone/Gribb Tazo"
WAV="$BUILD_DIR/demo/gribb-tazo-demo.wav"

mkdir -p "$(dirname "$WAV")"
"$BUILD_DIR/tools/render/gribb-render" --plugin "$VST3" --out "$WAV" | tee "$LOG_DIR/render-demo.log"

cat <<MSG

Plug-in bundles:
  VST3        $VST3
  LV2         $LV2
  Standalone  $APP
Demo render:  $WAV

To use the plug-in in a DAW, install the bundles into your user folders (~/.vst3 and ~/.lv2):
  scripts/install.sh
MSG
