# Sourced by the tests that need a real X display with a window manager: a
# work folder, a virtual display of our own on a free number and openbox on
# it, all stopped and removed on exit, pass or fail. A test that must undo
# something first defines before_cleanup.
work=$(mktemp -d)
pids=()
unset DISPLAY
cleanup() {  # the test's own processes, the window manager, then the display
  if declare -F before_cleanup >/dev/null; then before_cleanup; fi
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

wait_for() {  # wait_for SECONDS COMMAND...: polls until the command succeeds
  local until=$((SECONDS + $1))
  while ! "${@:2}"; do
    [ $SECONDS -ge "$until" ] && return 1
    sleep 0.1
  done
}

# The window manager takes the machine's own themes and settings and is ready
# before the first window maps.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
wait_for 20 test -s "$work/display" || { echo "FAILED: Xvfb did not start"; exit 1; }
export DISPLAY=:$(head -1 "$work/display")
openbox >/dev/null 2>&1 &
pids+=($!)
wait_for 20 wmctrl -m >/dev/null 2>&1 || { echo "FAILED: openbox did not start"; exit 1; }
