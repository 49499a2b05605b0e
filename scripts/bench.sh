#!/usr/bin/env bash
# Sets up, builds and runs every benchmark (each bench_* program in build/bench/).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
status=0
for bench in build/bench/bench_*; do
  [[ -x $bench && -f $bench ]] || continue
  echo "== $(basename "$bench")"
  "$bench" || status=1
done
exit $status
