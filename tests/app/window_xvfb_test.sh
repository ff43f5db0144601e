#!/usr/bin/env bash
# The program in a real X window on a virtual screen: it refuses to start without a display or
# with one where no X server answers, opens "Form1" with a figure on the canvas, "new" changes the
# figure, Alt+Left and Alt+Right go back and forth showing each figure's exact pixels again,
# Ctrl+N traces a new figure, Shift+F10 opens the menu on the canvas, closing the window ends the
# program with status 0, also when the close request comes while figures are being traced, and
# closing while an export is written asks first: Cancel lets the export finish, stopping leaves no
# file, and SIGTERM or SIGHUP during an export leave none either; and windows started together on
# an X server that resets when its last client leaves each open; the window opens where it was
# last closed, and a journal that cannot be read is told over it; the file formats' libraries
# are loaded with the first export.
#   window_xvfb_test.sh STRINGART CLOSE_WINDOW
# Needs xvfb (xvfb-run), xdotool, imagemagick and x11-utils; exits 77 (skipped) when xvfb-run is missing.
set -euo pipefail

stringart=$1
close_window=$2
# The figures it shows are kept in a journal of the test's own, not the user's.
if [ -z "${WINDOW_TEST_DATA:-}" ]; then
  export WINDOW_TEST_DATA=$(mktemp -d)
  trap 'rm -rf "$WINDOW_TEST_DATA"' EXIT
fi
export XDG_DATA_HOME=$WINDOW_TEST_DATA

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

if [ -z "${WINDOW_TEST_INSIDE:-}" ]; then
  command -v xvfb-run >/dev/null || { echo "SKIP: xvfb-run is not installed (apt xvfb)"; exit 77; }
  for tool in xdotool import convert xprop; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (apt xdotool imagemagick x11-utils)"
  done

  # Without any display the program says so in one line and points to the renderer.
  set +e
  message=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$stringart" 2>&1 >/dev/null)
  status=$?
  set -e
  [ "$status" -ne 0 ] || fail "started without a display and exited 0"
  [ "$(printf '%s\n' "$message" | wc -l)" -eq 1 ] || fail "expected one line without a display, got: $message"
  [[ $message == *stringart-render* ]] || fail "the no-display message does not name stringart-render: $message"
  echo "ok: no display -> status $status: $message"

  # A display where no X server listens: one line naming it, status 1, no abort.
  n=99
  while [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ]; do n=$((n + 1)); done
  set +e
  message=$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:$n "$stringart" 2>&1 >/dev/null)
  status=$?
  set -e
  [ "$status" -eq 1 ] || fail "DISPLAY=:$n with no X server: status $status, expected 1: $message"
  [ "$(printf '%s\n' "$message" | wc -l)" -eq 1 ] || fail "expected one line for DISPLAY=:$n, got: $message"
  [[ $message == *":$n"* && $message == *stringart-render* ]] ||
    fail "the line for DISPLAY=:$n names neither the display nor stringart-render: $message"
  echo "ok: DISPLAY=:$n with no X server -> status 1: $message"

  # Only a Wayland name that nobody serves, no X: one line, status 1, no abort.
  runtime=$(mktemp -d)
  for wayland in wayland-nobody "$runtime/wayland-gone"; do
    set +e
    message=$(env -u DISPLAY -u QT_QPA_PLATFORM WAYLAND_DISPLAY="$wayland" XDG_RUNTIME_DIR="$runtime" \
      XDG_SESSION_TYPE=wayland "$stringart" 2>&1 >/dev/null)
    status=$?
    set -e
    [ "$status" -eq 1 ] || fail "WAYLAND_DISPLAY=$wayland with no compositor: status $status, expected 1: $message"
    [ "$(printf '%s\n' "$message" | wc -l)" -eq 1 ] || fail "expected one line for WAYLAND_DISPLAY=$wayland, got: $message"
    [[ $message == *wayland-* && $message == *stringart-render* ]] ||
      fail "the line for WAYLAND_DISPLAY=$wayland names neither the socket nor stringart-render: $message"
    echo "ok: WAYLAND_DISPLAY=$wayland with no compositor -> status 1: $message"
  done
  rmdir "$runtime"

  # An X server that resets when its last client leaves (Xvfb without -noreset), and windows
  # started four at a time, three times: each opens and shows its figure (STRINGART_TIMING ends
  # it then, saying how long after its launch), none finds the server gone from under it.
  if command -v Xvfb >/dev/null; then
    # The first free display, taken by Xvfb itself: a test starting beside this one never
    # reaches for the same.
    shown=$(mktemp)
    Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$shown" >/dev/null 2>&1 &
    server=$!
    for _ in $(seq 100); do [ -s "$shown" ] && break; sleep 0.1; done
    m=$(head -1 "$shown")
    rm -f "$shown"
    failed=0
    for round in 1 2 3; do
      pids=()
      for window in 1 2 3 4; do
        env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:$m STRINGART_TIMING=1 \
          STRINGART_LAUNCHED_AT_NS="$(date +%s%N)" \
          "$stringart" >/dev/null 2>"$WINDOW_TEST_DATA/reset-$round-$window.log" &
        pids+=($!)
      done
      for pid in "${pids[@]}"; do wait "$pid" || failed=$((failed + 1)); done
    done
    kill "$server"
    wait "$server" 2>/dev/null || true
    [ "$failed" -eq 0 ] ||
      fail "$failed of 12 windows failed on an X server that resets: $(cat "$WINDOW_TEST_DATA"/reset-*.log | head -3)"
    untimed=$(grep -L 'first figure on screen [0-9][0-9.]* ms after launch' "$WINDOW_TEST_DATA"/reset-*.log || true)
    [ -z "$untimed" ] || fail "no time since launch in $(cat $untimed | head -3)"
    echo "ok: 12 windows, four at a time, on an X server that resets when its last client leaves"
  fi

  WINDOW_TEST_INSIDE=1 exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$0" "$@"
fi

work=$(mktemp -d)
mkdir -p "$work/home/Pictures"
app=
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Mean brightness (0 to 1) of the canvas, at 56,64 and 500 x 500 in the window; the checksum of its
# pixels goes to $work/$1.sum.
shoot_canvas() {
  import -window "$wid" "$work/$1.png"
  convert "$work/$1.png" -crop 500x500+56+64 +repage "$work/$1-canvas.png"
  convert "$work/$1-canvas.png" rgb:- | md5sum >"$work/$1.sum"
  convert "$work/$1-canvas.png" -format '%[fx:mean]' info:
}

lit() { awk -v m="$1" 'BEGIN { exit !(m > 0.01) }'; }

# Starts the program and waits for its window: sets $app and $wid. Any environment given first.
launch() {
  [ $# -gt 0 ] || set -- QT_QPA_PLATFORM=xcb
  env "$@" HOME="$work/home" "$stringart" 2>"$work/stderr" &
  app=$!
  wid=$(timeout 20 xdotool search --sync --onlyvisible --name '^Form1$' | head -1) ||
    fail "no window titled Form1 appeared"
  [ -n "$wid" ] || fail "no window titled Form1 appeared"
}

# Asks the window to close as its close button does, and expects the program to end with status
# 0: in the sanitizer build that also means no memory error and no leak.
close_and_expect_clean_end() {
  "$close_window" "$wid" || fail "could not ask the window to close"
  expect_clean_end "$1"
}

# Waits for the program to end with status 0.
expect_clean_end() {
  for _ in $(seq 120); do
    kill -0 "$app" 2>/dev/null || break
    sleep 0.25
  done
  kill -0 "$app" 2>/dev/null && fail "the program still runs 30 s after its window was closed ($1)"
  set +e
  wait "$app"
  local status=$?
  set -e
  app=
  [ "$status" -eq 0 ] || { cat "$work/stderr" >&2; fail "the program ended with status $status ($1)"; }
}

# The button "new" lies at 576,544 in the window, 57 x 17.
click_new() { xdotool mousemove --window "$wid" 604 552 click "$@" 1; }

launch
geometry=$(xdotool getwindowgeometry "$wid" | grep -o '[0-9]*x[0-9]*$')
[ "$geometry" = 653x584 ] || fail "window is $geometry, expected 653x584"
# The program's icon, and the class by which an X11 desktop links the window to stringart.desktop.
# The icon follows the first figure onto the screen.
for _ in $(seq 40); do
  icon=$(xprop -id "$wid" _NET_WM_ICON)
  [[ $icon == "_NET_WM_ICON(CARDINAL) = "*"Icon (32 x 32)"* ]] && break
  sleep 0.25
done
[[ $icon == "_NET_WM_ICON(CARDINAL) = "*"Icon (32 x 32)"* ]] ||
  fail "the window has no icon: ${icon:0:100}"
class=$(xprop -id "$wid" WM_CLASS)
[ "$class" = 'WM_CLASS(STRING) = "stringart", "stringart"' ] || fail "the window's class: $class"
echo "ok: the window has its icon and the class stringart"

# The first figure is traced right after the window shows; give the screen time to catch up.
# Sets $mean.
wait_for_first_figure() {
  for _ in $(seq 40); do
    mean=$(shoot_canvas first)
    lit "$mean" && break
    sleep 0.25
  done
  lit "$mean" || fail "the canvas stays black (mean $mean)"
}

wait_for_first_figure
echo "ok: window Form1 $geometry, canvas lit (mean $mean)"

click_new
for _ in $(seq 40); do
  sleep 0.25
  mean=$(shoot_canvas second)
  cmp -s "$work/first.sum" "$work/second.sum" || break
done
cmp -s "$work/first.sum" "$work/second.sum" && fail "clicking new did not change the canvas"
lit "$mean" || fail "the canvas is black after new (mean $mean)"
echo "ok: new changed the canvas (mean $mean)"

# Waits until the canvas shows the pixels shot as $1 (sets $work/now.sum); fails naming $2.
expect_canvas() {
  for _ in $(seq 40); do
    shoot_canvas now >/dev/null
    cmp -s "$work/$1.sum" "$work/now.sum" && return 0
    sleep 0.25
  done
  fail "$2 does not show the pixels of the $1 figure"
}

# Waits until the canvas differs from every shot named; saves it as $1.
expect_new_canvas() {
  local name=$1
  shift
  for _ in $(seq 40); do
    sleep 0.25
    shoot_canvas "$name" >/dev/null
    local same=0
    for other in "$@"; do cmp -s "$work/$other.sum" "$work/$name.sum" && same=1; done
    [ "$same" -eq 0 ] && return 0
  done
  fail "the canvas did not change to a new figure ($name)"
}

click_new
expect_new_canvas third first second
echo "ok: a second press of new traced a third figure"

# Keys go to the focused window; there is no window manager to give it the focus.
xdotool windowfocus "$wid"
xdotool key alt+Left
expect_canvas second "Alt+Left"
xdotool key alt+Left
expect_canvas first "Alt+Left twice"
echo "ok: Alt+Left showed the second, then the first figure's exact pixels again"
xdotool key alt+Right
expect_canvas second "Alt+Right"
xdotool key ctrl+n
expect_new_canvas fourth first second third
echo "ok: Alt+Right went forward; Ctrl+N traced a new figure"

# Shift+F10 opens the menu over the canvas: the screen changes there and only there.
origin=$(xwininfo -id "$wid" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { print x "," $NF }')
import -window root "$work/before-menu.png"
xdotool key shift+F10
sleep 1
import -window root "$work/menu.png"
changed=$(compare -metric AE "$work/before-menu.png" "$work/menu.png" -compose src -fuzz 1% \
  -highlight-color white -lowlight-color black "$work/diff.png" 2>&1 || true)
[ "${changed%% *}" -gt 1000 ] 2>/dev/null || fail "Shift+F10 opened no menu ($changed pixels changed)"
bounds=$(convert "$work/diff.png" -trim -format '%X,%Y' info: | tr -d '+')
read -r mx my <<<"${bounds/,/ }"
read -r ox oy <<<"${origin/,/ }"
((mx >= ox + 56 && mx < ox + 556 && my >= oy + 64 && my < oy + 564)) ||
  fail "Shift+F10 opened the menu at $mx,$my, off the canvas at $((ox + 56)),$((oy + 64))"
xdotool key Escape
echo "ok: Shift+F10 opened the menu at $mx,$my on the canvas"

close_and_expect_clean_end "an idle window"
echo "ok: closing the window ended the program with status 0"

# Starts saving a large picture from the keyboard: the dialog's proposal, 16384 x 16384 pixels
# (seconds of work) when `$1` is big, 8000 x 8000 otherwise, and Return.
start_export() {
  xdotool windowfocus "$wid"
  xdotool key ctrl+shift+s
  dialog=$(timeout 20 xdotool search --sync --onlyvisible --name '^Save large picture$' | head -1) ||
    fail "Ctrl+Shift+S opened no dialog"
  xdotool windowfocus "$dialog"
  xdotool key Down Down Down
  [ "$1" = big ] && xdotool key Down
  sleep 0.5
  xdotool key Return
  sleep 1
}

# Answers the question that closing during an export asks with the keys `$1`.
answer_close_question() {
  question=$(timeout 20 xdotool search --sync --onlyvisible --name '^Quit$' | head -1) ||
    fail "closing during an export asked nothing"
  xdotool windowfocus "$question"
  xdotool key "$1"
  for _ in $(seq 40); do
    xdotool search --onlyvisible --name '^Quit$' >/dev/null || return 0
    sleep 0.25
  done
  fail "the question stayed open after $1"
}

launch
wait_for_first_figure
# The file formats' libraries are loaded with the first export, not before.
! grep -q libavcodec "/proc/$app/maps" || fail "FFmpeg's libraries were loaded before any export"
start_export big
grep -q libavcodec "/proc/$app/maps" || fail "the export began without the file formats' module"
"$close_window" "$wid"
answer_close_question Escape
sleep 1
kill -0 "$app" 2>/dev/null || fail "Cancel did not keep the window"
for _ in $(seq 240); do
  ls "$work"/home/Pictures/figure-*-16384x16384.png >/dev/null 2>&1 && break
  sleep 0.5
done
ls "$work"/home/Pictures/figure-*-16384x16384.png >/dev/null 2>&1 || fail "the export kept did not finish"
# At once: the file is in place while the export's thread still gives its memory back, and
# closing then asks nothing.
close_and_expect_clean_end "after an export"
echo "ok: closing during an export asked; Cancel kept the window and the export finished"

launch
wait_for_first_figure
start_export big
xdotool windowfocus "$wid"
xdotool key ctrl+q
answer_close_question alt+s
expect_clean_end "stopped during an export"
[ "$(ls -A "$work/home/Pictures" | grep -c 16384x16384)" -eq 1 ] || fail "a stopped export left $(ls "$work/home/Pictures")"
echo "ok: Ctrl+Q during an export asked; stopping ended the program with status 0 and no file"

# The visible windows titled as `$1` (a pattern), one id a line, or nothing. A window that goes
# while xdotool walks the tree makes it fail with an X error; that is no window found, and a
# caller that waits asks again.
visible_named() {
  xdotool search --onlyvisible --name "$1" 2>/dev/null || true
}

# Starts saving a large picture of 16384 x 16384 pixels from the keyboard into the file $1, and
# answers that the file there is to be replaced.
start_export_into() {
  xdotool windowfocus "$wid"
  xdotool key ctrl+shift+s
  dialog=$(timeout 20 xdotool search --sync --onlyvisible --name '^Save large picture$' | head -1) ||
    fail "Ctrl+Shift+S opened no dialog"
  xdotool windowfocus "$dialog"
  xdotool key Down Down Down Down alt+n ctrl+a
  xdotool type --delay 2 "$1"
  xdotool key Return
  question=
  for _ in $(seq 80); do
    question=$(visible_named '^Save large picture$' | grep -vx "$dialog" | head -1 || true)
    [ -n "$question" ] && break
    sleep 0.25
  done
  [ -n "$question" ] || fail "saving over $1 asked nothing"
  xdotool windowfocus "$question"
  xdotool key alt+y
}

# SIGTERM and SIGHUP while an export writes end the window as they end the renderer: its
# temporary file gone, the older file of that name untouched, status 143 and 129.
for signal in TERM HUP; do
  target="$work/home/Pictures/target-$signal.png"
  printf older >"$target"
  launch
  wait_for_first_figure
  start_export_into "$target"
  # The file formats' module comes with the export's start: the work has begun. (Its progress
  # dialog shows too, but on a busy machine xdotool's search for it came back empty for 20 s.)
  for _ in $(seq 160); do
    grep -q libavcodec "/proc/$app/maps" && break
    sleep 0.25
  done
  grep -q libavcodec "/proc/$app/maps" || fail "the export into $target never began"
  sleep 1
  kill -"$signal" "$app"
  set +e
  wait "$app"
  status=$?
  set -e
  app=
  expected=143
  [ "$signal" = HUP ] && expected=129
  [ "$status" -eq "$expected" ] || fail "SIG$signal during an export: status $status, not $expected"
  temps="$(dirname "$target")/.stringart-*.tmp"
  ! compgen -G "$temps" >/dev/null || fail "SIG$signal left $(compgen -G "$temps")"
  [ "$(cat "$target")" = older ] || fail "SIG$signal during an export changed $target"
  echo "ok: SIG$signal while an export wrote: status $status, no temporary, the older file as it was"
done

# Five clicks with no pause queue five figures behind the one being traced, so the close request
# sent straight after them arrives while the program traces; it waits for the figures and still
# ends the program cleanly.
launch
wait_for_first_figure  # the window is up and takes clicks
click_new --repeat 5 --delay 0
close_and_expect_clean_end "closed while tracing"
echo "ok: a close request sent while figures were traced ended the program with status 0"

# A Wayland name nobody serves beside a working X display, in a Wayland session: the window
# opens on X, without a word from Qt about plugins.
launch -u QT_QPA_PLATFORM WAYLAND_DISPLAY=wayland-nobody XDG_RUNTIME_DIR="$work" XDG_SESSION_TYPE=wayland
close_and_expect_clean_end "Wayland named but not served"
[ ! -s "$work/stderr" ] || fail "the program said something on starting: $(cat "$work/stderr")"
echo "ok: with a dead WAYLAND_DISPLAY beside X, the window opened on X without a warning"

# The window opens where it was last closed, and a journal that cannot be read is told in a
# message over the window, not in a corner of the screen.
mkdir -p "$work/home/.config/stringart" "$work/damaged/stringart"
printf '[window]\nplace=@Point(300 150)\n' >"$work/home/.config/stringart/stringart.conf"
printf 'not a journal' >"$work/damaged/stringart/figures.sqlite"
launch QT_QPA_PLATFORM=xcb XDG_DATA_HOME="$work/damaged"
box=$(timeout 20 xdotool search --sync --onlyvisible --name '^Keeping figures$' | head -1) ||
  fail "the journal set aside was not told"
read -r wx wy ww wh < <(xdotool getwindowgeometry --shell "$wid" | awk -F= '{ v[$1] = $2 } END { print v["X"], v["Y"], v["WIDTH"], v["HEIGHT"] }')
read -r bx by bw bh < <(xdotool getwindowgeometry --shell "$box" | awk -F= '{ v[$1] = $2 } END { print v["X"], v["Y"], v["WIDTH"], v["HEIGHT"] }')
[ "$wx,$wy" = 300,150 ] || fail "the window opened at $wx,$wy, not where it was last (300,150)"
cx=$((bx + bw / 2)) cy=$((by + bh / 2))
[ "$cx" -gt "$wx" ] && [ "$cx" -lt $((wx + ww)) ] && [ "$cy" -gt "$wy" ] && [ "$cy" -lt $((wy + wh)) ] ||
  fail "the journal's message is centred at $cx,$cy, off the window at $wx,$wy ${ww}x$wh"
xdotool windowfocus "$box"
xdotool key Return
close_and_expect_clean_end "a journal set aside"
echo "ok: the window opened where it was last, the journal's message over it"
