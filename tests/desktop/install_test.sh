#!/usr/bin/env bash
# `cmake --install` into a folder of the test's own: the menu entry and the metadata pass the
# distributions' validators, the menu entry's command is installed, the installed program
# tells its version and the manual page reads without warnings.
#   install_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

cmake --install "$build" --prefix "$root/usr" >/dev/null
desktop="$root/usr/share/applications/org.korvane.Korvane.desktop"
desktop-file-validate --no-hints "$desktop"
appstreamcli validate --no-net --explain "$root/usr/share/metainfo/org.korvane.Korvane.metainfo.xml"

command=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
icon=$(sed -n 's/^Icon=//p' "$desktop")
test -x "$root/usr/bin/$command" || { echo "menu entry starts $command, which is not installed"; exit 1; }
for size in 16x16 32x32 48x48 256x256; do
  test -s "$root/usr/share/icons/hicolor/$size/apps/$icon.png" || { echo "no $size icon $icon"; exit 1; }
done
test -s "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg"

said=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/korvane" --version)
[ "$said" = "Korvane $version" ] || { echo "installed korvane says '$said'"; exit 1; }

warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/korvane.1.gz" 2>&1 >/dev/null)
[ -z "$warnings" ] || { echo "manual page: $warnings"; exit 1; }
echo "installed files are valid"
