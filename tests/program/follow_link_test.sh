#!/usr/bin/env bash
# The calculator window in an Ableton Link session with a test peer, inside a
# private network namespace with loopback alone (or skipped, saying why).
#   follow_link_test.sh PATH_TO_program_extras_follow_test
set -euo pipefail
source "$(dirname "$0")/../link/private_net.sh"
exec timeout 60 "$1" linkSessionIsSharedBothWays
