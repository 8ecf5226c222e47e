#!/bin/sh
# Removes what install.sh installed into your own folders, and the folders it leaves empty.
set -eu
: "${HOME:?uninstall.sh: HOME is not set}"

share="$HOME/.local/share"
rm -rf "$HOME/.vst3/Gribb Tazo.vst3" "$HOME/.lv2/Gribb Tazo.lv2"
rm -f "$HOME/.local/bin/gribb-tazo" "$HOME/.local/bin/gribb-render" \
      "$share/applications/gribb-tazo.desktop" \
      "$share/man/man1/gribb-tazo.1.gz" "$share/man/man1/gribb-render.1.gz"
for size in 48 128 256; do
    rm -f "$share/icons/hicolor/${size}x${size}/apps/gribb-tazo.png"
done

# Folders that are empty now, deepest first; rmdir leaves any that still hold something.
for dir in "$share/icons/hicolor/48x48/apps" "$share/icons/hicolor/48x48" \
           "$share/icons/hicolor/128x128/apps" "$share/icons/hicolor/128x128" \
           "$share/icons/hicolor/256x256/apps" "$share/icons/hicolor/256x256" \
           "$share/icons/hicolor" "$share/icons" "$share/man/man1" "$share/man" \
           "$share/applications" "$share" "$HOME/.local/bin" "$HOME/.local" \
           "$HOME/.vst3" "$HOME/.lv2"; do
    [ -d "$dir" ] && rmdir "$dir" 2>/dev/null || true
done
echo "Removed Gribb Tazo from $HOME"
