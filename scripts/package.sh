#!/usr/bin/env bash
# Installs what is missing, builds a release tree and makes the Debian package of Korvane,
# korvane_<version>_<arch>.deb in the project folder: `sudo apt install ./korvane_*.deb`.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build-package -DCMAKE_BUILD_TYPE=Release -DKORVANE_BUILD_TESTS=OFF -DKORVANE_BUILD_BENCH=OFF
(cd build-package && cpack -G DEB >/dev/null)
mv build-package/korvane_*.deb .
ls -l korvane_*.deb
