# Sourced first by every Link test: runs the calling script again inside a
# private network namespace with loopback alone, so that nothing is sent on
# this machine's network, or skips (77) saying why.
if [ "$(awk 'NR > 2 { print $1 }' /proc/self/net/dev)" != "lo:" ]; then
  unshare -n true 2>/dev/null || { echo "SKIP: cannot make a private network namespace (unshare -n needs root)"; exit 77; }
  exec unshare -n sh -c 'ip link set lo up && exec bash "$0" "$@"' "$0" "$@"
fi
