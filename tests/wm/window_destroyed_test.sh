#!/usr/bin/env bash
# A calculator window destroyed from outside (another X client calling
# XDestroyWindow, as `xdotool windowclose` does) ends the program as its close
# box does, saving the settings, in either layout (openbox in a virtual display).
#   window_destroyed_test.sh TPV120      (needs Xvfb, openbox, xdotool, wmctrl)
set -uo pipefail
program=$(readlink -f "$1")
source "$(dirname "$0")/x_session.sh"
export QT_QPA_PLATFORM=xcb
# Under the sanitizers: leaks inside the system libraries of the real
# platform plugin (a D-Bus buffer when the window goes from outside) are not
# the program's.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}print_suppressions=0:suppressions=$(dirname "$(readlink -f "$0")")/third_party_leaks.supp"
failures=0
fail() { echo "FAILED: $1"; failures=$((failures + 1)); }

# layout | State saved before the start
for row in "compact|True" "large|False"; do
  IFS='|' read -r layout state <<<"$row"
  export XDG_CONFIG_HOME=$work/$layout
  mkdir -p "$XDG_CONFIG_HOME/tempiva"
  printf '[Ini]\nState=%s\nBPM=97\n' "$state" >"$XDG_CONFIG_HOME/tempiva/TPVINI.ini"
  "$program" >"$work/$layout.log" 2>&1 &
  calculator=$!
  pids+=($calculator)
  main=$(timeout 20 xdotool search --sync --onlyvisible --pid "$calculator" --name "^Tempiva 1" |
    head -1)
  [ -n "$main" ] || { fail "$layout: the window did not appear"; continue; }
  xdotool windowclose "$main"
  if ! wait_for 5 bash -c '! kill -0 "$1" 2>/dev/null' _ "$calculator"; then
    fail "$layout: still running 5 s after its window was destroyed"
    continue
  fi
  wait "$calculator"
  status=$?
  [ "$status" = 0 ] || { fail "$layout: exit status $status"; cat "$work/$layout.log"; }
  saved=$(cat "$XDG_CONFIG_HOME/tempiva/TPVINI.ini")
  before=$failures
  # Seeded: State and BPM; written only by the save: Slider, Left and Top.
  for line in "State=$state" "BPM=97" "Slider=" "Left=" "Top="; do
    grep -q "^$line" <<<"$saved" || fail "$layout: '$line' not saved"
  done
  if [ "$failures" -gt "$before" ]; then
    echo "$saved"
    cat "$work/$layout.log"
  else
    echo "ok: $layout ends and saves when its window is destroyed"
  fi
done
[ "$failures" -eq 0 ] || exit 1
