#!/usr/bin/env bash
# Delays in an Ableton Link session on loopback, inside a private network
# namespace (nothing reaches this machine's network): a peer's tempo change
# until our LinkSource reports it, and our proposal until the peer has it,
# polled every 2 ms on both sides; median and worst of RUNS changes each way.
# Then the CPU the driver (LinkSource polled 500 times a second, and Link's
# own threads) takes over 30 s of following. With "program", the same for the
# calculator itself, offscreen (bench/link_follow.cpp).
#   bench/link_session.sh [BUILD_DIR] [RUNS|program]
set -euo pipefail
source "$(dirname "$(readlink -f "$0")")/../tests/link/private_net.sh"
cd "$(dirname "$(readlink -f "$0")")/.."
peer=${1:-build}/tests/link/link_peer
runs=${2:-20}
work=$(mktemp -d)
if [ "$runs" = program ]; then
  mkdir "$work/tempiva"
  printf '[Preferences]\nTempoSource=ableton-link\n' >"$work/tempiva/preferences.ini"
  XDG_CONFIG_HOME=$work QT_QPA_PLATFORM=offscreen TEMPIVA_LINK_MODULE="${1:-build}/app/modules/tempiva-link.so" \
    "${1:-build}/bench/link_follow" "$peer"
  exit
fi
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
for name in a us; do mkfifo "$work/$name.in"; done
timeout 300 "$peer" peer 128 <"$work/a.in" >"$work/a.out" &
exec 3>"$work/a.in"
sleep 1
timeout 300 "$peer" source 128 <"$work/us.in" >"$work/us.out" &
us_pid=$!
exec 4>"$work/us.in"
until grep -q 'peers 1$' "$work/us.out" 2>/dev/null; do sleep 0.1; done
us_pid=$(pgrep -P "$us_pid")  # the driver, not its timeout

at() {  # at FILE TEMPO: the time of the first line with that tempo
  until grep -q " tempo $2 " "$1"; do sleep 0.01; done
  awk -v t="$2" '$3 == t { print $1; exit }' "$1"
}
report() {  # report WHAT: median and worst of the delays on standard input
  sort -n | awk -v what="$1" '{ d[NR] = $1 } END {
    printf "%s: median %.1f ms, worst %.1f ms over %d changes\n", what, d[int((NR + 1) / 2)], d[NR], NR }'
}
for ((i = 1; i <= runs; i++)); do
  bpm=$(printf '%d.%03d' $((90 + i)) $((i * 7)))
  echo "tempo $bpm" >&3
  awk -v to="$(at "$work/us.out" "$bpm")" -v from="$(at "$work/a.out" "$bpm")" 'BEGIN { print to - from }'
  sleep 0.2
done | report "peer to LinkSource"
for ((i = 1; i <= runs; i++)); do
  bpm=$(printf '%d.%03d' $((150 + i)) $((i * 7)))
  echo "tempo $bpm" >&4
  awk -v to="$(at "$work/a.out" "$bpm")" -v from="$(at "$work/us.out" "$bpm")" 'BEGIN { print to - from }'
  sleep 0.2
done | report "LinkSource to peer"
ticks() { awk '{ print $14 + $15 }' "/proc/$us_pid/stat"; }
before=$(ticks)
sleep 30
awk -v used=$(($(ticks) - before)) -v hz="$(getconf CLK_TCK)" \
  'BEGIN { printf "CPU following for 30 s: %.2f%% of a core\n", used * 100 / hz / 30 }'
