#!/usr/bin/env bash
# Installs what this Debian machine lacks for building and testing stringart, then builds it.
#   tools/setup.sh [BUILD_DIR [CMAKE_OPTION...]]
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-qpa-plugins libgl-dev
  libgtest-dev libbenchmark-dev libcairo2-dev libpng-dev libsqlite3-dev
  libavcodec-dev libavformat-dev libswscale-dev libavutil-dev ffmpeg
  libx11-dev libxcb1-dev xvfb xauth xdotool imagemagick x11-utils fonts-dejavu-core
  emscripten chromium
)
# The browser tests' client comes from npm; Debian's npm unless node came with its own.
command -v npm >/dev/null || packages+=(npm)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}" >&2
  sudo=""
  [ "$(id -u)" = 0 ] || sudo="sudo"
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi

# playwright-core for the browser tests, as locked; again only when the lock file has changed.
if [ tests/web/package-lock.json -nt tests/web/node_modules/.package-lock.json ]; then
  (cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
fi

build=${1:-build}
shift || true
cmake -S . -B "$build" -G Ninja "$@" >/dev/null
cmake --build "$build" -j "$(nproc)"
