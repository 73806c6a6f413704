#!/usr/bin/env bash
# The calculator ends within half a second of a terminate request while it
# follows JACK transport, whatever the server does: running, stopped (SIGSTOP)
# or killed. On a private, uniquely named dummy server, stopped pass or fail.
#   exit_bound_test.sh PATH_TO_tpv120
set -euo pipefail
tpv120=$1
limit_ms=${TEMPIVA_EXIT_LIMIT_MS:-500}
work=$(mktemp -d)
export JACK_DEFAULT_SERVER="tempiva-exit-$$-$RANDOM"
export JACK_NO_START_SERVER=1
export JACK_PROMISCUOUS_SERVER=  # the server is this test's alone
export XDG_CONFIG_HOME="$work/config" HOME="$work" QT_QPA_PLATFORM=offscreen
jackd_pid=
app_pid=

cleanup() {
  [ -n "$jackd_pid" ] && kill -CONT "$jackd_pid" 2>/dev/null || true
  for pid in $app_pid $jackd_pid; do kill -9 "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  cat "$work"/*.log >&2 2>/dev/null || true
  exit 1
}

mkdir -p "$XDG_CONFIG_HOME/tempiva"
printf '[Preferences]\nTempoSource=jack-transport\n' >"$XDG_CONFIG_HOME/tempiva/preferences.ini"

now_ms() { date +%s%3N; }

# run_case NAME ACTION: follows, does ACTION to the server, then asks the program to end.
run_case() {
  jackd -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256 >"$work/jackd-$1.log" 2>&1 &
  jackd_pid=$!
  timeout 10 jack_wait -w -t 10 >/dev/null 2>&1 || fail "$1: the JACK server did not start"
  "$tpv120" >"$work/tpv120-$1.log" 2>&1 &
  app_pid=$!
  local deadline=$((SECONDS + 15))
  until timeout 5 jack_lsp 2>/dev/null | grep -q '^tempiva:midi_in$'; do
    [ $SECONDS -lt $deadline ] || fail "$1: the calculator's client never came"
    sleep 0.2
  done
  case $2 in
    stop) kill -STOP "$jackd_pid" ;;
    kill) kill -9 "$jackd_pid" ;;
  esac
  sleep 0.3
  local start end
  start=$(now_ms)
  kill -TERM "$app_pid"
  while kill -0 "$app_pid" 2>/dev/null && [ $(($(now_ms) - start)) -lt 5000 ]; do sleep 0.01; done
  end=$(now_ms)
  kill -0 "$app_pid" 2>/dev/null && fail "$1: still running 5 s after the terminate request"
  local status=0
  wait "$app_pid" || status=$?
  [ "$status" -eq 0 ] || fail "$1: the calculator ended with status $status"
  app_pid=
  echo "$1: ended $((end - start)) ms after the terminate request"
  [ $((end - start)) -le "$limit_ms" ] || fail "$1: $((end - start)) ms, more than $limit_ms"
  kill -CONT "$jackd_pid" 2>/dev/null || true
  kill -9 "$jackd_pid" 2>/dev/null || true
  wait "$jackd_pid" 2>/dev/null || true
  jackd_pid=
}

run_case running none
run_case stopped stop
run_case killed kill
echo PASS
