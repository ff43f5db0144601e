#!/usr/bin/env bash
# stringart-saver on a virtual screen. Started alone, it draws a figure in a window of its own and
# ends with status 0 when that window is closed. Then Debian's own xscreensaver runs it: with
# `programs: stringart-saver -root` in ~/.xscreensaver, `xscreensaver-command -activate` puts a
# figure on the screen; deactivating ends the saver. xscreensaver refuses to run display modes as
# root, so as root this runs itself again as an unprivileged user, made with useradd when there is
# none.
#   saver_xscreensaver_test.sh STRINGART_SAVER CLOSE_WINDOW
# Exits 77 (skipped) when xscreensaver, Xvfb, xdotool or imagemagick is missing.
set -euo pipefail

saver=$(realpath "$1")
close_window=$(realpath "$2")
user=stringart-test
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

work=
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  [ -z "$work" ] || rm -rf "$work"
  pids=() work=
}
trap cleanup EXIT

# Starts Xvfb with a screen of $1 on the first free display, which it takes itself and names once
# it listens (two tests starting together never reach for the same); sets DISPLAY.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; fail "Xvfb did not start"; }
  export DISPLAY=:$(head -1 "$work/display")
}

if [ -z "${SAVER_TEST_INSIDE:-}" ]; then
  for tool in xscreensaver xscreensaver-command Xvfb xdotool import convert; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
  done

  # Alone, in a window of its own: a figure in it, and status 0 once the window is closed as a
  # window manager closes it.
  work=$(mktemp -d)
  start_xvfb 640x480x24
  env -u XSCREENSAVER_WINDOW "$saver" --delay 0 2>"$work/saver.log" &
  own=$!
  pids+=("$own")
  wid=$(timeout 20 xdotool search --sync --name '^stringart-saver$' | head -1) ||
    fail "no window titled stringart-saver appeared"
  for _ in $(seq 60); do
    import -window "$wid" "$work/own.png"
    lit=$(convert "$work/own.png" -colorspace Gray -threshold 5% -format '%[fx:mean]' info:)
    awk -v l="$lit" 'BEGIN { exit !(l > 0.01) }' && break
    sleep 0.5
  done
  awk -v l="$lit" 'BEGIN { exit !(l > 0.01) }' || fail "no figure in the saver's window: $lit lit"
  "$close_window" "$wid" || fail "could not ask the saver's window to close"
  for _ in $(seq 120); do
    kill -0 "$own" 2>/dev/null || break
    sleep 0.25
  done
  kill -0 "$own" 2>/dev/null && fail "stringart-saver still runs 30 s after its window was closed"
  status=0
  wait "$own" || status=$?
  [ "$status" = 0 ] || { cat "$work/saver.log" >&2; fail "closing its window: status $status, not 0"; }
  echo "ok: stringart-saver drew in a window of its own ($lit lit) and ended with status 0 when it was closed"
  cleanup

  if [ "$(id -u)" = 0 ]; then
    id "$user" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$user"
    exec runuser -u "$user" -- env SAVER_TEST_INSIDE=1 PATH="$PATH" \
      SAVER_TEST_SHOT="${SAVER_TEST_SHOT:-}" "$0" "$saver" "$close_window"
  fi
  SAVER_TEST_INSIDE=1 exec "$0" "$saver" "$close_window"
fi

work=$(mktemp -d)
export HOME=$work
mkdir "$work/bin"
ln -s "$saver" "$work/bin/stringart-saver"
export PATH="$work/bin:$PATH"

cat >"$HOME/.xscreensaver" <<'CONFIG'
mode:        one
selected:    0
timeout:     0:30:00
lock:        False
fade:        False
unfade:      False
splash:      False
dpmsEnabled: False
programs:    stringart-saver -root
CONFIG

start_xvfb 1280x720x24

# On a busy machine xscreensaver can take many seconds to answer. On a slowed, busy machine it
# has also ended at once without a word: it is started again, up to three times. If it never
# starts and never says why, the machine cannot run it and the test is skipped; if it says why,
# that is a fault, and it fails.
up=0 said=0
for start in 1 2 3; do
  xscreensaver -no-splash >"$work/xscreensaver.log" 2>&1 &
  saver_pid=$!
  pids+=("$saver_pid")
  for _ in $(seq 120); do
    xscreensaver-command -version >/dev/null 2>&1 && { up=1; break; }
    kill -0 "$saver_pid" 2>/dev/null || break
    sleep 0.5
  done
  [ "$up" = 1 ] && break
  status=0
  kill -0 "$saver_pid" 2>/dev/null || wait "$saver_pid" || status=$?
  echo "xscreensaver start $start did not answer (exit status $status); its log:" >&2
  cat "$work/xscreensaver.log" >&2
  [ -s "$work/xscreensaver.log" ] && said=1
done
if [ "$up" = 0 ]; then
  kill -0 "${pids[0]}" 2>/dev/null || { cat "$work/xvfb.log" >&2; fail "Xvfb ended"; }
  [ "$said" = 1 ] && fail "xscreensaver did not start"
  echo "SKIP: xscreensaver ended three times at once, saying nothing"
  exit 77
fi
xscreensaver-command -activate >/dev/null || { cat "$work/xscreensaver.log" >&2; fail "xscreensaver did not take -activate"; }

# A figure: many pixels lit, in many colours; xscreensaver's own messages are a few grey words.
lit=0 colours=0
for _ in $(seq 60); do
  sleep 1
  import -window root "$work/screen.png"
  lit=$(convert "$work/screen.png" -colorspace Gray -threshold 5% -format '%[fx:mean]' info:)
  colours=$(convert "$work/screen.png" -format '%k' info:)
  awk -v l="$lit" -v c="$colours" 'BEGIN { exit !(l > 0.03 && c > 500) }' && break
done
pgrep -u "$(id -u)" -x stringart-saver >/dev/null || { cat "$work/xscreensaver.log" >&2; fail "xscreensaver runs no stringart-saver"; }
awk -v l="$lit" -v c="$colours" 'BEGIN { exit !(l > 0.03 && c > 500) }' ||
  { cat "$work/xscreensaver.log" >&2; fail "no figure on the screen: lit $lit, $colours colours"; }
[ -n "${SAVER_TEST_SHOT:-}" ] && cp "$work/screen.png" "$SAVER_TEST_SHOT"
echo "ok: xscreensaver shows a figure of stringart-saver -root: $lit of the screen lit, $colours colours"

xscreensaver-command -deactivate >/dev/null
# On a slowed machine the saver has taken up to 1.4 s to end after deactivating, and up to 4.9 s
# in the sanitizers' build: this asks that it ends, not how fast.
for _ in $(seq 150); do
  pgrep -u "$(id -u)" -x stringart-saver >/dev/null || break
  sleep 0.1
done
pgrep -u "$(id -u)" -x stringart-saver >/dev/null && fail "stringart-saver still runs 15 s after deactivating"
echo "ok: deactivating ended stringart-saver"
