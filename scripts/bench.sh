#!/usr/bin/env bash
# Builds a release tree and runs every benchmark program once, each in its own process, writing
# one JSON file per program (with the machine's load and CPU in its "context"), then the terminal's
# clusters once more with a screen reader on the accessibility bus (bench/terminal/with_screen_reader.sh):
#   scripts/bench.sh [OUTDIR] [benchmark flags...]   e.g. scripts/bench.sh results --benchmark_repetitions=3
# Korvane side by side with GTKTerm on the same pseudo-terminal streams: bench/peers/compare.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-bench-results}
shift || true
bash scripts/install-deps.sh
bash scripts/build.sh build-release -DCMAKE_BUILD_TYPE=Release -DKORVANE_BUILD_TESTS=OFF -DKORVANE_BUILD_BENCH=ON
mkdir -p "$out"
export QT_QPA_PLATFORM=offscreen
status=0
for program in $(find build-release/bench -type f -executable -name '*_bench' | sort); do
  name=$(basename "$program")
  echo "== $name"
  if ! "$program" --benchmark_out="$out/$name.json" --benchmark_out_format=json "$@"; then
    echo "$name failed" >&2
    status=1
  fi
done
echo "== terminal_scale_bench with a screen reader on the accessibility bus"
if ! bash bench/terminal/with_screen_reader.sh build-release/bench/terminal/terminal_scale_bench \
    --benchmark_filter=ScreenReader --benchmark_out="$out/terminal_scale_bench_screen_reader.json" \
    --benchmark_out_format=json "$@"; then
  echo "terminal_scale_bench with a screen reader failed" >&2
  status=1
fi
exit $status
