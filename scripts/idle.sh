#!/usr/bin/env bash
# Measures what Nimbrel costs while idle: starts it with --idle-report on a private desktop
# (Xvfb, openbox and a tray, nothing else running) and prints the result.
# NIMBREL_IDLE_SECONDS sets the length (default 300; the check waits 20 s more first).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
source scripts/private-desktop.sh
status=0
build/Nimbrel/nimbrel --idle-report "$work/idle.txt" || status=$?
cat "$work/idle.txt"
exit $status
