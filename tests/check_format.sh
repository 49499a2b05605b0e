#!/usr/bin/env bash
# Fails when a tracked C++ file differs from what clang-format makes of it, or when qmllint warns
# about a tracked QML file. qmllint reads the QML modules' types from the build folder given as
# the first argument (build/ by default), so that folder must be built first.
set -euo pipefail
build=$(realpath -m "${1:-$(dirname "$0")/../build}")
cd "$(dirname "$0")/.."
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
# Every module's qmldir and types are under build/qml, where one module finds another's.
[[ -d $build/qml ]] || { echo "check_format: no QML modules in $build; build it first" >&2; exit 1; }
git ls-files -z '*.qml' | xargs -0 /usr/lib/qt6/bin/qmllint -I "$build/qml"
