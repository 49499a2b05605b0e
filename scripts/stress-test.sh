#!/usr/bin/env bash
# Runs the whole suite N times (default 5) while one core is kept busy, as on a loaded machine,
# and prints how many of the runs each test passed, fewest first. Arguments after N go to ctest
# (e.g. -R tst_X11). Exits non-zero when any test failed in any run.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
shift || true
if ! command -v stress-ng >/dev/null; then
  echo "stress-test: stress-ng is not installed (scripts/setup.sh installs it)" >&2
  exit 1
fi
scripts/build.sh
logs=$(mktemp -d -t nimbrel-stress.XXXXXX)
stress-ng --cpu 1 --quiet &
busy=$!
trap 'kill "$busy" 2>/dev/null || true; wait "$busy" 2>/dev/null || true' EXIT
for ((run = 1; run <= runs; run++)); do
  echo "stress-test: run $run of $runs" >&2
  (cd build && ctest --parallel 2 --output-on-failure "$@") >"$logs/run-$run.log" 2>&1 || true
done
# ctest's result lines: "  3/80 Test  #3: tst_Report ......   Passed    0.05 sec"
status=0
awk -v runs="$runs" '
  / Test +#[0-9]+: / { seen[$4]++; if ($0 ~ / Passed /) passed[$4]++ }
  END {
    for (name in seen) {
      printf "%d/%d %s\n", passed[name], runs, name
      if (passed[name] < runs) failed = 1
    }
    exit failed
  }' "$logs"/run-*.log >"$logs/summary" || status=$?
sort -n "$logs/summary"
echo "stress-test: ctest's output of each run is in $logs" >&2
exit "$status"
