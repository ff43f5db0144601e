#!/usr/bin/env bash
# Installs what the whole test suite uses, builds, and runs it.
#   tools/test.sh              the Release build
#   tools/test.sh --sanitize   a build with AddressSanitizer and UndefinedBehaviorSanitizer
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh tests page
if [ "${1:-}" = "--sanitize" ]; then
  build=build-sanitize
  cmake -S . -B $build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTRINGART_SANITIZE=ON >/dev/null
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1
else
  build=build
  # A build left by tools/run.sh has the tests turned off.
  cmake -S . -B $build -G Ninja -DBUILD_TESTING=ON -UCMAKE_DISABLE_FIND_PACKAGE_benchmark >/dev/null
fi
cmake --build $build -j "$(nproc)"
# As many tests at once as there are CPUs; the browser and display tests run alone.
exec ctest --test-dir $build --output-on-failure -j "$(nproc)"
