#!/usr/bin/env bash
# The windows a calculator window opens stack above it under a real window
# manager (openbox in a virtual display), with Keep Above on: the About box,
# the Tap Tempo window and Help's message box are transient for the window
# they came from and stand above it. A layout switch hands them to the window
# shown; when the calculator windows go, the About box stays on its own and
# keeps the program running until it is closed.
#   transient_test.sh TPV120      (needs Xvfb, openbox, xdotool, wmctrl, xprop)
set -uo pipefail
program=$(readlink -f "$1")
source "$(dirname "$0")/x_session.sh"

# Keep Above on from the start; Help finds no program for web pages, so it
# says so in a message box.
mkdir -p "$work/config/tempiva" "$work/data/applications" "$work/system" "$work/bin"
printf '[Preferences]\nKeepAbove=true\n' >"$work/config/tempiva/preferences.ini"
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_DATA_DIRS=$work/system
export PATH=$work/bin:$PATH QT_QPA_PLATFORM=xcb
printf '#!/bin/sh\nexit 0\n' >"$work/bin/xdg-mime"
printf '#!/bin/sh\nexit 3\n' >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-mime" "$work/bin/xdg-open"

${TPV120_WRAPPER:-} "$program" >"$work/tpv120.log" 2>&1 &
calculator=$!
pids+=($calculator)
main=$(timeout 20 xdotool search --sync --onlyvisible --pid "$calculator" --name "^Tempiva 1") || {
  echo "FAILED: the calculator's window did not appear"
  cat "$work/tpv120.log"
  exit 1
}
main=$(head -1 <<<"$main")

failures=0
fail() { echo "FAILED: $1"; failures=$((failures + 1)); }

# Button centres in the compact and the large window, in pixels.
about_button=(27 215)
help_button=(79 215)
max_button=(121 215)
exit_button=(166 215)
close_button=(37 144)  # cmdOK in the About box

found() { xdotool search --all --onlyvisible --pid "$calculator" --name "$1" 2>/dev/null | head -1; }
appears() {  # appears NAME: the window's id once it is shown, within 5 s
  wait_for 5 test -n "$(found "$1")" && found "$1"
}
click() {
  xdotool windowactivate --sync "$1" 2>/dev/null
  xdotool mousemove --window "$1" "$2" "$3" click 1
}
# The window a window is transient for, as a decimal id (none: empty).
transient_for() {
  local id
  id=$(xprop -id "$1" WM_TRANSIENT_FOR 2>/dev/null | sed -n 's/.*window id # //p')
  [ -n "$id" ] && echo $((id))
}
# Whether $1 stands above $2 in the window manager's stacking order.
stacked_above() {
  local list position=0 low=-1 high=-1 id
  list=$(xprop -root _NET_CLIENT_LIST_STACKING | sed 's/.*# //; s/,//g')
  for id in $list; do
    id=$((id))
    [ "$id" = "$1" ] && high=$position
    [ "$id" = "$2" ] && low=$position
    position=$((position + 1))
  done
  [ "$low" -ge 0 ] && [ "$high" -gt "$low" ]
}
# check NAME WINDOW CALCULATOR: transient for it and above it.
check_above() {
  local parent
  parent=$(transient_for "$2")
  [ "$parent" = "$3" ] || fail "$1 is transient for '${parent}', not the calculator ($3)"
  wait_for 5 stacked_above "$2" "$3" || {
    fail "$1 stands below the calculator"
    xprop -root _NET_CLIENT_LIST_STACKING
  }
}

# The About box, over a window kept above the others.
click "$main" "${about_button[@]}"
about=$(appears '^About Tempiva$')
if [ -n "$about" ]; then
  check_above "About box" "$about" "$main"
  echo "ok: About box"
else
  fail "About did not open"
fi

# Help's message box.
click "$main" "${help_button[@]}"
message=$(appears '^Tempiva$')
if [ -n "$message" ]; then
  check_above "Help's message box" "$message" "$main"
  xdotool windowactivate --sync "$message" 2>/dev/null
  xdotool key --window "$message" Return
  wait_for 5 test -z "$(found '^Tempiva$')" || fail "the message box did not close"
  echo "ok: Help's message box"
else
  fail "Help said nothing"
fi

# The Tap Tempo window, by its shortcut.
xdotool windowactivate --sync "$main" 2>/dev/null
xdotool key --window "$main" ctrl+t
tap=$(appears '^Tap Tempo$')
if [ -n "$tap" ]; then
  check_above "Tap Tempo window" "$tap" "$main"
  echo "ok: Tap Tempo window"
else
  fail "Tap Tempo did not open"
fi

# The large layout takes them over.
click "$main" "${max_button[@]}"
other_window() {
  xdotool search --all --onlyvisible --pid "$calculator" --name '^Tempiva 1' 2>/dev/null |
    grep -vx "$main" | head -1
}
large=$(wait_for 5 test -n "$(other_window)" && other_window)
if [ -n "$large" ] && [ "$large" != "$main" ] && [ -n "$about" ]; then
  check_above "About box after the switch" "$about" "$large"
  [ -n "$tap" ] && check_above "Tap Tempo window after the switch" "$tap" "$large"
  # Back to the compact window, then exit from it: the About box stays.
  click "$large" 157 308
  wait_for 5 test -n "$(xdotool search --onlyvisible --name '^Tempiva 1' 2>/dev/null |
    grep -x "$main")" || fail "the compact window did not come back"
  check_above "About box after switching back" "$about" "$main"
  echo "ok: layout switch"
else
  fail "the large window did not open"
fi

if [ -n "$about" ]; then
  click "$main" "${exit_button[@]}"
  wait_for 5 test -z "$(found '^Tempiva 1')" || fail "the calculator window did not close"
  sleep 0.5
  kill -0 "$calculator" 2>/dev/null || fail "the program ended with the About box open"
  [ -n "$(found '^About Tempiva$')" ] || fail "the About box went with its calculator window"
  parent=$(transient_for "$about")
  [ "$parent" != "$main" ] || fail "the About box is still transient for the closed window"
  click "$about" "${close_button[@]}"
  wait_for 5 bash -c "! kill -0 $calculator 2>/dev/null" ||
    fail "the program did not end when the About box closed"
  echo "ok: the About box outlives its calculator window"
fi

[ "$failures" -eq 0 ] || {
  echo "$failures check(s) failed"
  cat "$work/tpv120.log"
  exit 1
}
echo "every window opened above its calculator window"
