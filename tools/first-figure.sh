#!/usr/bin/env bash
# Measures launch -> first figure on the screen in a real X window under Xvfb, and the part of it
# the load handler (showing the window and tracing the first figure) takes; in turns with it, a
# bare Qt window of the same size with a button and a black picture (build/bench/
# stringart-bare-window, where the bench is built), and the shared libraries each has mapped and
# the memory each holds with its window open.
#   tools/first-figure.sh [RUNS] [PROGRAM]      default: 9 runs of build/app/stringart
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-9}
program=${2:-build/app/stringart}
bare=$(dirname "$program")/../bench/stringart-bare-window
command -v xvfb-run >/dev/null || { echo "first-figure: needs xvfb-run (apt-get install xvfb xauth)" >&2; exit 1; }
echo "processor: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//')"
results=$(mktemp) bare_results=$(mktemp)
trap 'rm -f "$results" "$bare_results"' EXIT
# The launch time is taken at the last moment, right before the server is up and the program
# starts; xvfb-run starts the server first, so its start-up is not counted.
launch() {
  xvfb-run -a -s "-screen 0 1024x768x24" sh -c \
    'STRINGART_TIMING=1 STRINGART_LAUNCHED_AT_NS=$(date +%s%N) exec "$0"' "$1" 2>&1
}
for _ in $(seq "$runs"); do
  launch "$program" | grep '^stringart: load handler' >>"$results" || true
  [ -x "$bare" ] && { launch "$bare" | grep '^bare window:' >>"$bare_results" || true; }
done
[ -s "$results" ] || { echo "first-figure: the program reported nothing" >&2; exit 1; }
# "stringart: load handler 9.1 ms, tracing 5.0 ms, first figure on screen 98.3 ms after launch"
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
load=$(awk '{ print $4 }' "$results" | median)
trace=$(awk '{ print $7 }' "$results" | median)
shown=$(awk '{ print $13 }' "$results" | median)
echo "$(wc -l <"$results") launches, medians: first figure on screen ${shown} ms after launch;" \
  "load handler ${load} ms, of which tracing the figure ${trace} ms"

# The libraries and memory of a window left open, once it shows its picture.
mapped() {
  xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
    "$0" >/dev/null 2>&1 & pid=$!
    xdotool search --sync --name "^Form1$" >/dev/null
    sleep 1  # the picture painted
    echo "$(awk "\$6 ~ /\\.so/ { print \$6 }" /proc/$pid/maps | sort -u | wc -l) shared libraries," \
      "$(awk "/VmRSS/ { printf \"%.0f MB resident\", \$2 / 1024 }" /proc/$pid/status)"
    kill $pid' "$1"
}
command -v xdotool >/dev/null && echo "the program's window open: $(mapped "$program")"
if [ -s "$bare_results" ]; then
  bare_shown=$(awk '{ print $6 }' "$bare_results" | median)
  echo "a bare Qt window, in turns with it: picture on screen ${bare_shown} ms after launch;" \
    "the program takes $(awk -v a="$shown" -v b="$bare_shown" 'BEGIN { printf "%.2f", a / b }') times as long"
  command -v xdotool >/dev/null && echo "the bare window open: $(mapped "$bare")"
fi
