#!/usr/bin/env bash
# End to end on a private JACK server (dummy backend): the link follows the
# transport's tempo and sample rate, then a MIDI clock sent from that
# transport; says so when there is no server and when it is killed while
# following, and comes back when it returns.
#   jack_follow_test.sh PATH_TO_SEQUENCER_PROBE
set -euo pipefail
probe=$1
work=$(mktemp -d)
export JACK_DEFAULT_SERVER="tempiva-test-$$-$RANDOM"
export JACK_NO_START_SERVER=1
export JACK_PROMISCUOUS_SERVER=  # the server is this test's alone
pids=()
jackd_pid=

cleanup() {
  local pid
  exec 3>&- 2>/dev/null || true
  # Everything runs under timeout, which passes TERM on to its command.
  for pid in "${pids[@]}" $jackd_pid; do kill "$pid" 2>/dev/null || true; done
  sleep 0.5
  # A server killed now would stay in JACK's registry of servers (eight at most).
  [ -n "$jackd_pid" ] && timeout 5 tail --pid="$jackd_pid" -f /dev/null || true
  for pid in "${pids[@]}" $jackd_pid; do
    kill -9 $(pgrep -P "$pid") "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  for f in "$work"/*.out; do [ -e "$f" ] && { echo "--- $f" >&2; cat "$f" >&2; }; done
  exit 1
}

# wait_for FILE PATTERN SECONDS: the first line of FILE matching PATTERN (grep -E).
wait_for() {
  local deadline=$((SECONDS + $3))
  while [ $SECONDS -lt "$deadline" ]; do
    grep -qE "$2" "$1" 2>/dev/null && return 0
    sleep 0.1
  done
  fail "no line matching '$2' in $1 within $3 s"
}

start_server() {
  timeout 120 jackd -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256 >"$work/jackd.log" 2>&1 &
  jackd_pid=$!
  timeout 10 jack_wait -w -t 10 >/dev/null 2>&1 || fail "the JACK server did not start"
}

# start_probe NAME MODE: the link in MODE, its lines in $work/NAME.out.
start_probe() {
  timeout 120 "$probe" "$2" 100 >"$work/$1.out" 2>"$work/$1.err" &
  pids+=($!)
}

# No server: the reason, and no wait.
start_probe none transport
wait_for "$work/none.out" '^state JACK Transport \(no JACK server\)$' 10
grep -q 'no JACK server' "$work/none.err" || fail "no line on standard error"
kill "${pids[0]}"
wait "${pids[0]}" 2>/dev/null || true

# Transport: tempo and sample rate, then a tempo change.
start_server
start_probe transport transport
wait_for "$work/transport.out" '^rate 48000$' 10
wait_for "$work/transport.out" '^state JACK Transport: no tempo published$' 10
mkfifo "$work/transport.fifo"
timeout 120 jack_transport <"$work/transport.fifo" >"$work/jack_transport.log" 2>&1 &
pids+=($!)
exec 3>"$work/transport.fifo"  # held open: jack_transport reads commands until it closes
printf 'master\ntempo 128\nplay\n' >&3
wait_for "$work/transport.out" '^tempo 128$' 10
wait_for "$work/transport.out" '^state JACK Transport: 128 BPM$' 10
printf 'tempo 97.3\n' >&3
wait_for "$work/transport.out" '^tempo 97.3$' 10
kill "${pids[1]}"
wait "${pids[1]}" 2>/dev/null || true  # its client has left: the next one is tempiva again

# MIDI clock from that transport.
printf 'tempo 128\n' >&3
timeout 120 jack_midi_clock >"$work/jack_midi_clock.log" 2>&1 &
pids+=($!)
start_probe clock midi-clock
wait_for "$work/clock.out" '^state MIDI Clock: waiting for clock$' 10
timeout 10 jack_connect jack_midi_clock:mclk_out tempiva:midi_in || fail "jack_connect failed"
wait_for "$work/clock.out" '^state MIDI Clock: 12[78]\.[0-9] BPM$' 10
sleep 2  # the estimate settles
last=$(grep '^tempo ' "$work/clock.out" | tail -n 1 | cut -d' ' -f2)
awk -v t="$last" 'BEGIN { exit !(t >= 127.9 && t <= 128.1) }' || fail "clock tempo $last, not 128.0"

# The server killed while following: said, and tried again until it is back.
server=$(pgrep -P "$jackd_pid" jackd) || fail "no jackd under timeout $jackd_pid"
kill -9 "$server"  # no goodbye to its clients
wait_for "$work/clock.out" '^state MIDI Clock \((JACK server stopped|JACK server not responding)\)$' 10
grep -qE 'MIDI Clock \((JACK server stopped|JACK server not responding)\)' "$work/clock.err" ||
  fail "no line on standard error"
wait_for "$work/clock.out" '^state MIDI Clock \(no JACK server\)$' 10
start_server
n=$(grep -c '^state MIDI Clock: waiting for clock$' "$work/clock.out")
deadline=$((SECONDS + 10))
while [ "$(grep -c '^state MIDI Clock: waiting for clock$' "$work/clock.out")" -le "$n" ]; do
  [ $SECONDS -lt $deadline ] || fail "no new connection after the server came back"
  sleep 0.1
done
cat "$work/clock.out"
echo "PASS"
