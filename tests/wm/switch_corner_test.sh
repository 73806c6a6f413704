#!/usr/bin/env bash
# Layout switches under a real window manager, which is what decides the
# frames: every switch must show the other window with its outer corner where
# the window being left had its outer corner, however the window manager
# moved it in between, and the place stored at the end is that outer corner.
#
#   tests/wm/switch_corner_test.sh build/app/tpv120
#
# It starts its own virtual display (xvfb-run) with openbox, and the
# calculator with a private settings directory. Every wait is bounded.
set -euo pipefail

program=${1:?usage: $0 path/to/tpv120}
program=$(readlink -f "$program")

if [ -z "${TEMPIVA_WM_TEST_INSIDE:-}" ]; then
  missing=()
  for tool in xvfb-run xauth openbox wmctrl xdotool xprop xwininfo; do
    command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "FAIL: missing ${missing[*]} (Debian packages xvfb xauth openbox wmctrl xdotool x11-utils)" >&2
    exit 1
  fi
  TEMPIVA_WM_TEST_INSIDE=1 exec timeout 150 \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$(readlink -f "$0")" "$program"
fi

work=$(mktemp -d)
wm_pid=
app_pid=
cleanup() {
  if [ -n "$app_pid" ]; then kill "$app_pid" 2>/dev/null || true; fi
  if [ -n "$wm_pid" ]; then kill "$wm_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT

export XDG_CONFIG_HOME=$work/config
mkdir -p "$XDG_CONFIG_HOME"

# Client areas in pixels, from the layout tables (5970 x 3435 and 7530 x 4890
# twips), and the centres of the switch buttons inside them: Max at
# (1650, 3090, 345, 285) twips in the compact window, Min at
# (2100, 4440, 525, 375) in the large one.
declare -A client_size=([compact]=398x229 [large]=502x326)
declare -A switch_button=([compact]="121 215" [large]="157 308")
declare -A other=([compact]=large [large]=compact)

# Polls `$@` every 0.1 s for at most $1 seconds; true once it succeeds,
# passing on what the successful call printed.
within() {
  local seconds=$1 tries
  shift
  for ((tries = seconds * 10; tries > 0; tries--)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

wm_ready() { wmctrl -m >/dev/null 2>&1; }

# The one visible calculator window with the layout's client size.
window_of() {
  local wid
  for wid in $(xdotool search --onlyvisible --name '^Tempiva 1\.20$' 2>/dev/null); do
    if [ "$(xwininfo -id "$wid" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')" \
      = "${client_size[$1]}" ]; then
      echo "$wid"
      return 0
    fi
  done
  return 1
}

# Outer corner "x,y": the client's corner on the screen less the frame's
# left and top extents. (xwininfo gives the client's absolute corner;
# `xdotool getwindowgeometry` adds the client's offset inside the frame once
# more, so it is not used for the corner.)
outer_corner() {
  local wid=$1 x y extents left top
  x=$(xwininfo -id "$wid" | awk '/Absolute upper-left X:/ {print $4}')
  y=$(xwininfo -id "$wid" | awk '/Absolute upper-left Y:/ {print $4}')
  extents=$(xprop -id "$wid" _NET_FRAME_EXTENTS | sed -n 's/.*= *//p')
  [ -n "$extents" ] || return 1
  IFS=', ' read -r left _ top _ <<<"$extents"
  echo "$((x - left)),$((y - top))"
}

# Waits until the window is framed and has not moved for three polls.
settled_corner() {
  local wid=$1 last='' same=0 now tries
  for ((tries = 50; tries > 0; tries--)); do
    now=$(outer_corner "$wid" 2>/dev/null || true)
    if [ -n "$now" ] && [ "$now" = "$last" ]; then
      same=$((same + 1))
      if [ $same -ge 2 ]; then
        echo "$now"
        return 0
      fi
    else
      same=0
    fi
    last=$now
    sleep 0.1
  done
  echo "${last:-unframed}"
  return 1
}

failures=0
report() {  # step, window, corner, expected
  local verdict=ok
  if [ "$3" != "$4" ]; then
    verdict=WRONG
    failures=$((failures + 1))
  fi
  printf '%-28s %-8s outer corner %-10s expected %-10s %s\n' "$1" "$2" "$3" "$4" "$verdict"
}

openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
within 10 wm_ready || {
  echo "FAIL: openbox did not start" >&2
  exit 1
}

QT_QPA_PLATFORM=xcb "$program" >"$work/tpv120.log" 2>&1 &
app_pid=$!

shown=compact
wid=
if ! wid=$(within 20 window_of compact); then
  echo "FAIL: the compact window did not appear" >&2
  cat "$work/tpv120.log" >&2
  exit 1
fi
corner=$(settled_corner "$wid") || true
# A first run places the window's outer corner at the default 1815, 6030 twips.
report "start" compact "$corner" "121,402"

switch() {
  local from=$shown to=${other[$shown]} before after
  before=$(settled_corner "$wid") || true
  read -r bx by <<<"${switch_button[$from]}"
  xdotool mousemove --window "$wid" "$bx" "$by" click 1
  if ! wid=$(within 10 window_of "$to"); then
    echo "FAIL: the $to window did not appear after the switch from $from" >&2
    exit 1
  fi
  shown=$to
  after=$(settled_corner "$wid") || true
  report "switch $from -> $to" "$to" "$after" "$before"
}

wm_move() {
  local x=$1 y=$2 corner
  wmctrl -i -r "$wid" -e "1,$x,$y,-1,-1"
  within 5 test "$(outer_corner "$wid" 2>/dev/null)" = "$x,$y" || true
  corner=$(settled_corner "$wid") || true
  report "window manager move" "$shown" "$corner" "$x,$y"
}

switch
wm_move 520 300
switch
wm_move 200 150
switch
switch

# Closing the window ends the run, which stores where the window stood.
final=$(settled_corner "$wid") || true
wmctrl -i -c "$wid"
if ! within 10 test ! -d "/proc/$app_pid"; then
  echo "FAIL: tpv120 did not end after its window was closed" >&2
  exit 1
fi
wait "$app_pid" || true
app_pid=
ini=$XDG_CONFIG_HOME/tempiva/TPVINI.ini
stored_left=$(sed -n 's/^Left=//p' "$ini" 2>/dev/null || true)
stored_top=$(sed -n 's/^Top=//p' "$ini" 2>/dev/null || true)
IFS=, read -r fx fy <<<"$final"
report "stored Left,Top (twips)" "$shown" "$stored_left,$stored_top" "$((fx * 15)),$((fy * 15))"

if [ $failures -gt 0 ]; then
  echo "FAIL: $failures of the places above are wrong" >&2
  exit 1
fi
echo "PASS"
