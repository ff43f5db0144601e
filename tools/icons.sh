#!/usr/bin/env bash
# Renders app/stringart.svg to the PNG icons in app/icons/ that the window shows, so that the
# program needs no SVG image plugin; the 16 and 24 px icons come from their own drawings,
# app/stringart-16.svg and app/stringart-24.svg, made for that size. Needs chromium.
# Also the web page's PNG icons in web/.
#   tools/icons.sh
set -euo pipefail
cd "$(dirname "$0")/.."
page=$(mktemp -d)
trap 'rm -rf "$page"' EXIT
for size in 16 24 32 48 64 128 256; do
  source=app/stringart.svg
  [ -e "app/stringart-$size.svg" ] && source=app/stringart-$size.svg
  printf '<html><body style="margin:0"><img src="file://%s" width="%d" height="%d"></body></html>' \
    "$PWD/$source" "$size" "$size" >"$page/icon.html"
  chromium --headless --no-sandbox --disable-gpu --hide-scrollbars \
    --default-background-color=00000000 --window-size="$size,$size" \
    --screenshot="$PWD/app/icons/stringart-$size.png" "file://$page/icon.html" >/dev/null 2>&1
done
# The page's PNG icons, from the same drawing: the home-screen icon of iOS (180, on black, as iOS
# shows no transparency) and the web app's (192 and 512).
for size in 180 192 512; do
  background=00000000
  [ "$size" = 180 ] && background=000000ff
  printf '<html><body style="margin:0"><img src="file://%s" width="%d" height="%d"></body></html>' \
    "$PWD/app/stringart.svg" "$size" "$size" >"$page/icon.html"
  chromium --headless --no-sandbox --disable-gpu --hide-scrollbars \
    --default-background-color=$background --window-size="$size,$size" \
    --screenshot="$PWD/web/icon-$size.png" "file://$page/icon.html" >/dev/null 2>&1
done
