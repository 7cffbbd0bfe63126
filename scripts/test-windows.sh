#!/usr/bin/env bash
# Builds Korvane and its tests for Windows (scripts/build-windows.sh --tests) and runs the test
# programs under Wine, in a Wine prefix of their own, on a virtual display. The serial layer's
# test gets COM5, which Wine maps to a pseudo-terminal whose other end echoes what it receives.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cache=${KORVANE_WINDOWS_CACHE:-$HOME/.cache/korvane-windows}
bash "$root/scripts/build-windows.sh" --tests

target=x86_64-w64-mingw32
gcc_dir=$(dirname "$("$target-g++-posix" -print-libgcc-file-name)")
export WINEPREFIX=$root/build-windows/wine
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
wineboot --init >/dev/null 2>&1
# The test programs find the Qt and compiler libraries on the path rather than beside them.
WINEPATH="$(winepath -w "$cache/mingw64/bin");$(winepath -w "$gcc_dir");$(winepath -w "/usr/$target/lib")"
export WINEPATH

work=$(mktemp -d)
trap 'kill $echo_pid 2>/dev/null || true; rm -rf "$work"' EXIT
python3 "$root/scripts/windows/pty_echo.py" "$work/tty" &
echo_pid=$!
for _ in $(seq 50); do [ -e "$work/tty" ] && break; sleep 0.1; done
ln -sfn "$(readlink "$work/tty")" "$WINEPREFIX/dosdevices/com5"

echo "== the Windows tests under Wine"
KORVANE_TEST_COM=COM5 xvfb-run -a ctest --test-dir "$root/build-windows" --output-on-failure --timeout 900
