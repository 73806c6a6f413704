#!/usr/bin/env bash
# Builds the Debian package from a finished build folder and checks what it
# installs and what it depends on.
#   package_test.sh BUILD_DIR
set -euo pipefail
build=$(readlink -f "$1")
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

check "calculator beside its help page" has ./usr/lib/tempiva/tpv120
check "recovery utility beside it" has ./usr/lib/tempiva/RESET_TPV120
check "help page" has ./usr/lib/tempiva/index.html
check "calculator launcher" has "./usr/bin/tpv120 -> ../lib/tempiva/tpv120"
check "recovery launcher" has "./usr/bin/RESET_TPV120 -> ../lib/tempiva/RESET_TPV120"
check "calculator menu entry" has ./usr/share/applications/org.example.Tempiva.desktop
check "recovery menu entry" has ./usr/share/applications/org.example.Tempiva.Reset.desktop
check "metainfo" has ./usr/share/metainfo/org.example.Tempiva.metainfo.xml
check "scalable icon" has ./usr/share/icons/hicolor/scalable/apps/org.example.Tempiva.svg
for size in 16 32 48 256; do
  check "${size}px icon" has ./usr/share/icons/hicolor/${size}x${size}/apps/org.example.Tempiva.png
done
check "nothing outside /usr" bash -c '! grep -v "^\./usr/\|^\./$" <<<"$1"' _ "$files"
check "no test, benchmark or build tool" bash -c '! grep -E "test|bench|icon_tool" <<<"$1"' _ "$files"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for package in qt6-qpa-plugins libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 libc6 fonts-liberation2 xdg-utils; do
  check "depends on $package" grep -q "\b$package\b" <<<"$depends"
done
check "package name" test "$(dpkg-deb -f "$deb" Package)" = tempiva
check "version" test "$(dpkg-deb -f "$deb" Version)" = 1.20

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
