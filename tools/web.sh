#!/usr/bin/env bash
# Builds the web page with Debian's emscripten, or builds and serves it on this machine.
#   tools/web.sh build          the page into build-web/site/
#   tools/web.sh serve [PORT]   builds, then serves build-web/site/ on http://127.0.0.1:PORT/
#                               (default 8000)
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-web

usage() {
  sed -n '3,6p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}

build_site() {
  tools/setup.sh page
  # Debian's emscripten finds its JavaScript optimizer's packages (acorn) there.
  export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
  # The system's prebuilt libraries, where emscripten writes its lock; a writable copy made of
  # links when this user cannot write there.
  local system_cache=/usr/share/emscripten/cache
  if [ -z "${EM_CACHE:-}" ] && [ -d "$system_cache" ] && [ ! -w "$system_cache" ]; then
    export EM_CACHE=$PWD/$build/emcache
    if [ ! -d "$EM_CACHE/sysroot" ]; then
      mkdir -p "$EM_CACHE"
      cp -rs "$system_cache/." "$EM_CACHE/"
      rm -f "$EM_CACHE/cache.lock"
    fi
  fi
  # stringart-render draws the page's shared picture: the native build's, built when missing.
  local render=${STRINGART_RENDER:-$PWD/build/app/stringart-render}
  if [ ! -x "$render" ]; then
    tools/setup.sh programs
    [ -f build/build.ninja ] || cmake -S . -B build -G Ninja >/dev/null
    cmake --build build --target stringart-render
  fi
  if [ ! -f "$build/build.ninja" ] ||
    ! grep -qxF "STRINGART_RENDER:FILEPATH=$render" "$build/CMakeCache.txt"; then
    emcmake cmake -S web -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DSTRINGART_RENDER="$render" >/dev/null
  fi
  cmake --build "$build"
}

case "${1:-}" in
  build)
    [ $# -eq 1 ] || usage
    build_site
    ;;
  serve)
    [ $# -le 2 ] || usage
    port=${2:-8000}
    [[ "$port" =~ ^[0-9]+$ ]] || usage
    build_site
    echo "web.sh: serving $build/site on http://127.0.0.1:$port/ (Ctrl+C stops)" >&2
    exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$build/site"
    ;;
  *) usage ;;
esac
