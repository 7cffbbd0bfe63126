#!/usr/bin/env bash
# The Debian package of this build tree: it holds the programs, the menu entry, the icon, the
# metadata and the manual page, depends on the libraries the programs link, and its program,
# unpacked into a root of the test's own, tells its version.
#   package_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if ! cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  exit 1
fi
deb=$(echo "$work"/korvane_*.deb)
test -f "$deb" || { echo "no package made"; cat "$work/cpack.log"; exit 1; }

dpkg-deb -c "$deb" | awk '{print $NF}' >"$work/contents"
for path in ./usr/bin/korvane ./usr/bin/korvane-sim \
    ./usr/share/applications/org.korvane.Korvane.desktop \
    ./usr/share/icons/hicolor/scalable/apps/org.korvane.Korvane.svg \
    ./usr/share/icons/hicolor/48x48/apps/org.korvane.Korvane.png \
    ./usr/share/metainfo/org.korvane.Korvane.metainfo.xml \
    ./usr/share/man/man1/korvane.1.gz; do
  grep -qx "$path" "$work/contents" || { echo "package lacks $path"; cat "$work/contents"; exit 1; }
done

depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6widgets6 libqt6printsupport6 libc6 qt6-qpa-plugins; do
  [[ $depends == *"$package"* ]] || { echo "Depends lacks $package: $depends"; exit 1; }
done
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || { echo "package version $(dpkg-deb -f "$deb" Version)"; exit 1; }

dpkg-deb -x "$deb" "$work/root"
said=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$work/root/usr/bin/korvane" --version)
[ "$said" = "Korvane $version" ] || { echo "packaged korvane says '$said'"; exit 1; }
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes; Depends: $depends"
