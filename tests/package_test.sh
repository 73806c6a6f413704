#!/usr/bin/env bash
# Builds the Debian package from a finished build folder and checks what it
# installs and what it depends on.
#   package_test.sh BUILD_DIR [PROGRAM_DIR]   (the programs' folder under /usr,
#                                              as the build was configured)
set -euo pipefail
build=$(readlink -f "$1")
programs=${2:-lib/tempiva}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

(cd "$out" && cpack -G DEB --config "$build/CPackConfig.cmake" >cpack.log 2>&1) || {
  cat "$out/cpack.log"
  exit 1
}
deb=$(ls "$out"/tempiva_*.deb)
echo "built $(basename "$deb")"

failures=0
check() {  # check DESCRIPTION COMMAND...
  if "${@:2}"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}
files=$(dpkg-deb -c "$deb" | awk '{print $6 ($7 ? " " $7 " " $8 : "")}')
has() { grep -qxF -- "$1" <<<"$files"; }

check "calculator beside its help page" has ./usr/$programs/tpv120
check "recovery utility beside it" has ./usr/$programs/RESET_TPV120
check "tempo analysis beside the calculator" has ./usr/$programs/tempiva-analyse
check "help page" has ./usr/share/help/C/tempiva/index.html
check "help page linked beside the programs" bash -c \
  'grep -qx -- "\./usr/$1/index\.html -> .*/share/help/C/tempiva/index\.html" <<<"$2"' _ \
  "$programs" "$files"
check "calculator launcher" has "./usr/bin/tpv120 -> ../$programs/tpv120"
check "recovery launcher" has "./usr/bin/RESET_TPV120 -> ../$programs/RESET_TPV120"
check "calculator menu entry" has ./usr/share/applications/org.example.Tempiva.desktop
check "recovery menu entry" has ./usr/share/applications/org.example.Tempiva.Reset.desktop
check "metainfo" has ./usr/share/metainfo/org.example.Tempiva.metainfo.xml
check "scalable icon" has ./usr/share/icons/hicolor/scalable/apps/org.example.Tempiva.svg
for size in 16 32 48 256; do
  check "${size}px icon" has ./usr/share/icons/hicolor/${size}x${size}/apps/org.example.Tempiva.png
done
check "copyright file" has ./usr/share/doc/tempiva/copyright
check "changelog" has ./usr/share/doc/tempiva/changelog.gz
for page in tpv120 RESET_TPV120; do
  check "manual page $page(1)" has ./usr/share/man/man1/$page.1.gz
done
check "nothing outside /usr" bash -c '! grep -v "^\./usr/\|^\./$" <<<"$1"' _ "$files"
check "no test, benchmark or build tool" bash -c '! grep -E "test|bench|icon_tool" <<<"$1"' _ "$files"

# The documents as installed: read from the unpacked package.
root="$out/root"
dpkg-deb -x "$deb" "$root"
# Help opens index.html in the programs' folder: the link leads to the page.
check "help page reached from the programs' folder" \
  cmp -s "$root/usr/$programs/index.html" "$(dirname "$0")/../data/index.html"
changelog_version=$(zcat "$root/usr/share/doc/tempiva/changelog.gz" | sed -n '1s/^tempiva (\(.*\)) .*/\1/p')
check "changelog's last entry is this version" test "$changelog_version" = "$(dpkg-deb -f "$deb" Version)"
copyright="$root/usr/share/doc/tempiva/copyright"
check "copyright in the machine-readable format" test \
  "$(head -1 "$copyright")" = "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"
check "copyright covers every file" grep -qx "Files: \*" "$copyright"
check "copyright names holder and licence" bash -c \
  'grep -q "^Copyright: .*[0-9]\{4\} ." "$1" && grep -q "^License: ." "$1"' _ "$copyright"
check "copyright readable by all" test "$(stat -c %a "$copyright")" = 644
for page in tpv120 RESET_TPV120; do
  file="$root/usr/share/man/man1/$page.1.gz"
  check "$page(1) is gzip" gzip -t "$file"
  # Byte 3 holds the header flags (no file name) and 4 to 7 the time (none).
  check "$page(1) compressed without name or time" \
    test "$(od -An -tx1 -j3 -N5 "$file" | tr -d ' ')" = 0000000000
  check "$page(1) names its program" bash -c \
    'lexgrog "$1" | grep -q "\"$2 - "' _ "$file" "$page"
  warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$file" 2>&1 >/dev/null)
  check "$page(1) formats without warnings" test -z "$warnings"
  [ -z "$warnings" ] || echo "$warnings"
  check "$page(1) readable by all" test "$(stat -c %a "$file")" = 644
done

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for package in qt6-qpa-plugins libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 libc6 fonts-liberation2 xdg-utils; do
  check "depends on $package" grep -q "\b$package\b" <<<"$depends"
done
check "recommends qt6-wayland" grep -q "\bqt6-wayland\b" <<<"$(dpkg-deb -f "$deb" Recommends)"
check "package name" test "$(dpkg-deb -f "$deb" Package)" = tempiva
check "version" test "$(dpkg-deb -f "$deb" Version)" = 1.20

# What a distribution checks: no error and no warning from lintian. Its
# informational tags are shown; the ones that stay come from texts the
# programs must show exactly.
if ! command -v lintian >/dev/null 2>&1; then
  echo "FAILED: lintian is missing (Debian package lintian)"
  failures=$((failures + 1))
else
  lintian_status=0
  lintian_log=$(timeout 300 lintian --display-info --fail-on error,warning "$deb" 2>&1) ||
    lintian_status=$?
  [ -z "$lintian_log" ] || echo "$lintian_log"
  check "lintian: no error and no warning" test "$lintian_status" = 0
fi

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
