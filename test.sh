#!/usr/bin/env bash
# Checks the format, builds everything with AddressSanitizer, UndefinedBehaviorSanitizer and
# warnings as errors, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
scripts/bootstrap.sh --no-build
scripts/check-format.sh
scripts/bootstrap.sh --asan
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cd build-asan
ctest --output-on-failure --timeout 300 -j2 "$@"
