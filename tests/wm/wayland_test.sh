#!/usr/bin/env bash
# tpv120 on a Wayland desktop: weston's headless backend, in one of three
# cases, each with its own compositor, runtime folder and settings.
#
#   tests/wm/wayland_test.sh mixed    build/app/tpv120
#       weston with XWayland, as on nearly every Wayland desktop: with no
#       platform chosen the calculator opens on X11 and stores its saved
#       place again on exit, with its tempo and layout.
#   tests/wm/wayland_test.sh wayland  build/app/tpv120
#       weston alone, the platform left to the program and then asked for
#       (QT_QPA_PLATFORM=wayland): the calculator opens natively on Wayland,
#       and its exit leaves Left and Top as they were and keeps the tempo,
#       the layout and the preferences.
#   tests/wm/wayland_test.sh noplugin build/app/tpv120
#       weston alone and a Qt without its Wayland plugin: the calculator ends
#       at once, passes on Qt's diagnostic and names the missing package.
#
# Every wait is bounded, and the compositor (with its XWayland) is stopped
# whatever the outcome.
set -euo pipefail

case_name=${1:?usage: $0 mixed|wayland|noplugin path/to/tpv120}
program=$(readlink -f "${2:?usage: $0 mixed|wayland|noplugin path/to/tpv120}")

missing=()
for tool in weston timeout; do
  command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
done
if [ "$case_name" = mixed ]; then
  for tool in Xwayland xdotool xwininfo; do
    command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
  done
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "FAIL: missing ${missing[*]} (Debian packages weston xwayland xdotool x11-utils)" >&2
  exit 1
fi

# Under the sanitizers: leaks inside the system libraries of the real
# platform plugins are not the program's.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}print_suppressions=0:suppressions=$(dirname "$(readlink -f "$0")")/third_party_leaks.supp"

work=$(mktemp -d)
weston_pid=
app_pid=
stop() {  # stop PID: terminate, and kill what is still there after 5 s
  kill "$1" 2>/dev/null || return 0
  for ((tries = 50; tries > 0; tries--)); do
    kill -0 "$1" 2>/dev/null || break
    sleep 0.1
  done
  kill -9 "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}
cleanup() {
  if [ -n "$app_pid" ]; then stop "$app_pid"; fi
  if [ -n "$weston_pid" ]; then stop "$weston_pid"; fi
  rm -rf "$work"
}
trap cleanup EXIT

# Polls `$@` every 0.1 s for at most $1 seconds.
within() {
  local seconds=$1 tries
  shift
  for ((tries = seconds * 10; tries > 0; tries--)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

failures=0
check() {  # check DESCRIPTION COMMAND...
  if "${@:2}"; then
    echo "ok: $1"
  else
    echo "FAILED: $1"
    failures=$((failures + 1))
  fi
}

# The compositor: a private runtime folder and a socket name no other run uses.
runtime=$work/runtime
mkdir -m 700 "$runtime"
socket=tempiva-test-$case_name-$$-$RANDOM
weston_options=(--backend=headless-backend.so --socket="$socket" --idle-time=0)
[ "$case_name" = mixed ] && weston_options+=(--xwayland)
env -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$runtime" \
  timeout 170 weston "${weston_options[@]}" >"$work/weston.log" 2>&1 &
weston_pid=$!
if ! within 15 test -S "$runtime/$socket"; then
  echo "FAIL: weston did not start" >&2
  cat "$work/weston.log" >&2
  exit 1
fi

# The settings a user has from earlier runs: a place, a tempo, the large
# layout and every preference away from its default.
export XDG_CONFIG_HOME=$work/config
mkdir -p "$XDG_CONFIG_HOME/tempiva"
ini=$XDG_CONFIG_HOME/tempiva/TPVINI.ini
preferences=$XDG_CONFIG_HOME/tempiva/preferences.ini
seed() {
  printf '[Ini]\nLeft=3000\nTop=1500\nBPM=97.5\nSlider=98\nState=False\n' >"$ini"
  printf '[Preferences]\nKeepAbove=true\nReferencePitch=432\nMidiNumbering=C-1\n' >"$preferences"
  cp "$preferences" "$work/preferences.before"
}
stored() { sed -n "s/^$1=//p" "$ini" | tr -d '\r'; }

# Starts the calculator with the environment given, for the case's display.
start() {
  env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY XDG_RUNTIME_DIR="$runtime" "$@" \
    timeout 120 "$program" >"$work/tpv120.log" 2>&1 &
  app_pid=$!
}

# Ends it as a session ending does (its settings are saved) and waits for it.
finish() {
  local status=0
  kill -TERM "$app_pid" 2>/dev/null || true
  if ! within 15 bash -c '! kill -0 "$1" 2>/dev/null' _ "$app_pid"; then
    echo "FAILED: tpv120 did not end within 15 s of its terminate request"
    failures=$((failures + 1))
  fi
  wait "$app_pid" || status=$?
  app_pid=
  check "tpv120 ended normally (status $status)" test "$status" = 0
  # What it said, without the protocol log.
  [ "$status" = 0 ] || grep -v '^\[' "$work/tpv120.log" | tail -40
}

# The Wayland protocol log (WAYLAND_DEBUG) holds the calculator's window
# once it has its title and a first frame.
wayland_window_shown() {
  grep -q 'xdg_toplevel@[0-9]*\.set_title("Tempiva 1\.20")' "$work/tpv120.log" &&
    grep -q 'wl_surface@[0-9]*\.attach(wl_buffer@' "$work/tpv120.log"
}
running() { kill -0 "$app_pid" 2>/dev/null; }

kept_on_exit() {  # what a native Wayland run must leave as it was
  check "Left kept (Left=$(stored Left))" test "$(stored Left)" = 3000
  check "Top kept (Top=$(stored Top))" test "$(stored Top)" = 1500
  check "tempo kept" test "$(stored BPM)" = 97.5
  check "slider kept" test "$(stored Slider)" = 98
  check "large layout kept" test "$(stored State)" = False
  check "preferences kept" cmp -s "$preferences" "$work/preferences.before"
}

case $case_name in
  mixed)
    if ! within 10 grep -q 'xserver listening on display' "$work/weston.log"; then
      echo "FAIL: weston started no XWayland display" >&2
      cat "$work/weston.log" >&2
      exit 1
    fi
    display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log")
    seed
    # A Wayland session as desktops announce it, with XWayland's display.
    start WAYLAND_DISPLAY="$socket" DISPLAY="$display" XDG_SESSION_TYPE=wayland \
      XDG_CURRENT_DESKTOP=KDE WAYLAND_DEBUG=client
    x_window() { DISPLAY=$display xdotool search --onlyvisible --name '^Tempiva 1\.20$' 2>/dev/null; }
    # Weston's X window manager frames the window at a place of its own
    # choosing, so the X coordinates are not compared; what the program
    # stores is.
    if within 30 x_window >/dev/null; then
      echo "ok: the window opened on X11 (XWayland $display)"
    else
      check "the window opened on X11 (XWayland $display)" false
      wayland_window_shown && echo "  it opened natively on Wayland instead"
    fi
    check "no Wayland window of its own" bash -c '! grep -q "xdg_toplevel" "$1"' _ "$work/tpv120.log"
    if running; then finish; fi
    check "Left and Top stored again as saved ($(stored Left),$(stored Top))" \
      test "$(stored Left),$(stored Top)" = 3000,1500
    check "tempo kept" test "$(stored BPM)" = 97.5
    check "large layout kept" test "$(stored State)" = False
    ;;
  wayland)
    for platform in "" wayland; do
      seed
      if [ -z "$platform" ]; then
        echo "-- no platform chosen, no X display"
        start WAYLAND_DISPLAY="$socket" WAYLAND_DEBUG=client
      else
        echo "-- QT_QPA_PLATFORM=$platform"
        start WAYLAND_DISPLAY="$socket" WAYLAND_DEBUG=client QT_QPA_PLATFORM="$platform"
      fi
      if within 30 wayland_window_shown; then
        echo "ok: the window opened on Wayland"
        finish
      else
        check "the window opened on Wayland" false
        if running; then finish; else wait "$app_pid" || true; fi
        app_pid=
        grep -v '^\[' "$work/tpv120.log" | head -20
      fi
      kept_on_exit
    done
    ;;
  noplugin)
    # A Qt whose plugin folder holds every platform plugin but Wayland's,
    # named by a qt.conf beside a copy of the program.
    plugins=$(qtpaths6 --query QT_INSTALL_PLUGINS 2>/dev/null ||
      echo /usr/lib/x86_64-linux-gnu/qt6/plugins)
    mkdir -p "$work/qt/plugins/platforms" "$work/qt/bin"
    for plugin in "$plugins"/*; do
      [ "$(basename "$plugin")" = platforms ] || ln -s "$plugin" "$work/qt/plugins/"
    done
    for plugin in "$plugins"/platforms/*; do
      case $(basename "$plugin") in *wayland*) ;; *) ln -s "$plugin" "$work/qt/plugins/platforms/" ;; esac
    done
    cp "$program" "$work/qt/bin/tpv120"
    printf '[Paths]\nPlugins=%s\n' "$work/qt/plugins" >"$work/qt/bin/qt.conf"
    program=$work/qt/bin/tpv120
    seed
    cp "$ini" "$work/ini.before"
    start WAYLAND_DISPLAY="$socket"
    status=0
    within 30 bash -c '! kill -0 "$1" 2>/dev/null' _ "$app_pid" || true
    wait "$app_pid" || status=$?
    app_pid=
    check "tpv120 ended with status 1" test "$status" = 1
    check "Qt's diagnostic names the missing plugin" \
      grep -q 'Could not find the Qt platform plugin "wayland"' "$work/tpv120.log"
    check "the message names the package qt6-wayland" \
      grep -q '^tpv120 cannot open a window on this Wayland display without the Qt platform plugin for Wayland: install the Debian package qt6-wayland' \
      "$work/tpv120.log"
    check "no advice to reinstall" bash -c '! grep -q "Reinstalling" "$1"' _ "$work/tpv120.log"
    check "settings untouched" cmp -s "$ini" "$work/ini.before"
    cat "$work/tpv120.log"
    ;;
  *)
    echo "usage: $0 mixed|wayland|noplugin path/to/tpv120" >&2
    exit 2
    ;;
esac

if [ $failures -gt 0 ]; then
  echo "FAIL: $failures check(s) failed"
  exit 1
fi
echo "PASS"
