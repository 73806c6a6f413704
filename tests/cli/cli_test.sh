#!/usr/bin/env bash
# The programs' command line as a user meets it, with no display at all:
# help and version on standard output with status 0, an unknown option on
# standard error with status 2 and no window.
#   cli_test.sh TPV120 RESET_TPV120 TPV120_PROBE
# TPV120_PROBE is tpv120 built with the start-up probe, which ends the run
# after the first paint and says so: proof that the window opened.
set -uo pipefail
failures=0
probe=$3
config=$(mktemp -d)
trap 'rm -rf "$config"' EXIT

# row NAME STATUS STDOUT-PATTERN STDERR-PATTERN PROGRAM ARGS...
row() {
  local out err status
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_CONFIG_HOME="$config" \
    timeout 10 "${@:5}" 2>"$config/err")
  status=$?
  err=$(cat "$config/err")
  if [ "$status" = "$2" ] && grep -qE -- "$3" <<<"$out" && grep -qE -- "$4" <<<"$err"; then
    echo "ok: $1"
  else
    echo "FAILED: $1 (status $status)"
    echo "  stdout: $out"
    echo "  stderr: $err"
    failures=$((failures + 1))
  fi
}

for program in "$1" "$2"; do
  name=$(basename "$program")
  row "$name --help" 0 "^Usage: $name \[OPTION\]\.\.\." "^$" "$program" --help
  row "$name --help names the settings file" 0 "^    $config/tempiva/TPVINI.ini$" "^$" \
    "$program" --help
  row "$name --help names the preferences file" 0 "^    $config/tempiva/preferences.ini$" "^$" \
    "$program" --help
  row "$name -h" 0 "^Usage: " "^$" "$program" -h
  row "$name --version" 0 "^$name \(Tempiva\) [0-9]+\.[0-9]+$" "^$" "$program" --version
  row "$name --version names the licence" 0 "^License GPLv3\+: GNU GPL version 3 or later " "^$" \
    "$program" --version
  row "$name --help says what following JACK needs" 0 "JACK server" "^$" "$program" --help
  row "$name --bogus" 2 "^$" "^$name: unknown option '--bogus'$" "$program" --bogus
  row "$name --bogus hint" 2 "^$" "^Try '$name --help' for more information.$" "$program" --bogus
  row "$name stray argument" 2 "^$" "unexpected argument 'x'" "$program" x
  row "$name Qt option then --version" 0 "^$name " "^$" "$program" -platform offscreen --version
done

# setup.sh run without a display says so before it installs or builds anything.
row "setup.sh run without a display" 1 "^$" "xvfb-run -a .*setup\.sh run$" \
  env TEMPIVA_BUILD_DIR="$config/build" "$(dirname "$0")/../../setup.sh" run

# Qt's own options still reach Qt: the window opens (and the probe ends the
# run after its first paint).
if out=$(env XDG_CONFIG_HOME="$config" QT_QPA_PLATFORM=offscreen \
  timeout 20 "$probe" -style Fusion -reverse -qwindowtitle Test 2>/dev/null) && grep -q '^shown ' <<<"$out"; then
  echo "ok: tpv120 with Qt's options opens its window"
else
  echo "FAILED: tpv120 with Qt's options (stdout: $out)"
  failures=$((failures + 1))
fi
# A platform named by Qt's own option is a display, with none in the environment.
if out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_CONFIG_HOME="$config" \
  timeout 20 "$probe" -platform offscreen 2>/dev/null) &&
  grep -q '^shown ' <<<"$out"; then
  echo "ok: tpv120 -platform offscreen opens its window without DISPLAY"
else
  echo "FAILED: tpv120 -platform offscreen without DISPLAY (stdout: $out)"
  failures=$((failures + 1))
fi
[ -z "$(ls -A "$config" | grep -v '^err$')" ] && echo "ok: nothing written" ||
  { echo "FAILED: files were written"; failures=$((failures + 1)); }
exit $((failures > 0))
