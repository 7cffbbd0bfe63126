#!/usr/bin/env bash
# Installs the Debian 12 packages that building, testing and running Korvane need, and any
# packages named as arguments, only those that are missing, so a second run costs nothing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-private-dev libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth x11-apps imagemagick xdotool poppler-utils
  fonts-liberation fonts-liberation2 fonts-dejavu
  python3-xlrd python3-openpyxl libxlsxwriter-dev
  desktop-file-utils appstream man-db librsvg2-bin
  libqt6sql6-sqlite sqlite3 libqt6sql6-psql postgresql-15
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
