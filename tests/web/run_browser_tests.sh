#!/usr/bin/env bash
# Runs the browser tests on the built page; exit status 77 (skipped) when something they need
# is missing here, except under CI (CI=true), where tools/setup.sh has installed it all and a
# missing piece is a failure.
#   run_browser_tests.sh SITE_DIR STRINGART_RENDER TEST_FILE...
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
site=$1 render=$2
shift 2
chromium=${STRINGART_CHROMIUM:-/usr/bin/chromium}

skip() {
  if [ "${CI:-}" = true ]; then
    echo "browser tests cannot run: $*" >&2
    exit 1
  fi
  echo "browser tests skipped: $*" >&2
  exit 77
}
command -v node >/dev/null || skip "node is not installed"
[ -x "$chromium" ] || skip "$chromium is not installed"
[ -f "$here/node_modules/playwright-core/package.json" ] || skip "playwright-core is not installed: (cd tests/web && npm ci)"
[ -f "$site/index.html" ] && [ -f "$site/stringart.wasm" ] || skip "the page is not built: tools/web.sh build"
[ -x "$render" ] || skip "$render is not built"

export STRINGART_SITE=$site STRINGART_RENDER=$render STRINGART_CHROMIUM=$chromium
cd "$here"
exec node --test "$@"
