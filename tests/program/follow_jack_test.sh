#!/usr/bin/env bash
# The calculator window following a sequencer end to end, on a private JACK
# server (dummy backend, 48 kHz) that lives only for this test: the transport's
# tempo and sample rate, a MIDI clock, and taps from a MIDI device. The QtTest
# starts the JACK tools itself (jack_transport, jack_midi_clock, jack_midiseq).
#   follow_jack_test.sh PATH_TO_program_extras_follow_test
set -euo pipefail
test_binary=$1
export TEMPIVA_TEST_JACK_SERVER="tempiva-window-$$-$RANDOM"
export JACK_DEFAULT_SERVER=$TEMPIVA_TEST_JACK_SERVER
export JACK_NO_START_SERVER=1
export JACK_PROMISCUOUS_SERVER=  # the server is this test's alone
log=$(mktemp)
jackd_pid=
test_pid=

cleanup() {
  # The test runs in a process group of its own: it and the tools it started.
  [ -n "$test_pid" ] && kill -- "-$test_pid" 2>/dev/null || true
  [ -n "$jackd_pid" ] && kill "$jackd_pid" 2>/dev/null || true
  sleep 0.5
  [ -n "$test_pid" ] && kill -9 -- "-$test_pid" 2>/dev/null || true
  if [ -n "$jackd_pid" ]; then kill -9 $(pgrep -P "$jackd_pid") "$jackd_pid" 2>/dev/null || true; fi
  rm -f "$log"
}
trap cleanup EXIT

timeout 140 jackd -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256 >"$log" 2>&1 &
jackd_pid=$!
if ! timeout 10 jack_wait -w -t 10 >/dev/null 2>&1; then
  echo "FAIL: the JACK server did not start" >&2
  cat "$log" >&2
  exit 1
fi

status=0
setsid timeout 120 "$test_binary" jackTransportIsFollowed jackMidiClockIsFollowed \
  jackDeviceTapsKeepTapping &
test_pid=$!
wait "$test_pid" || status=$?
exit "$status"
