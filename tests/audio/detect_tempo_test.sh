#!/usr/bin/env bash
# tpv120 --detect-tempo as a user meets it, with no display: drum patterns
# written at known tempos, and input that is not what it claims to be.
#   detect_tempo_test.sh TPV120 AUDIO_TEMPO_PATTERN
set -uo pipefail
tpv120=$1 pattern=$2
kit=/usr/share/hydrogen/data/drumkits/GMRockKit
[ -d "$kit" ] || { echo "SKIP: hydrogen-drumkits is not installed ($kit)"; exit 77; }
work=$(mktemp -d) && chmod 755 "$work"
trap 'rm -rf "$work"' EXIT
failures=0

# write FILE BPM BARS [key=value]...
write() { "$pattern" "$work/$1" "$kit" "${@:2}" || { echo "FAILED: writing $1"; exit 1; }; }
write loop140.wav 140 8
write swing97.wav 97.3 4 swing=0.16 fills=1
write mono48k.flac 128 2 rate=48000 channels=1 format=flac
write vorbis.ogg 110 4 format=ogg
write excerpt123.wav 123 40 seconds=30
write tail120.wav 120 8 seconds=16.06
write eight.wav 174 16 rate=96000 channels=8
write rate384k.wav 90 1 rate=384000
write silence.wav 120 4 kind=silence
write noise.wav 120 4 kind=noise
write one.wav 120 1 seconds=0.00003
head -c 300000 "$work/loop140.wav" >"$work/truncated.wav"
head -c 40 "$work/loop140.wav" >"$work/header.wav"
: >"$work/empty.wav"
echo "120 BPM, honest" >"$work/text.wav"
printf '\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01\0\0\0\x01\x08\x06\0\0\0' >"$work/image.wav"
mkfifo "$work/fifo.wav"
mkdir "$work/folder.wav"
cp "$work/loop140.wav" "$work/locked.wav" && chmod 000 "$work/locked.wav"
# root reads every file: the locked row runs as nobody.
as_user=()
[ "$(id -u)" = 0 ] && as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)

# row NAME STATUS STDOUT-PATTERN STDERR-PATTERN FILE...  (no FILE: none given)
row() {
  local out err status runner=()
  [ "$1" = "no permission" ] && runner=("${as_user[@]}")
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY timeout 20 "${runner[@]}" "$tpv120" --detect-tempo \
    "${@:5}" 2>"$work/err")
  status=$?
  err=$(cat "$work/err")
  if [ "$status" = "$2" ] && grep -qE -- "$3" <<<"$out" && grep -qE -- "$4" <<<"$err"; then
    echo "ok: $1"
  else
    echo "FAILED: $1 (status $status)"
    echo "  stdout: $out"
    echo "  stderr: $err"
    failures=$((failures + 1))
  fi
}
w=$work
t=$'\t'
row "8-bar loop: exact" 0 "^$w/loop140.wav${t}140.00${t}8${t}13.714${t}44100${t}604800$" "^$" "$w/loop140.wav"
row "swung loop with fills" 0 "${t}97.30${t}4${t}" "^$" "$w/swing97.wav"
row "FLAC, mono, 48 kHz" 0 "${t}128.00${t}2${t}3.750${t}48000${t}180000$" "^$" "$w/mono48k.flac"
row "Ogg Vorbis" 0 "${t}110.00${t}4${t}" "^$" "$w/vorbis.ogg"
row "excerpt: no loop" 0 "${t}123.0[0-9]${t}${t}30.000${t}" "^$" "$w/excerpt123.wav"
row "a tail past the bars: no loop" 0 "${t}(119.9[5-9]|120.0[0-5])${t}${t}16.060${t}" "^$" "$w/tail120.wav"
row "8 channels at 96 kHz" 0 "${t}174.00${t}16${t}" "^$" "$w/eight.wav"
row "384 kHz" 0 "${t}90.00${t}1${t}2.667${t}384000${t}1024000$" "^$" "$w/rate384k.wav"
row "silence" 1 "^$" "^tpv120: $w/silence.wav: no tempo found \(silence\)$" "$w/silence.wav"
row "white noise" 1 "^$" "^tpv120: $w/noise.wav: no tempo found$" "$w/noise.wav"
row "1 sample" 1 "^$" ": too short to find a tempo$" "$w/one.wav"
row "truncated in the audio" 1 "^$" ": the file is cut short \(truncated\)$" "$w/truncated.wav"
row "truncated in the header" 1 "^$" ": not an audio file that can be read \(" "$w/header.wav"
row "empty" 1 "^$" ": the file is empty$" "$w/empty.wav"
row "text renamed .wav" 1 "^$" ": not an audio file that can be read \(" "$w/text.wav"
row "image renamed .wav" 1 "^$" ": not an audio file that can be read \(" "$w/image.wav"
row "FIFO: refused, never waited on" 1 "^$" ": not a regular file$" "$w/fifo.wav"
row "folder" 1 "^$" ": a folder, not a file$" "$w/folder.wav"
row "missing" 1 "^$" "^tpv120: $w/missing.wav: no such file$" "$w/missing.wav"
row "no permission" 1 "^$" ": permission denied$" "$w/locked.wav"
row "a failure among files: the others printed" 1 "^$w/loop140.wav${t}.*\n?.*" \
  "^tpv120: $w/empty.wav: the file is empty$" "$w/empty.wav" "$w/loop140.wav"
row "no file: usage error" 2 "^$" "^tpv120: --detect-tempo needs a file$"

[ "$failures" = 0 ] || { echo "$failures failed"; exit 1; }
