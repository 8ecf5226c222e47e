#!/bin/sh
# Removes what install.sh installed into your own folders, and the folders install.sh created
# when they are empty now. Folders that were there before installing stay, even when empty.
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

record="$share/gribb-tazo/created-folders"
if [ -f "$record" ]; then
    folders=$(cat "$record")
    rm -f "$record"
    # Deepest first; rmdir leaves any folder that still holds something.
    printf '%s\n' "$folders" | awk 'NF { print length($0) "\t" $0 }' | sort -rn | cut -f2- |
        while IFS= read -r dir; do
            [ -d "$dir" ] && rmdir "$dir" 2>/dev/null || true
        done
fi
echo "Removed Gribb Tazo from $HOME"
