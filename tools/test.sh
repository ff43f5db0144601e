#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite.
#   tools/test.sh              the Release build
#   tools/test.sh --sanitize   a build with AddressSanitizer and UndefinedBehaviorSanitizer
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = "--sanitize" ]; then
  tools/setup.sh build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTRINGART_SANITIZE=ON
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1
  exec ctest --test-dir build-sanitize --output-on-failure
fi
tools/setup.sh build
exec ctest --test-dir build --output-on-failure
