#!/usr/bin/env bash
# How much of one core stringart-saver takes drawing on the root window of a 1920 x 1080 virtual
# screen, averaged over a minute, and that of the X server beside it; then how soon SIGTERM ends it.
#   tools/saver-cpu.sh [STRINGART_SAVER [SAVER_OPTION...]]     e.g. tools/saver-cpu.sh build/app/stringart-saver --delay 0
set -euo pipefail
saver=${1:-build/app/stringart-saver}
shift || true
seconds=${SAVER_CPU_SECONDS:-60}
n=70
while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n + 1)); done
Xvfb :$n -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1
DISPLAY=:$n "$saver" -root "$@" &
pid=$!
sleep 1
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }  # user + system, clock ticks
s0=$(ticks $pid) x0=$(ticks $xvfb) t0=$(date +%s.%N)
sleep "$seconds"
s1=$(ticks $pid) x1=$(ticks $xvfb) t1=$(date +%s.%N)
awk -v s=$((s1 - s0)) -v x=$((x1 - x0)) -v t0="$t0" -v t1="$t1" -v hz="$(getconf CLK_TCK)" 'BEGIN {
  wall = t1 - t0
  printf "over %.1f s: stringart-saver %.1f %% of one core, the X server %.1f %%\n", wall, 100 * s / hz / wall, 100 * x / hz / wall
}'
start=$(date +%s%N)
kill -TERM $pid
status=0
wait $pid || status=$?
echo "SIGTERM: ended with status $status after $((($(date +%s%N) - start) / 1000000)) ms"
echo "processor: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) CPUs, load average $(cut -d' ' -f1-3 /proc/loadavg)"
