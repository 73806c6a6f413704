#!/bin/sh
# The copied delay table as a spreadsheet reads it: gnumeric's ssconvert turns
# the tab-separated table into CSV (and into its own file, which keeps each
# cell's type). In every one of the 12 rows the note value must stay text,
# exactly as written (never a date or a fraction), and every other cell must
# be a number. With a comma separator the table is read under a German locale
# built for the test, as a user with that locale pastes it.
#   delay_table_spreadsheet_test.sh DELAY_TABLE_TOOL
set -eu
tool=$1
command -v ssconvert >/dev/null || { echo "ssconvert (package gnumeric) is missing" >&2; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT INT TERM
export HOME="$tmp"  # ssconvert keeps its settings there, never in the user's home
failed=0

# check NAME TEMPO RATE SEPARATOR LOCALE
check() {
  name=$1
  "$tool" "$2" "$3" "$4" >"$tmp/$name.tsv"
  LC_ALL=$5 timeout 120 ssconvert "$tmp/$name.tsv" "$tmp/$name.csv" 2>"$tmp/$name.err" ||
    { cat "$tmp/$name.err" >&2; echo "$name: ssconvert to CSV failed" >&2; failed=1; return; }
  LC_ALL=$5 timeout 120 ssconvert "$tmp/$name.tsv" "$tmp/$name.gnumeric" 2>"$tmp/$name.err" ||
    { cat "$tmp/$name.err" >&2; echo "$name: ssconvert to its own file failed" >&2; failed=1; return; }

  # CSV: the first cell of each row as written; the others as plain decimals.
  if ! awk -F '\t' 'NR > 2 { print $1 }' "$tmp/$name.tsv" >"$tmp/$name.labels" ||
     ! awk -F ',' 'NR > 2 { gsub(/"/, "", $1); print $1 }' "$tmp/$name.csv" >"$tmp/$name.read" ||
     ! cmp -s "$tmp/$name.labels" "$tmp/$name.read"; then
    echo "$name: the note values do not come back as written:" >&2
    paste "$tmp/$name.labels" "$tmp/$name.read" >&2
    failed=1
  fi
  # Its own file: every cell of rows 3 to 14 with its type (60 text, 40 number).
  gzip -dc "$tmp/$name.gnumeric" |
    sed -n 's/.*<gnm:Cell Row="\([0-9]*\)" Col="\([0-9]*\)" ValueType="\([0-9]*\)".*/\1 \2 \3/p' |
    awk -v name="$name" '
      $1 >= 2 { cells++
                if ($2 == 0 && $3 != 60) { print name ": row " $1 + 1 " note value is not text"; bad = 1 }
                if ($2 > 0 && $3 != 40) { print name ": row " $1 + 1 " column " $2 + 1 " is not a number"; bad = 1 } }
      END { if (cells != 12 * 10) { print name ": " cells " cells instead of 120"; bad = 1 }
            exit bad }' >&2 || failed=1
}

check point 133 96000 . C.UTF-8

# A German locale, built from the system's locale sources (package locales).
if localedef -i de_DE -f UTF-8 "$tmp/de_DE.UTF-8" 2>"$tmp/localedef.err" ||
   [ -f "$tmp/de_DE.UTF-8/LC_NUMERIC" ]; then
  LOCPATH=$tmp
  export LOCPATH
  check comma 133,5 44100 , de_DE.UTF-8
else
  cat "$tmp/localedef.err" >&2
  echo "no German locale could be built for the comma table" >&2
  failed=1
fi
exit $failed
