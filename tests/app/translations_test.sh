#!/usr/bin/env bash
# Every text the window shows has a translation in each language: a copy of each .ts is brought
# up to date with the code, as update_translations does, and no text in it may be left unfinished.
#   translations_test.sh LUPDATE SOURCE_ROOT 'TS...' SOURCE...
set -euo pipefail
lupdate=$1 root=$2 ts_files=$3
shift 3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
for ts in $ts_files; do
  copy=$work/$(basename "$ts")
  cp "$ts" "$copy"
  "$lupdate" -I "$root" -locations none -no-obsolete "$@" -ts "$copy" >"$work/lupdate.log" 2>&1 ||
    { cat "$work/lupdate.log" >&2; exit 1; }
  unfinished=$(awk '/<source>/ { source = $0 } /type="unfinished"/ { print source }' "$copy")
  if [ -n "$unfinished" ]; then
    echo "$(basename "$ts"): texts without a translation:" >&2
    sed 's/^ *<source>\(.*\)<\/source>$/  \1/' <<<"$unfinished" >&2
    status=1
  fi
done
exit $status
