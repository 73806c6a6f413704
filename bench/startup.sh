#!/usr/bin/env bash
# Start-up time and peak memory of tpv120 against a bare Qt Widgets window
# built with the same flags: RUNS runs of each, alternating, in one virtual
# display; prints the medians and the ratios as a Markdown table. A third yardstick, the bare
# window with one text label, shows the part that is the fonts' loading.
#   bench/startup.sh [BUILD_DIR] [RUNS]      (needs xvfb: apt-get install xvfb)
# TEMPIVA_TEMPO_SOURCE=jack-transport (or midi-clock) starts tpv120 with that
# source saved and no JACK server to be found.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")/.."
build=${1:-build}
runs=${2:-20}

if [ -z "${TEMPIVA_IN_XVFB:-}" ]; then
  cmake --build "$build" --target tpv120_probe bare_window >/dev/null
  TEMPIVA_IN_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$build" "$runs"
fi

config=$(mktemp -d)  # first-run settings, never the user's own
trap 'rm -rf "$config"' EXIT
if [ -n "${TEMPIVA_TEMPO_SOURCE:-}" ]; then
  mkdir -p "$config/tempiva"
  printf '[Preferences]\nTempoSource=%s\n' "$TEMPIVA_TEMPO_SOURCE" >"$config/tempiva/preferences.ini"
  export JACK_DEFAULT_SERVER="tempiva-bench-none-$$" JACK_NO_START_SERVER=1
fi

measure() {  # measure PROGRAM [ENV=VALUE...]: prints "microseconds kB"
  local start line shown kb
  start=$(date +%s%N)
  line=$(env XDG_CONFIG_HOME="$config" "${@:2}" "$1" 2>/dev/null |
    grep '^shown ')
  read -r _ shown kb <<<"$line"
  echo "$(((shown - start) / 1000)) $kb"
}

measure "$build/bench/bare_window" >/dev/null  # warm the caches once
measure "$build/app/tpv120_probe" >/dev/null
for ((i = 0; i < runs; i++)); do
  echo "bare $(measure "$build/bench/bare_window")"
  echo "label $(measure "$build/bench/bare_window" TEMPIVA_BARE_LABEL=1)"
  echo "tpv120 $(measure "$build/app/tpv120_probe")"
done | awk '
  { us[$1] = us[$1] " " $2; kb[$1] = kb[$1] " " $3 }
  function median(list,   n, a, i, j, t) {
    n = split(list, a, " ")
    for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
    return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
  }
  END {
    tb = median(us["bare"]); tl = median(us["label"]); tt = median(us["tpv120"])
    mb = median(kb["bare"]); ml = median(kb["label"]); mt = median(kb["tpv120"])
    printf "| median of %d runs each | bare window | with one label | tpv120 | tpv120 / bare | tpv120 / label |\n", NR / 3
    printf "|---|---:|---:|---:|---:|---:|\n"
    printf "| start-up to the first paint | %.1f ms | %.1f ms | %.1f ms | %.2f | %.2f |\n", tb / 1000, tl / 1000, tt / 1000, tt / tb, tt / tl
    printf "| peak resident memory | %d kB | %d kB | %d kB | %.2f | %.2f |\n", mb, ml, mt, mt / mb, mt / ml
  }'
