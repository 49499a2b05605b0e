#!/usr/bin/env bash
# Builds Nimbrel, then the Debian package build/packages/nimbrel_VERSION_ARCH.deb (CPack; its
# Depends come from dpkg-shlibdeps).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
cpack --config build/CPackConfig.cmake -B build/packages
