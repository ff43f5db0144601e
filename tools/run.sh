#!/usr/bin/env bash
# Installs what is missing, builds, and opens the stringart window.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh build
exec build/app/stringart "$@"
