#!/usr/bin/env bash
# Runs a program as it runs for a screen reader's user: in its own D-Bus session with the
# accessibility bus, on an X server (the offscreen platform has no accessibility bridge), with
# Qt's bridge switched on and a listener (screen_reader_listener.py) that takes every text and
# caret event and reads the caret's line back over the bus, as a screen reader does.
#   bench/terminal/with_screen_reader.sh build-release/bench/terminal/terminal_scale_bench --benchmark_filter=ScreenReader
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

if [ -z "${KORVANE_SCREEN_READER_SESSION:-}" ]; then
  packages=(dbus at-spi2-core python3-gi gir1.2-atspi-2.0 xvfb xauth)
  missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
  export KORVANE_SCREEN_READER_SESSION=1
  exec dbus-run-session -- xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

log=$(mktemp)
/usr/bin/python3 "$here/screen_reader_listener.py" >"$log" &
listener=$!
trap 'kill $listener 2>/dev/null || true; rm -f "$log"' EXIT
for _ in $(seq 100); do
  grep -q ready "$log" && break
  sleep 0.2
done
grep -q ready "$log" || { echo "the screen reader's listener did not start" >&2; exit 1; }
status=0
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$@" || status=$?
kill -TERM $listener
wait $listener || true
exit $status
