#!/usr/bin/env bash
# Installs what is missing, builds Korvane and starts it; arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build -DKORVANE_BUILD_TESTS=OFF -DKORVANE_BUILD_BENCH=OFF
exec build/app/korvane "$@"
