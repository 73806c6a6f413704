#!/usr/bin/env bash
# GUI-thread CPU of the sequencer link while it follows, on a private dummy
# JACK server: JACK transport (10 Hz poll) and a 24 ppqn MIDI clock at 300 BPM,
# printed as a Markdown table.
#   cmake --build build --target sequencer_probe
#   bench/sequencer_follow.sh build/tests/sequencer/sequencer_probe [SECONDS]
set -euo pipefail
probe=$1
seconds=${2:-20}
work=$(mktemp -d)
export JACK_DEFAULT_SERVER="tempiva-bench-$$-$RANDOM"
export JACK_NO_START_SERVER=1
pids=()
cleanup() {
  local pid
  exec 3>&- 2>/dev/null || true
  for pid in "${pids[@]:1}"; do kill "$pid" 2>/dev/null || true; done  # the clients first
  sleep 0.5
  # Then the server, cleanly: one killed would stay in JACK's registry of
  # servers (eight at most).
  kill "${pids[0]}" 2>/dev/null || true
  timeout 5 tail --pid="${pids[0]}" -f /dev/null || true
  for pid in "${pids[@]}"; do kill -9 $(pgrep -P "$pid") "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

limit=$((seconds * 2 + 60))
timeout "$limit" jackd -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256 >/dev/null 2>&1 &
pids+=($!)
timeout 10 jack_wait -w -t 10 >/dev/null 2>&1
mkfifo "$work/fifo"
timeout "$limit" jack_transport <"$work/fifo" >/dev/null 2>&1 &
pids+=($!)
exec 3>"$work/fifo"
printf 'master\ntempo 300\nplay\n' >&3
timeout "$limit" jack_midi_clock >/dev/null 2>&1 &
pids+=($!)

# measure MODE: the probe's GUI-thread CPU as a share of one core.
measure() {
  timeout "$limit" "$probe" "$1" "$seconds" >"$work/$1.out" 2>&1 &
  local pid=$!
  if [ "$1" = midi-clock ]; then
    for _ in $(seq 50); do
      timeout 5 jack_connect jack_midi_clock:mclk_out tempiva:midi_in 2>/dev/null && break
      sleep 0.1
    done
  fi
  wait "$pid"
  local last
  last=$(grep '^tempo ' "$work/$1.out" | tail -n 1)
  awk -v mode="$1" -v last="${last:-none}" '/^cpu / {
    printf "| %s | %.1f ms in %.1f s | %.3f%% | %s |\n", mode, $2, $3 / 1000, 100 * $2 / $3, last }' \
    "$work/$1.out"
}
echo "| source | GUI-thread CPU | of one core | last report |"
echo "|---|---:|---:|---|"
measure transport
measure midi-clock
