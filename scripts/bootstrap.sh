#!/usr/bin/env bash
# Installs everything the build and the tests need on a fresh Debian 12 machine, and fetches
# JUCE 8 from Debian 13's `juce` source package into a cache folder outside the checkout.
# Safe to run again: every step is skipped when its result is already there.
set -euo pipefail

JUCE_CACHE_DIR="${GRIBB_JUCE_CACHE:-$HOME/.cache/gribb-tazo/juce}"
JUCE_DIR="$JUCE_CACHE_DIR/juce-src"

say()  { printf '[bootstrap] %s\n' "$*" >&2; }
fail() { printf '[bootstrap] FAILED: %s\n' "$*" >&2; exit 1; }

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config dpkg-dev
  libasound2-dev libjack-jackd2-dev libx11-dev libxext-dev libxinerama-dev libxrandr-dev
  libxcursor-dev libxcomposite-dev libxrender-dev libfreetype-dev libfontconfig1-dev
  libgl-dev
  zlib1g-dev libpng-dev libjpeg-dev libflac-dev libvorbis-dev libogg-dev lv2-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-utils x11-xserver-utils xdotool openbox imagemagick fonts-dejavu-core
  clang libclang-rt-dev
  file lintian desktop-file-utils lilv-utils appstream
  jackd2 python3
)

# --- Debian packages ------------------------------------------------------------------------
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  say "installing Debian packages: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq || fail "apt-get update"
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null \
    || fail "apt-get install ${missing[*]}"
fi

# --- JUCE 8 from Debian 13's source package ----------------------------------------------------
juce_version_ok() {
  local cm="$1/CMakeLists.txt"
  [ -f "$cm" ] && grep -Eq 'project\(JUCE VERSION 8\.' "$cm"
}

debian_mirror() {
  # The machine's own Debian mirror: the first URI of a main-archive entry in its apt sources.
  local uri=""
  if ls /etc/apt/sources.list.d/*.sources >/dev/null 2>&1; then
    uri=$(awk '
      /^URIs:/ { u=$2 }
      /^Suites:/ { for (i=2;i<=NF;i++) if ($i !~ /security/) { if (u!="") { print u; exit } } }
    ' /etc/apt/sources.list.d/*.sources)
  fi
  if [ -z "$uri" ] && [ -f /etc/apt/sources.list ]; then
    uri=$(awk '$1=="deb" && $0 !~ /security/ { for (i=2;i<=NF;i++) if ($i ~ /^[a-z]+:\/\//) { print $i; exit } }' /etc/apt/sources.list)
  fi
  printf '%s' "$uri"
}

if juce_version_ok "$JUCE_DIR"; then
  :
else
  say "fetching JUCE 8 (Debian 13 'juce' source package) into $JUCE_CACHE_DIR"
  mirror=$(debian_mirror)
  [ -n "$mirror" ] || fail "could not read a Debian mirror from /etc/apt/sources.list{,.d}"
  apt_root="$JUCE_CACHE_DIR/apt"
  rm -rf "$apt_root" "$JUCE_CACHE_DIR/download"
  mkdir -p "$apt_root/lists/partial" "$apt_root/cache/archives/partial" "$apt_root/etc/preferences.d" \
           "$apt_root/etc/sources.list.d" "$JUCE_CACHE_DIR/download"
  printf 'deb-src %s trixie main\n' "$mirror" > "$apt_root/etc/sources.list"
  apt_opts=(
    -o "Dir::Etc::SourceList=$apt_root/etc/sources.list"
    -o "Dir::Etc::SourceParts=$apt_root/etc/sources.list.d"
    -o "Dir::Etc::PreferencesParts=$apt_root/etc/preferences.d"
    -o "Dir::State::Lists=$apt_root/lists"
    -o "Dir::Cache=$apt_root/cache"
    -o "APT::Get::Only-Source=true"
    -o "Debug::NoLocking=1"
    -o "APT::Sandbox::User=root"
  )
  apt-get "${apt_opts[@]}" update -qq || fail "apt-get update with the private trixie deb-src configuration"
  ( cd "$JUCE_CACHE_DIR/download" && apt-get "${apt_opts[@]}" source --download-only -qq juce ) \
    || fail "apt-get source juce (trixie)"
  dsc=$(ls "$JUCE_CACHE_DIR"/download/juce_*.dsc 2>/dev/null | head -n 1)
  [ -n "$dsc" ] || fail "no juce .dsc was downloaded"
  rm -rf "$JUCE_DIR.tmp"
  dpkg-source --no-check -x "$dsc" "$JUCE_DIR.tmp" >/dev/null || fail "dpkg-source -x $dsc"
  juce_version_ok "$JUCE_DIR.tmp" || fail "unpacked JUCE is not version 8.x"
  rm -rf "$JUCE_DIR"
  mv "$JUCE_DIR.tmp" "$JUCE_DIR"
  say "JUCE $(grep -Eo 'project\(JUCE VERSION [0-9.]+' "$JUCE_DIR/CMakeLists.txt" | awk '{print $3}') ready at $JUCE_DIR"
fi

printf '%s\n' "$JUCE_DIR"
