#!/usr/bin/env bash
# Makes the Debian package in a configured build tree and checks it: its
# contents, the menu entry and AppStream validators, lintian (no error), and
# the program of an unpacked copy answering --version.
#   bash tools/package_check.sh BUILD_DIR
# Needs dpkg-dev, desktop-file-utils, appstream, lintian and librsvg2-bin.
set -euo pipefail

build_dir="$1"
if ! cpack_out="$(cd "$build_dir" && cpack -G DEB 2>&1)"; then
  echo "$cpack_out" >&2
  echo "FAILED: cpack" >&2
  exit 1
fi
deb="$(ls -t "$build_dir"/tessivo_*.deb | head -n 1)"
echo "package: $deb"

failed=0
fail() {
  echo "FAILED: $*" >&2
  failed=1
}

contents="$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|')"
app=org.tessivo.Tessivo
for f in /usr/bin/tessivo \
  "/usr/share/applications/$app.desktop" \
  "/usr/share/metainfo/$app.metainfo.xml" \
  "/usr/share/icons/hicolor/scalable/apps/$app.svg" \
  /usr/share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128,256x256}/apps/$app.png \
  /usr/share/man/man1/tessivo.1.gz \
  /usr/share/doc/tessivo/{copyright,changelog.gz,manual.ja.md,tessivo.conf.example}; do
  grep -qxF "$f" <<<"$contents" || fail "the package lacks $f"
done
depends="$(dpkg-deb -f "$deb" Depends)"
for d in fonts-ipafont-gothic fonts-ipafont-mincho cups-client libqt6widgets6 libqt6printsupport6; do
  grep -q "\b$d\b" <<<"$depends" || fail "the package does not depend on $d ($depends)"
done

unpacked="$(mktemp -d)"
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
desktop-file-validate "$unpacked/usr/share/applications/$app.desktop" || fail "desktop-file-validate"
grep -q '^Exec=tessivo --from-menu$' "$unpacked/usr/share/applications/$app.desktop" ||
  fail "the menu entry does not start tessivo --from-menu"
appstreamcli validate --no-net "$unpacked/usr/share/metainfo/$app.metainfo.xml" ||
  fail "appstreamcli validate"
# Root is warned against, not refused; the tags at error level fail.
lintian_status=0
lintian_out="$(lintian --fail-on error "$deb" 2>&1)" || lintian_status=$?
grep -v "running with root privileges" <<<"$lintian_out" || true
[ "$lintian_status" -eq 0 ] || fail "lintian reports errors"
# The installed program, without a display and without its build tree.
version="$(env -u DISPLAY -u WAYLAND_DISPLAY "$unpacked/usr/bin/tessivo" --version)" ||
  fail "the unpacked tessivo --version"
[[ "$version" == "Tessivo "* ]] || fail "tessivo --version said: $version"
echo "$version"
exit "$failed"
