#!/usr/bin/env bash
# Installs what is missing, then configures and builds Nimbrel into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DNIMBREL_WERROR=ON >/dev/null
cmake --build build
