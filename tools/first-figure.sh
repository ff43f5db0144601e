#!/usr/bin/env bash
# Measures launch -> first figure on the screen in a real X window under Xvfb, and the part of it
# the load handler (showing the window and tracing the first figure) takes.
#   tools/first-figure.sh [RUNS] [PROGRAM]      default: 9 runs of build/app/stringart
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-9}
program=${2:-build/app/stringart}
command -v xvfb-run >/dev/null || { echo "first-figure: needs xvfb-run (apt-get install xvfb xauth)" >&2; exit 1; }
echo "processor: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
results=$(mktemp)
trap 'rm -f "$results"' EXIT
for _ in $(seq "$runs"); do
  # The launch time is taken at the last moment, right before the server is up and the program
  # starts; xvfb-run starts the server first, so its start-up is not counted.
  xvfb-run -a -s "-screen 0 1024x768x24" sh -c \
    'STRINGART_TIMING=1 STRINGART_LAUNCHED_AT_NS=$(date +%s%N) exec "$0"' "$program" \
    2>&1 | grep '^stringart: load handler' >>"$results" || true
done
[ -s "$results" ] || { echo "first-figure: the program reported nothing" >&2; exit 1; }
# "stringart: load handler 9.1 ms, tracing 5.0 ms, first figure on screen 98.3 ms after launch"
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
load=$(awk '{ print $4 }' "$results" | median)
trace=$(awk '{ print $7 }' "$results" | median)
shown=$(awk '{ print $13 }' "$results" | median)
echo "$(wc -l <"$results") launches, medians: first figure on screen ${shown} ms after launch;" \
  "load handler ${load} ms, of which tracing the figure ${trace} ms"
