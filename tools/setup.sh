#!/usr/bin/env bash
# Installs what this Debian machine lacks for one or more purposes, through apt-get (with sudo
# when not root); says in one line what and how much before it does.
#   tools/setup.sh programs   compiler, CMake and the libraries the two programs link
#   tools/setup.sh tests      the programs' needs and what the test suite and the bench use
#   tools/setup.sh package    the programs' needs and the tools that build and check the package
#   tools/setup.sh page       emscripten, node, chromium and the browser tests' locked npm packages
set -euo pipefail
cd "$(dirname "$0")/.."

programs=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev qt6-qpa-plugins qt6-wayland libgl-dev libx11-dev libxcb1-dev
  libcairo2-dev libpng-dev libdeflate-dev libavcodec-dev libavformat-dev libswscale-dev libavutil-dev
  libsqlite3-dev nlohmann-json3-dev qt6-l10n-tools qt6-tools-dev qt6-translations-l10n
)
package=(dpkg-dev file lintian appstream man-db)
tests=(
  "${package[@]}" libgtest-dev libbenchmark-dev ffmpeg
  xvfb xauth xdotool imagemagick x11-utils fonts-dejavu-core xscreensaver
  inkscape hp2xx poppler-utils libglib2.0-bin gsettings-desktop-schemas
  clang libclang-rt-14-dev ccache gcovr cups cups-client printer-driver-cups-pdf
)
page=(emscripten chromium)
# The browser tests' client comes from npm; Debian's npm unless node came with its own.
command -v npm >/dev/null || page+=(npm)

[ $# -gt 0 ] || { sed -n '4,7p' "$0" | sed 's/^# \{0,1\}//' >&2; exit 2; }
wanted=()
for purpose in "$@"; do
  case $purpose in
    programs) wanted+=("${programs[@]}") ;;
    tests) wanted+=("${programs[@]}" "${tests[@]}") ;;
    package) wanted+=("${programs[@]}" "${package[@]}") ;;
    page) wanted+=("${page[@]}") ;;
    *) echo "setup: unknown purpose '$purpose': programs, tests, package or page" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" = 0 ] || sudo="sudo"
  apt=($sudo env DEBIAN_FRONTEND=noninteractive apt-get -q -o Dpkg::Use-Pty=0)
  "${apt[@]}" update -qq
  # apt's own estimate, from a dry run that answers no (and so fails).
  size=$({ "${apt[@]}" install --no-install-recommends --assume-no "${missing[@]}" 2>/dev/null || true; } |
         sed -n 's/^Need to get \([^/]*\) of archives.*/\1 to download/p; s/^After this operation, \(.*\) of additional disk space.*/\1 on disk/p' |
         paste -sd, - | sed 's/,/, /')
  echo "setup: installing ${#missing[@]} packages for $* (${missing[*]}): ${size:-size unknown}" >&2
  "${apt[@]}" install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# playwright-core for the browser tests, as locked; again only when the lock file has changed.
if [[ " $* " == *" page "* ]] &&
  [ tests/web/package-lock.json -nt tests/web/node_modules/.package-lock.json ]; then
  echo "setup: installing the browser tests' npm packages (tests/web/package-lock.json)" >&2
  (cd tests/web && npm ci --no-audit --no-fund --loglevel=error)
fi
