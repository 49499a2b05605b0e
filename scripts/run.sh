#!/usr/bin/env bash
# Sets up, builds and starts Nimbrel. Until the tray program lands, the front end is
# nimbrelctl; arguments are passed to it (default: list the running apps).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
if [[ $# -eq 0 ]]; then
  set -- list
fi
exec build/NimbrelCtl/nimbrelctl "$@"
