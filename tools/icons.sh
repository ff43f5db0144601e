#!/usr/bin/env bash
# Renders app/stringart.svg to the PNG icons in app/icons/ that the window shows, so that the
# program needs no SVG image plugin. Needs chromium.
#   tools/icons.sh
set -euo pipefail
cd "$(dirname "$0")/.."
page=$(mktemp -d)
trap 'rm -rf "$page"' EXIT
for size in 16 32 48 64 128 256; do
  printf '<html><body style="margin:0"><img src="file://%s" width="%d" height="%d"></body></html>' \
    "$PWD/app/stringart.svg" "$size" "$size" >"$page/icon.html"
  chromium --headless --no-sandbox --disable-gpu --hide-scrollbars \
    --default-background-color=00000000 --window-size="$size,$size" \
    --screenshot="$PWD/app/icons/stringart-$size.png" "file://$page/icon.html" >/dev/null 2>&1
done
