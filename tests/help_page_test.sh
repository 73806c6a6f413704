#!/usr/bin/env bash
# The help page and the README as a reader meets them: the page's colours
# hold in a browser without CSS custom properties (every declaration that
# uses var() follows a plain one of the same property in its rule), and both
# say what the beat calculator's "beat" is beside the delay menus' samples.
#   help_page_test.sh SOURCE_DIR
set -uo pipefail
page=$1/data/index.html
readme=$1/README.md
failures=0
fail() { echo "FAILED: $1"; failures=$((failures + 1)); }

# The style sheet, a rule a record; declarations split at ";".
unplain=$(sed -n '/<style>/,/<\/style>/p' "$page" | sed 's:/\*[^*]*\*/::g' | awk '
  BEGIN { RS = "}" }
  /var\(/ {
    split("", plain)
    count = split($0, declarations, ";")
    for (i = 1; i <= count; i++) {
      declaration = declarations[i]
      sub(/.*\{/, "", declaration)
      colon = index(declaration, ":")
      if (colon == 0) continue
      property = substr(declaration, 1, colon - 1)
      gsub(/[ \t\n]/, "", property)
      if (declaration ~ /var\(/) {
        if (!(property in plain)) print property
      } else {
        plain[property] = 1
      }
    }
  }')
[ -z "$unplain" ] || fail "no plain value before var() for: $(echo $unplain)"
grep -q 'var(--' "$page" || fail "the page has no custom properties left to check"

# name | file | text it says (a line break in the file reads as a space)
rows=(
  "help page: the beat is two quarter notes|$page|two quarter notes"
  "help page: 44100 samples per beat at 120 BPM|$page|120 BPM and 44100 Hz, Samples per Beat shows 44100"
  "help page: 22050 samples for a quarter note|$page|1/4 note is 22050 samples"
  "README: the beat is two quarter notes|$readme|two quarter notes"
  "README: 44100 samples per beat at 120 BPM|$readme|at 120 BPM and 44100 Hz, \"Samples per Beat\" shows 44100"
  "README: 22050 samples for a quarter note|$readme|1/4 note at the same tempo and rate is 22050 samples"
)
for row in "${rows[@]}"; do
  IFS='|' read -r name file text <<<"$row"
  flat=$(tr '\n' ' ' <"$file" | tr -s ' ')
  [[ $flat == *"$text"* ]] || fail "$name: '$text' not found"
done

[ "$failures" -eq 0 ] || exit 1
echo "help page and README: all ${#rows[@]} texts and the plain colours are there"
