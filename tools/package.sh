#!/usr/bin/env bash
# Builds the Debian package stringart_<version>_amd64.deb in build-package/ and prints its path
# last. Dependencies come from dpkg-shlibdeps; `lintian` checks it when installed.
#   tools/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
# Debian's hardening flags: fortified functions, a stack protector, relocations read-only and
# bound at start. Release's -O3 comes after -O2 and wins.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
tools/setup.sh package
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  -DCMAKE_MODULE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >&2
cmake --build build-package -j "$(nproc)" >&2
rm -f build-package/stringart_*.deb
(cd build-package && cpack -G DEB >&2)
deb=$(ls build-package/stringart_*_*.deb)
if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb" >&2
fi
echo "$PWD/$deb"
