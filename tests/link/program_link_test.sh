#!/usr/bin/env bash
# tpv120 itself, offscreen. "manual": no network socket under Manual.
# "session" (inside a private network namespace with loopback alone): with
# ableton-link saved it joins the test peer's session at the session's tempo
# (the tempo it saves says so, never its own 133), and a terminate request
# ends it within 0.5 s, leaving the session.
#   program_link_test.sh manual|session PATH_TO_TPV120 PATH_TO_LINK_PEER
set -euo pipefail
[ "$1" = manual ] || source "$(dirname "$0")/private_net.sh"
mode=$1 tpv120=$2 peer=$3
XDG_CONFIG_HOME=$(mktemp -d) && export XDG_CONFIG_HOME QT_QPA_PLATFORM=offscreen
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$XDG_CONFIG_HOME"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
inet_sockets() {  # inet_sockets PID: the UDP and TCP sockets among its files
  for inode in $(find "/proc/$1/fd" -lname 'socket:*' -printf '%l\n' | tr -dc '0-9\n'); do
    awk -v inode="$inode" '$10 == inode' /proc/"$1"/net/{udp,udp6,tcp,tcp6}
  done
}
mkdir "$XDG_CONFIG_HOME/tempiva"
printf '[Ini]\nBPM=133\n' >"$XDG_CONFIG_HOME/tempiva/TPVINI.ini"
if [ "$mode" = manual ]; then
  timeout 30 "$tpv120" & sleep 2
  pid=$(pgrep -P $!) || fail "tpv120 did not start"
  sockets=$(inet_sockets "$pid")
  [ -z "$sockets" ] || fail "a network socket under Manual: $sockets"
  echo PASS; exit 0
fi
printf '[Preferences]\nTempoSource=ableton-link\n' >"$XDG_CONFIG_HOME/tempiva/preferences.ini"
mkfifo "$XDG_CONFIG_HOME/peer.in"
timeout 30 "$peer" peer 128 <"$XDG_CONFIG_HOME/peer.in" >"$XDG_CONFIG_HOME/peer.out" &
exec 3>"$XDG_CONFIG_HOME/peer.in"
sleep 1
timeout 30 "$tpv120" & pid=$!
until grep -q 'peers 1$' "$XDG_CONFIG_HOME/peer.out"; do sleep 0.1; done
pid=$(pgrep -P $pid) || fail "tpv120 did not start"  # itself, not its timeout
sockets=$(inet_sockets "$pid")
[ -n "$sockets" ] || fail "no socket seen in a session: the check is blind"
! grep -v ' tempo 128.000 ' "$XDG_CONFIG_HOME/peer.out" | grep -q . || fail "joining changed the session's tempo"
echo 'tempo 97.3' >&3
sleep 0.5
start=$(date +%s%N)
kill -TERM $pid
while kill -0 $pid 2>/dev/null; do sleep 0.01; done
took=$((($(date +%s%N) - start) / 1000000))
echo "tpv120 ended $took ms after the terminate request"
[ $took -lt 500 ] || fail "too slow to end"
grep -q '^BPM=97.3$' "$XDG_CONFIG_HOME/tempiva/TPVINI.ini" || fail "the box did not follow the session"
sleep 0.5
tail -n 1 "$XDG_CONFIG_HOME/peer.out" | grep -q ' tempo 97.300 peers 0$' || fail "the session was not left"
echo PASS
