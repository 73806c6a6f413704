#!/usr/bin/env bash
# Our LinkSource in a Link session with plain Link peers, on loopback inside a
# private network namespace: joining, both ways, Link's range, peers coming
# and going, leaving.   link_session_test.sh PATH_TO_LINK_PEER
set -euo pipefail
source "$(dirname "$0")/private_net.sh"
peer=$1
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; tail -n 5 "$work"/*.out >&2; exit 1; }
# start NAME MODE BPM: its commands go to $work/NAME.in, its lines to $work/NAME.out.
start() {
  mkfifo "$work/$1.in"
  timeout 60 "$peer" "$2" "$3" <"$work/$1.in" >"$work/$1.out" & pids+=($!)
  exec {fd}>"$work/$1.in"; eval "in_$1=$fd"
}
say() { local fd="in_$1"; echo "$2" >&"${!fd}"; }
expect() {  # expect NAME PATTERN: a line of NAME matches within 5 s
  for _ in $(seq 50); do grep -qE "$2" "$work/$1.out" && return 0; sleep 0.1; done
  fail "$1 never printed '$2'"
}

start a peer 128
expect a 'tempo 128.000 peers 0'
sleep 1  # the older timeline wins: this session is the peer's
start us source 133
expect us 'tempo 128.000 peers 1$'
expect a 'tempo 128.000 peers 1$'
! grep -v 'tempo 128.000' "$work/a.out" | grep -q tempo || fail "joining changed the session's tempo"
for bpm in 97.300 20.000 999.000; do
  say a "tempo $bpm"
  expect us "tempo $bpm peers 1$"
done
say us 'tempo 140'
expect a 'tempo 140.000 peers 1$'
say us 'tempo 1200'
expect us 'tempo 140.000 peers 1 \(1200 BPM is outside 20–999\)$'
say a 'tempo 110'
expect us 'tempo 110.000 peers 1$'
say a quit
expect us 'tempo 110.000 peers 0$'
# Alone, Link founds a new session; of two sessions founded within 0.5 s, the
# one with the lower random id wins, so the next peers come later.
sleep 1
start b peer 90
expect b 'tempo 110.000 peers 1$'
sleep 1
start c peer 75
expect us 'tempo 110.000 peers 2$'
expect b 'tempo 110.000 peers 2$'
expect c 'tempo 110.000 peers 2$'
say us leave
expect b 'tempo 110.000 peers 1$'
awk '/ left in / && $4 > 500 { exit 1 }' "$work/us.out" || fail "leaving took over 0.5 s"
grep -q ' left in ' "$work/us.out" || fail "no time for leaving"
echo "PASS"
