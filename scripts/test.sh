#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite. Tests that need a display start their own.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
cd build
ctest --output-on-failure --parallel 2
