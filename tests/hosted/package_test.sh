#!/usr/bin/env bash
# Checks the packages that scripts/package.sh wrote, as a user gets them:
#  - the .deb, extracted into a temporary root: the hosted tests (the format parity test among
#    them) load its VST3 and LV2, its gribb-render renders the demo with sound (finding the VST3
#    installed beside it, also when started by name from the PATH in a home folder), no binary
#    holds a path of the machine that built it, lv2info reads its LV2 metadata, the manual is
#    there with its pictures, its desktop entry validates, and its AppStream metainfo validates
#    and launches that entry;
#  - lintian reports no errors on the .deb (its warnings are printed);
#  - the tarball's install.sh into a temporary home, then uninstall.sh, leaves nothing behind,
#    and keeps the folders (even empty ones) that were there before.
#   package_test.sh <build dir> <hosted test program>...
set -euo pipefail

build_dir="$1"; shift
fail() { echo "FAIL: $*" >&2; exit 1; }

# shellcheck source=/dev/null
source "$build_dir/package-files/package.env"
deb="$build_dir/packages/${GRIBB_PACKAGE_NAME}_${GRIBB_PACKAGE_VERSION}_amd64.deb"
tarball="$build_dir/packages/${GRIBB_PACKAGE_NAME}-${GRIBB_PACKAGE_VERSION}-linux-x86_64.tar.gz"
[ -f "$deb" ] || fail "no Debian package at $deb (run scripts/package.sh)"
[ -f "$tarball" ] || fail "no tarball at $tarball (run scripts/package.sh)"

work=$(mktemp -d "${TMPDIR:-/tmp}/gribb-package-test.XXXXXX")
trap 'rm -rf "$work"' EXIT

echo "== the Debian package"
dpkg-deb -I "$deb" | sed -n '/^ Package:/,$p'
depends=$(dpkg-deb -f "$deb" Depends)
echo " Depends: $depends"
[[ "$depends" == *libc6* ]] || fail "Depends was not computed from the binaries: '$depends'"
root="$work/root"
dpkg-deb -x "$deb" "$root"
vst3="$root/usr/lib/vst3/Gribb Tazo.vst3"
lv2="$root/usr/lib/lv2/Gribb Tazo.lv2"
for path in "$vst3" "$lv2" "$root/usr/bin/gribb-tazo" "$root/usr/bin/gribb-render" \
            "$root/usr/share/applications/gribb-tazo.desktop" "$root/usr/share/man/man1/gribb-render.1.gz" \
            "$root/usr/share/metainfo/com.vorlenpakkt.gribbtazo.metainfo.xml" \
            "$root/usr/share/doc/gribb-tazo/copyright" \
            "$root/usr/share/doc/gribb-tazo/manual.md" \
            "$root/usr/share/doc/gribb-tazo/pictures/window-main-page.png" \
            "$root/usr/share/icons/hicolor/48x48/apps/gribb-tazo.png" \
            "$root/usr/share/icons/hicolor/128x128/apps/gribb-tazo.png" \
            "$root/usr/share/icons/hicolor/256x256/apps/gribb-tazo.png"; do
  [ -e "$path" ] || fail "the package lacks ${path#"$root"}"
done
for size in 48 128 256; do
  [ "$(identify -format '%wx%h' "$root/usr/share/icons/hicolor/${size}x${size}/apps/gribb-tazo.png")" = "${size}x${size}" ] \
    || fail "the ${size} px icon has the wrong size"
done

echo "== hosted tests on the packaged VST3 and LV2"
for program in "$@"; do
  GRIBB_VST3_PATH="$vst3" GRIBB_LV2_PATH="$lv2" "$program" --gtest_brief=1 || fail "$(basename "$program") on the packaged bundles"
done

echo "== the packaged gribb-render renders the demo (VST3 found beside it, and the LV2)"
for plugin in "" "$lv2"; do
  out="$work/demo.wav"
  rm -f "$out"
  "$root/usr/bin/gribb-render" ${plugin:+--plugin "$plugin"} --out "$out" | tee "$work/render.log"
  [ -s "$out" ] || fail "no WAV written"
  [ -z "$plugin" ] && { grep -q "$vst3" "$work/render.log" || fail "gribb-render did not load the VST3 installed beside it"; }
  peak=$(awk '/^channel 0: peak/ { print $4 }' "$work/render.log")
  [ -n "$peak" ] && [ "$peak" != "-inf" ] && awk -v p="$peak" 'BEGIN { exit !(p > -40) }' \
    || fail "the demo render is silent (peak $peak dBFS)"
done

echo "== the packaged gribb-render started by name, from a home folder without ../lib/vst3"
user_home="$work/user-home"
mkdir -p "$user_home/music"
[ ! -e "$user_home/lib/vst3" ] || fail "the test's home folder has a lib/vst3"
(cd "$user_home/music" && HOME="$user_home" PATH="$root/usr/bin:/usr/bin:/bin" gribb-render --out demo.wav) \
  | tee "$work/by-name.log" || fail "gribb-render run by name failed"
grep -q "plug-in:  Gribb Tazo ($vst3)" "$work/by-name.log" || fail "gribb-render run by name did not load the VST3 installed with it"
[ -s "$user_home/music/demo.wav" ] || fail "gribb-render run by name wrote no WAV"
(cd "$user_home/music" && HOME="$user_home" PATH="$root/usr/bin:/usr/bin:/bin" gribb-render --list-programs) | sed -n '1,3p'

echo "== the packaged gribb-tazo answers --version without a display"
version=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 30 "$root/usr/bin/gribb-tazo" --version) || fail "gribb-tazo --version failed"
[ "$version" = "Gribb Tazo $GRIBB_PACKAGE_VERSION" ] || fail "gribb-tazo --version printed '$version'"
echo "$version"

echo "== no path of the build machine in the packaged files"
source_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
for path in "$source_dir" "$(cd "$build_dir" && pwd)" "${GRIBB_JUCE_CACHE:-$HOME/.cache/gribb-tazo}"; do
  if found=$(grep -rlF -- "$path" "$root"); then fail "packaged files hold the path $path: ${found//$root/}"; fi
done
echo "none"

echo "== lv2info on the packaged LV2"
LV2_PATH="$root/usr/lib/lv2" lv2info urn:vorlen-pakkt:gribb-tazo > "$work/lv2info.txt" || fail "lv2info cannot read the bundle"
sed -n '1,12p' "$work/lv2info.txt"
grep -q 'Gribb Tazo' "$work/lv2info.txt" || fail "lv2info does not show the plug-in's name"
if grep -E '(Author (Email|Homepage)):.*file://' "$work/lv2info.txt"; then fail "LV2 author fields resolve to files"; fi

echo "== desktop entry"
desktop-file-validate "$root/usr/share/applications/gribb-tazo.desktop" || fail "desktop-file-validate"

echo "== AppStream metainfo"
"$(dirname "${BASH_SOURCE[0]}")/metainfo_test.sh" "$root/usr/share/metainfo/com.vorlenpakkt.gribbtazo.metainfo.xml" \
  "$root/usr/share/applications/gribb-tazo.desktop"

echo "== lintian"
lintian --fail-on error --tag-display-limit 0 "$deb" 2>&1 | grep -v 'running with root privileges' | tee "$work/lintian.txt" \
  || true
if grep -q '^E:' "$work/lintian.txt"; then fail "lintian reports errors"; fi
echo "lintian: $(grep -c '^W:' "$work/lintian.txt" || true) warnings, no errors"

echo "== tarball: install.sh into an empty home, then uninstall.sh"
tar -C "$work" -xzf "$tarball"
unpacked="$work/${GRIBB_PACKAGE_NAME}-${GRIBB_PACKAGE_VERSION}-linux-x86_64"
diff <(cd "$root" && find . | sort) <(cd "$unpacked" && find . ! -name install.sh ! -name uninstall.sh | sort) \
  || fail "the tarball's tree differs from the Debian package's"
home="$work/home"
mkdir "$home"
HOME="$home" "$unpacked/install.sh"
for path in ".vst3/Gribb Tazo.vst3/Contents/x86_64-linux/Gribb Tazo.so" ".lv2/Gribb Tazo.lv2/manifest.ttl" \
            ".local/bin/gribb-tazo" ".local/bin/gribb-render" ".local/share/applications/gribb-tazo.desktop"; do
  [ -e "$home/$path" ] || fail "install.sh did not install ~/$path"
done
HOME="$home" "$home/.local/bin/gribb-render" --plugin "$home/.vst3/Gribb Tazo.vst3" --out "$work/home-demo.wav" >/dev/null \
  || fail "the user-installed gribb-render cannot render with the user-installed VST3"
rm -f "$work/home-demo.wav"
desktop-file-validate "$home/.local/share/applications/gribb-tazo.desktop" || fail "the user's desktop entry"
HOME="$home" "$unpacked/uninstall.sh"
left=$(cd "$home" && find . -mindepth 1)
[ -z "$left" ] || fail "uninstall.sh left behind: $left"

echo "== tarball: install.sh and uninstall.sh keep the user's other plug-ins and programs"
mkdir -p "$home/.lv2/Other.lv2" "$home/.local/bin"
touch "$home/.lv2/Other.lv2/manifest.ttl" "$home/.local/bin/other-program"
before=$(cd "$home" && find . | sort)
HOME="$home" "$unpacked/install.sh" >/dev/null
HOME="$home" "$unpacked/uninstall.sh" >/dev/null
[ "$(cd "$home" && find . | sort)" = "$before" ] || fail "install.sh and uninstall.sh changed the user's other files"

echo "== tarball: uninstall.sh keeps folders the user had before, even empty ones"
rm -rf "$home"
mkdir -p "$home/.vst3" "$home/.lv2" "$home/.local/bin"
before=$(cd "$home" && find . | sort)
HOME="$home" "$unpacked/install.sh" >/dev/null
[ -s "$home/.local/share/gribb-tazo/created-folders" ] || fail "install.sh kept no record of the folders it created"
grep -qx "$home/.vst3" "$home/.local/share/gribb-tazo/created-folders" && fail "install.sh recorded ~/.vst3, which it did not create"
HOME="$home" "$unpacked/uninstall.sh" >/dev/null
[ "$(cd "$home" && find . | sort)" = "$before" ] || fail "uninstall.sh removed or left folders: $(cd "$home" && find . | sort | tr '\n' ' ')"

echo "PASS: packages checked"
