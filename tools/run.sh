#!/usr/bin/env bash
# Installs what the programs need, builds them alone (no tests, no bench) and opens the window.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh programs
cmake -S . -B build -G Ninja -DBUILD_TESTING=OFF -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON >/dev/null
cmake --build build -j "$(nproc)" --target stringart stringart-render
exec build/app/stringart "$@"
