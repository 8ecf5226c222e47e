#!/bin/sh
# Installs Gribb Tazo from this folder into your own folders, without root:
#   ~/.vst3/Gribb Tazo.vst3 and ~/.lv2/Gribb Tazo.lv2     the plug-ins
#   ~/.local/bin/gribb-tazo and ~/.local/bin/gribb-render  the Standalone app and the render host
#   ~/.local/share/...                                     desktop entry, icons, man pages
# Run it again to update; uninstall.sh removes everything it installed. The folders it had to
# create are listed in ~/.local/share/gribb-tazo/created-folders, so that uninstall.sh removes
# those (when empty) and never a folder that was there before.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
tree="$here/usr"
[ -d "$tree/lib/vst3/Gribb Tazo.vst3" ] || { echo "install.sh: no usr/ tree beside this script" >&2; exit 1; }
: "${HOME:?install.sh: HOME is not set}"

created=""
make_dir() { # make_dir DIR: creates DIR and any missing parent, remembering each one made here
    [ -d "$1" ] && return 0
    make_dir "$(dirname "$1")"
    mkdir "$1"
    created="$created$1
"
}

copy_bundle() { # copy_bundle SOURCE-DIR DEST-FOLDER
    make_dir "$2"
    rm -rf "${2:?}/$(basename "$1")"
    cp -R "$1" "$2/"
}

copy_bundle "$tree/lib/vst3/Gribb Tazo.vst3" "$HOME/.vst3"
copy_bundle "$tree/lib/lv2/Gribb Tazo.lv2" "$HOME/.lv2"

make_dir "$HOME/.local/bin"
for program in gribb-tazo gribb-render; do
    cp "$tree/bin/$program" "$HOME/.local/bin/$program"
    chmod 755 "$HOME/.local/bin/$program"
done

share="$HOME/.local/share"
for size in 48 128 256; do
    make_dir "$share/icons/hicolor/${size}x${size}/apps"
    cp "$tree/share/icons/hicolor/${size}x${size}/apps/gribb-tazo.png" "$share/icons/hicolor/${size}x${size}/apps/"
done
make_dir "$share/man/man1"
make_dir "$share/applications"
cp "$tree/share/man/man1/gribb-tazo.1.gz" "$tree/share/man/man1/gribb-render.1.gz" "$share/man/man1/"
# The menu entry starts the app by its full path: ~/.local/bin need not be on the menu's PATH.
sed "s|^Exec=gribb-tazo|Exec=\"$HOME/.local/bin/gribb-tazo\"|" \
    "$tree/share/applications/gribb-tazo.desktop" > "$share/applications/gribb-tazo.desktop"

# The record of created folders keeps what an earlier install created, too.
record_dir="$share/gribb-tazo"
make_dir "$record_dir"
record="$record_dir/created-folders"
{ [ -f "$record" ] && cat "$record"; printf '%s' "$created"; } | awk 'NF && !seen[$0]++' > "$record.new"
mv "$record.new" "$record"

echo "Installed Gribb Tazo:"
echo "  VST3        $HOME/.vst3/Gribb Tazo.vst3"
echo "  LV2         $HOME/.lv2/Gribb Tazo.lv2"
echo "  programs    $HOME/.local/bin/gribb-tazo, $HOME/.local/bin/gribb-render"
case ":$PATH:" in
    *":$HOME/.local/bin:"*) ;;
    *) echo "Note: $HOME/.local/bin is not on your PATH; add it to run gribb-tazo and gribb-render by name." ;;
esac
