#!/usr/bin/env bash
# Fails when a room includes a room above it. The order is the build's subsystem list: a room may
# include only itself and the rooms before it.
set -euo pipefail
cd "$(dirname "$0")/.."
read -r -a rooms <<<"$(sed -n 's/^set(KORVANE_SUBSYSTEMS \(.*\))$/\1/p' CMakeLists.txt)"
status=0
# The room's source files, without those of rooms nested in it (serial/ui inside serial).
files_of() {
  local prune=()
  for r in "${rooms[@]}"; do
    [[ $r == "$1"/* ]] && prune+=(-path "$r" -prune -o)
  done
  find "$1" "${prune[@]}" \( -name '*.h' -o -name '*.cpp' \) -print
}
for ((i = 0; i < ${#rooms[@]}; i++)); do
  room=${rooms[$i]}
  allowed=("${rooms[@]:0:$((i + 1))}")
  while IFS= read -r line; do
    file=${line%%:*}
    included=$(sed -n 's/.*#include "\([^"]*\)".*/\1/p' <<<"$line")
    target=$(dirname "$included")
    [[ $included == */* ]] || continue
    ok=0
    for a in "${allowed[@]}"; do [[ $target == "$a" ]] && ok=1; done
    if [[ $ok -eq 0 && " ${rooms[*]} " == *" $target "* ]]; then
      echo "$file includes $included from a room above $room"
      status=1
    fi
  done < <(files_of "$room" | xargs -r grep -H '#include "' || true)
done
exit $status
