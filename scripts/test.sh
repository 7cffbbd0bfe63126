#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the serial tests under ThreadSanitizer,
# each fuzz harness for a short while, and last the whole suite in a normal build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

jobs=$(nproc)
bash scripts/build.sh build

echo "== serial tests under ThreadSanitizer"
cmake -S . -B build-tsan -G Ninja -Wno-dev -DSANITIZER=thread -DKORVANE_BUILD_BENCH=OFF >/dev/null
cmake --build build-tsan -j "$jobs" --target serial_tests
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  ctest --test-dir build-tsan --output-on-failure -L '^serial$' --timeout 300

if [ -d fuzz ]; then
  echo "== fuzz harnesses, ${KORVANE_FUZZ_SECONDS:=20} s each"
  bash scripts/build.sh build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DKORVANE_BUILD_FUZZ=ON \
    -DKORVANE_BUILD_TESTS=OFF -DKORVANE_BUILD_BENCH=OFF
  find build-fuzz/fuzz -type f -executable -name 'fuzz_*' | sort | while read -r harness; do
    echo "-- $harness"
    corpus=$(mktemp -d)
    if ! "$harness" -max_total_time="$KORVANE_FUZZ_SECONDS" -timeout=10 "$corpus" >"$corpus.log" 2>&1; then
      tail -n 40 "$corpus.log"
      exit 1
    fi
    tail -n 1 "$corpus.log"
    rm -rf "$corpus" "$corpus.log"
  done
fi

echo "== all tests, the journal's also against a PostgreSQL server of their own"
pg_dir=$(bash scripts/journal-test-server.sh start)
trap 'bash scripts/journal-test-server.sh stop "$pg_dir"' EXIT
KORVANE_TEST_PGHOST="$pg_dir" ctest --test-dir build --output-on-failure -j "$jobs" --timeout 300
