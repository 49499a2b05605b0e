#!/usr/bin/env bash
# Builds the unit tests with AddressSanitizer and UndefinedBehaviorSanitizer into build-sanitize/
# and runs them. The desktop tests stay with scripts/test.sh: they drive uninstrumented servers.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build-sanitize -G Ninja -DNIMBREL_WERROR=ON -DNIMBREL_SANITIZE=ON \
    -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" >/dev/null
cmake --build build-sanitize --target unit_tests
cd build-sanitize
# Full stacks, so the leak suppressions can name the Qt caches an allocation went through.
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:fast_unwind_on_malloc=0"
export LSAN_OPTIONS="suppressions=$PWD/../tests/sanitizer-leaks.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --output-on-failure --parallel 2 -L unit
