#!/usr/bin/env bash
# The About box's close path on a real X display with a window manager: each
# way of closing it (keys, keys sent straight to its window as a test tool or
# a remote control does, its close box, its Close button, a key held down
# from before it opened) closes it or leaves it open as it should, and Help
# and About open again afterwards. Help runs a fake xdg-mime and xdg-open
# from PATH, which also shows that Help finds its page in the build tree.
#   about_close_x11_test.sh TPV120      (needs Xvfb, openbox, xdotool, wmctrl)
set -uo pipefail
program=$(readlink -f "$1")
before_cleanup() {  # no key stays held down on the display
  [ -n "${DISPLAY:-}" ] && xdotool keyup Escape Return KP_Enter 2>/dev/null
}
source "$(dirname "$0")/../wm/x_session.sh"

# A private desktop for the calculator: settings, applications, xdg tools.
mkdir -p "$work/config" "$work/data/applications" "$work/system" "$work/bin"
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_DATA_DIRS=$work/system
export PATH=$work/bin:$PATH QT_QPA_PLATFORM=xcb
printf '[Desktop Entry]\nType=Application\nName=Browser\nExec=true %%u\n' \
  >"$work/data/applications/test-browser.desktop"
printf '#!/bin/sh\necho test-browser.desktop\n' >"$work/bin/xdg-mime"
printf '#!/bin/sh\nprintf "%%s\\n" "$1" >>"%s"\n' "$work/opened" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-mime" "$work/bin/xdg-open"
touch "$work/opened"

"$program" >"$work/tpv120.log" 2>&1 &
pids+=($!)
main=$(timeout 20 xdotool search --sync --onlyvisible --pid "${pids[2]}" --name "^Tempiva") || {
  echo "FAILED: the calculator's window did not appear"
  cat "$work/tpv120.log"
  exit 1
}
main=$(head -1 <<<"$main")

# The compact window's About and Help buttons, in pixels from the layout
# table's twips (15 twips a pixel): centres of Command4 and Command3.
about_button=(27 215)
help_button=(79 215)
close_button=(37 144)  # cmdOK in the About box

box() { xdotool search --onlyvisible --name '^About Tempiva$' 2>/dev/null | head -1; }
box_open() { [ -n "$(box)" ]; }
box_closed() { [ -z "$(box)" ]; }
opened_count() { wc -l <"$work/opened"; }
click_main() {
  xdotool windowactivate --sync "$main" 2>/dev/null
  xdotool mousemove --window "$main" "$1" "$2" click 1
}

failures=0
fail() { echo "FAILED: $1"; failures=$((failures + 1)); }

# name | how it is closed
rows=(
  "Escape key|key Escape"
  "Enter key|key Return"
  "keypad Enter|key KP_Enter"
  "Escape sent to its window|window-key Escape"
  "Enter sent to its window|window-key Return"
  "close box|close-box"
  "Close button|button"
  "Escape held down from before it opened|held Escape"
  "Enter held down from before it opened|held Return"
)
for row in "${rows[@]}"; do
  name=${row%%|*}
  read -r how key <<<"${row#*|}"
  failures_before=$failures
  if [ "$how" = held ]; then
    xdotool windowactivate --sync "$main" 2>/dev/null
    xdotool keydown "$key"  # the display repeats it into whatever has the focus
    sleep 0.8
  fi
  click_main "${about_button[@]}"
  if ! wait_for 5 box_open; then
    fail "$name: About did not open"
    xdotool keyup "$key" 2>/dev/null
    continue
  fi
  wid=$(box)
  case $how in
    key)
      xdotool windowactivate --sync "$wid" 2>/dev/null
      xdotool key "$key"
      ;;
    window-key) xdotool key --window "$wid" "$key" 2>/dev/null ;;
    close-box) wmctrl -i -c "$wid" ;;
    button) xdotool mousemove --window "$wid" "${close_button[@]}" click 1 ;;
    held)
      # Still open after the key has repeated into it for a while ...
      sleep 1.5
      box_open || fail "$name: the repeats of the held key closed the box"
      # ... and a fresh press once it is let go closes it.
      xdotool keyup "$key"
      xdotool windowactivate --sync "$wid" 2>/dev/null
      xdotool key "$key"
      ;;
  esac
  wait_for 5 box_closed || fail "$name: the box did not close"
  before=$(opened_count)
  click_main "${help_button[@]}"
  if wait_for 5 test "$(opened_count)" -gt "$before"; then
    page=$(tail -1 "$work/opened")
    [ "$page" = "$(dirname "$program")/index.html" ] || fail "$name: Help opened '$page'"
  else
    fail "$name: Help did not open afterwards"
  fi
  # About opens again and stays open, even when the tool that sent the key
  # lost the window between press and release and left the key down.
  click_main "${about_button[@]}"
  if wait_for 5 box_open && sleep 1 && box_open; then
    xdotool mousemove --window "$(box)" "${close_button[@]}" click 1
    wait_for 5 box_closed || fail "$name: the reopened box did not close"
  else
    fail "$name: About did not open again, or closed at once"
  fi
  xdotool keyup Escape Return KP_Enter 2>/dev/null
  [ "$failures" -eq "$failures_before" ] && echo "ok: $name"
done

kill -0 "${pids[2]}" 2>/dev/null || fail "the calculator ended"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all ${#rows[@]} ways of closing the About box passed"
