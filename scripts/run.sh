#!/usr/bin/env bash
# Sets up, builds and starts the Nimbrel tray program; arguments are passed to it.
# The command-line front end is build/NimbrelCtl/nimbrelctl.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
exec build/Nimbrel/nimbrel "$@"
