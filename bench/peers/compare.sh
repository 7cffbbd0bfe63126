#!/usr/bin/env bash
# Korvane side by side with GTKTerm (and `cat`, the floor) on the same pseudo-terminal streams in
# one run, each program painting on the same Xvfb display: installs what the comparison needs,
# builds Korvane in release and runs bench/peers/feed.py. Writes OUTDIR/results.md (the table),
# results.json, a screenshot after each scenario and the programs' output. About 10 minutes.
#   bench/peers/compare.sh [OUTDIR] [feed.py options, e.g. --seconds 30]
set -euo pipefail
cd "$(dirname "$0")/../.."
out=${1:-bench-results/peers}
shift || true
bash scripts/install-deps.sh
sudo=(); [ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
  gtkterm xvfb xauth x11-utils procps >/dev/null
bash scripts/build.sh build-release -DCMAKE_BUILD_TYPE=Release -DKORVANE_BUILD_TESTS=OFF -DKORVANE_BUILD_BENCH=ON
gcc -shared -fPIC -O2 -Wall -Wextra -o build-release/pty_shim.so bench/peers/pty_shim.c -ldl
xvfb-run -a -s "-screen 0 1280x1024x24" python3 bench/peers/feed.py \
  --korvane build-release/app/korvane --shim build-release/pty_shim.so --out "$out" "$@"
