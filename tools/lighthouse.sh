#!/usr/bin/env bash
# Runs Lighthouse (an npm package of the browser tests, tests/web) on the built page with Debian's
# chromium, as a phone (Lighthouse's mobile: a slow 4G link, the processor slowed 4 times) and as
# a desktop, RUNS times each, and prints the median of each of the four scores and of the total
# blocking time; the reports go to build-web/lighthouse/. Not a test: the page is served
# uncompressed by Python's server on the loopback.
#   tools/lighthouse.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-3}
[[ "$runs" =~ ^[1-9][0-9]*$ ]] || { sed -n '7p' "$0" | sed 's/^# *//' >&2; exit 2; }
tools/web.sh build >/dev/null
out=build-web/lighthouse
mkdir -p "$out"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory build-web/site >/dev/null 2>&1 &
server=$!
trap 'kill $server' EXIT
sleep 1
export CHROME_PATH=${STRINGART_CHROMIUM:-/usr/bin/chromium}
for form in mobile desktop; do
  preset=()
  [ "$form" = desktop ] && preset=(--preset=desktop)
  for run in $(seq "$runs"); do
    node tests/web/node_modules/lighthouse/cli/index.js "http://127.0.0.1:$port/" "${preset[@]}" \
      --chrome-flags="--headless=new --no-sandbox --disable-gpu" --quiet \
      --output=json --output-path="$out/$form-$run.json"
  done
  node -e '
    const fs = require("fs");
    const [form, runs, out] = process.argv.slice(1);
    const reports = Array.from({length: Number(runs)}, (_, i) => JSON.parse(fs.readFileSync(`${out}/${form}-${i + 1}.json`)));
    const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
    const scores = ["performance", "accessibility", "best-practices", "seo"].map((c) =>
      `${c} ${median(reports.map((r) => Math.round(r.categories[c].score * 100)))}`);
    const tbt = median(reports.map((r) => r.audits["total-blocking-time"].numericValue));
    const each = reports.map((r) => Math.round(r.categories.performance.score * 100)).join(", ");
    console.log(`${form}: ${scores.join(", ")}; total blocking time ${Math.round(tbt)} ms (performance of each run: ${each})`);
  ' "$form" "$runs" "$out"
done
