#!/usr/bin/env bash
# Builds a Debug build with line counting in build-coverage/, runs the unit, window and display
# tests there (not the page's or the fuzz targets), and prints the share of lines run per folder
# and overall. Not a test: nothing fails on a low number. Needs gcovr (tools/setup.sh tests).
#   tools/coverage.sh [--html DIR]     DIR: also a browsable report, line by line
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-coverage
html=
case "${1:-}" in
  --html) html=${2:?coverage: --html needs a folder}; mkdir -p "$html"; html=$(cd "$html" && pwd) ;;
  "") ;;
  *) sed -n '5p' "$0" | sed 's/^# *//' >&2; exit 2 ;;
esac
command -v gcovr >/dev/null || { echo "coverage: needs gcovr (apt-get install gcovr)" >&2; exit 2; }

# The bench measures speed, which a build with counting does not have: left out.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBUILD_TESTING=ON \
  -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
  -DCMAKE_CXX_FLAGS="--coverage -O0" -DCMAKE_EXE_LINKER_FLAGS=--coverage \
  -DCMAKE_SHARED_LINKER_FLAGS=--coverage -DCMAKE_MODULE_LINKER_FLAGS=--coverage \
  -DCMAKE_CXX_COMPILER_LAUNCHER="$(command -v ccache || true)" >/dev/null
nice cmake --build "$build" -j "$(nproc)"
# Counts from an earlier run would add up with this one's.
find "$build" -name '*.gcda' -delete
# A failing test still counts what it ran; the numbers are printed either way.
nice ctest --test-dir "$build" -j "$(nproc)" -L 'unit|window|display' --output-on-failure ||
  echo "coverage: some tests failed; the numbers below count what ran" >&2

# The sources only: not the tests, the build's generated files (moc, resources) nor other builds.
folders=(runtime text canvas figure options journal smooth formats paper export form saver window app)
filters=()
for folder in "${folders[@]}"; do
  filters+=(--filter "$folder/")
done
options=(--root . --object-directory "$build" "${filters[@]}" --exclude '.*/moc_.*'
  --exclude '.*qrc_.*' --exclude '.*_autogen/.*' --gcov-ignore-parse-errors
  --exclude-unreachable-branches)
report=$(mktemp)
trap 'rm -f "$report"' EXIT
outputs=(--json "$report")
[ -n "$html" ] && outputs+=(--html-details "$html/index.html")
gcovr "${options[@]}" "${outputs[@]}" "$build"
echo "processor: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
python3 - "$report" "${folders[@]}" <<'EOF'
import json, sys
files = json.load(open(sys.argv[1]))["files"]
folders = {}
for f in files:
    lines = [l for l in f["lines"] if not l.get("gcovr/noncode")]
    folder = f["file"].split("/")[0]
    total, run = folders.get(folder, (0, 0))
    folders[folder] = (total + len(lines), run + sum(1 for l in lines if l["count"] > 0))
order = sys.argv[2:]
everything = [0, 0]
for folder in order:
    if folder in folders:
        total, run = folders[folder]
        everything[0] += total
        everything[1] += run
        print(f"{folder + '/':10} {100 * run / max(total, 1):5.1f} %  {run:6} of {total:6} lines")
print(f"{'overall':10} {100 * everything[1] / max(everything[0], 1):5.1f} %  "
      f"{everything[1]:6} of {everything[0]:6} lines")
EOF
[ -z "$html" ] || echo "coverage: report in $html/index.html"
