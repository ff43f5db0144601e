#!/usr/bin/env bash
# Builds the libFuzzer targets (tests/fuzz/) with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz/, and runs each for SECONDS (default 60), one after
# another, from seeds of what stringart writes. Prints one line a target: executions, coverage,
# crashes; exits 1 when any target found a crash, a leak or a hang (its input is left in
# build-fuzz/findings/).
#   tools/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build-fuzz

command -v clang++ >/dev/null || { echo "fuzz: clang++ is missing (apt clang libclang-rt-14-dev)" >&2; exit 2; }
cmake -S tests/fuzz -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_COMPILER_LAUNCHER="$(command -v ccache || true)" >/dev/null
cmake --build "$build" -j "$(nproc)" >/dev/null

# Seeds: the texts a user hands over, and, where the renderer is built, the files it writes.
draws=0.1,0.2,0.3,0.4,0.5,0.6,0.7,0.8,0.9,0.15,0.35,0.55
seeds=$build/seeds
rm -rf "$seeds"
mkdir -p "$seeds"/{remake_command,render_options,figure_link,png_command,svg_command,video_command,figures_file,hpgl_command,pdf_command,gcode_command}
printf 'stringart-render --draws %s --directions 1,-1,1 --size 3840x2160 --seconds 8 --fps 30' \
  "$draws" >"$seeds/remake_command/1"
printf -- '--draws\0%s\0--size\0600\0--seconds\0002\0-o\0x.mp4' "$draws" >"$seeds/render_options/1"
printf -- '--seed\00043210.5\0--figures\0003\0--directions=1,1,-1\0-o\0x.svg' >"$seeds/render_options/2"
printf 'draws=%s&directions=-1,1,1' "$draws" >"$seeds/figure_link/1"
printf '[{"draws": "%s", "directions": "1,-1,1", "favourite": true, "shown_at": 1733680000, "note": "sea \\u00e9"},\n{"draws": "%s"}]' \
  "$draws" "$draws" >"$seeds/figures_file/1"
render=${STRINGART_RENDER:-build/app/stringart-render}
if [ -x "$render" ]; then
  out=$(mktemp -d)
  "$render" --draws $draws -o "$out/a.png" >/dev/null
  "$render" --draws $draws --size 600 -o "$out/b.png" >/dev/null
  "$render" --draws $draws --size 600 -o "$out/a.svg" >/dev/null
  "$render" --draws $draws --size 500 --seconds 1 --fps 1 -o "$out/a.mp4" >/dev/null
  "$render" --draws $draws --size 500 --seconds 1 --fps 1 -o "$out/a.webm" >/dev/null
  "$render" --draws $draws --paper 100x100mm --pens=#ff0000,#0000ff -o "$out/a.hpgl" >/dev/null
  "$render" --draws $draws --paper 100x100mm --on-white -o "$out/a.pdf" >/dev/null
  "$render" --draws $draws --paper 100x100mm --plot-time 5m -o "$out/a.gcode" >/dev/null
  cp "$out/a.png" "$out/b.png" "$seeds/png_command/"
  head -c 8192 "$out/a.svg" >"$seeds/svg_command/a.svg"
  { printf '\0'; cat "$out/a.mp4"; } >"$seeds/video_command/mp4"
  { printf '\1'; cat "$out/a.webm"; } >"$seeds/video_command/webm"
  head -c 8192 "$out/a.hpgl" >"$seeds/hpgl_command/a.hpgl"
  head -c 8192 "$out/a.gcode" >"$seeds/gcode_command/a.gcode"
  # The head that names it a PDF and the tail with its subject: the reader reads nothing else.
  { head -c 1024 "$out/a.pdf"; tail -c 16384 "$out/a.pdf"; } >"$seeds/pdf_command/a.pdf"
  rm -rf "$out"
else
  echo "fuzz: $render not built: the file readers start without seeds" >&2
fi

mkdir -p "$build/findings"
failed=0
printf '%-16s %12s %10s %8s %8s\n' target executions coverage features crashes
for target in remake_command render_options figure_link png_command svg_command video_command \
  figures_file hpgl_command pdf_command gcode_command; do
  corpus=$build/corpus/$target
  mkdir -p "$corpus"
  max_len=4096
  case $target in *_command) [ "$target" = remake_command ] || max_len=131072 ;; esac
  log=$build/$target.log
  status=0
  "$build/fuzz_$target" "$corpus" "$seeds/$target" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 -max_len=$max_len -print_final_stats=1 \
    -artifact_prefix="$build/findings/$target-" >"$log" 2>&1 || status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  ft=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  crashes=0
  if [ "$status" -ne 0 ]; then
    crashes=1
    failed=1
  fi
  printf '%-16s %12s %10s %8s %8s\n' "$target" "${runs:-?}" "${cov:-?}" "${ft:-?}" "$crashes"
  [ "$status" -eq 0 ] || tail -30 "$log" >&2
done
exit $failed
