#!/usr/bin/env bash
# Builds the installable packages on top of the main job (scripts/build.sh), into build/packages/:
#   gribb-tazo_<version>_amd64.deb                 the Debian package (CPack; dependencies computed
#                                                  from the binaries by dpkg-shlibdeps)
#   gribb-tazo-<version>-linux-x86_64.tar.gz       the same tree under usr/, with install.sh and
#                                                  uninstall.sh for the user's own folders
# The version is the project's CMake version.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

"$ROOT/scripts/build.sh"
build "$BUILD_DIR" gribb_package_files

# shellcheck source=/dev/null
source "$BUILD_DIR/package-files/package.env"
PACKAGES="$BUILD_DIR/packages"
DEB="$PACKAGES/${GRIBB_PACKAGE_NAME}_${GRIBB_PACKAGE_VERSION}_amd64.deb"
TARBALL_NAME="${GRIBB_PACKAGE_NAME}-${GRIBB_PACKAGE_VERSION}-linux-x86_64"
TARBALL="$PACKAGES/$TARBALL_NAME.tar.gz"

mkdir -p "$PACKAGES"
rm -f "$DEB" "$TARBALL"
step package-deb cpack --config "$BUILD_DIR/CPackConfig.cmake" -G DEB
rm -rf "$PACKAGES/_CPack_Packages"
[ -f "$DEB" ] || { echo "[gribb] FAILED: CPack wrote no $DEB (log: $LOG_DIR/package-deb.log)" >&2; exit 1; }

# The tarball holds exactly the .deb's tree, so both install the same files.
stage=$(mktemp -d "${TMPDIR:-/tmp}/gribb-package.XXXXXX")
trap 'rm -rf "$stage"' EXIT
dpkg-deb -x "$DEB" "$stage/$TARBALL_NAME"
install -m 755 "$ROOT/cmake/packaging/install.sh" "$ROOT/cmake/packaging/uninstall.sh" "$stage/$TARBALL_NAME/"
tar -C "$stage" --owner=0 --group=0 --numeric-owner --sort=name \
    --mtime="@$(stat -c %Y "$DEB")" -czf "$TARBALL" "$TARBALL_NAME"

cat <<MSG

Packages:
  Debian package  $DEB
  tarball         $TARBALL
MSG
