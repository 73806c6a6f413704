#!/usr/bin/env bash
# Sets up a Debian 12 machine for Tempiva and then runs it or its tests:
#   ./setup.sh run    install what building and running needs, build the two
#                     programs (no tests, no benchmarks), start the calculator
#   ./setup.sh test   install everything, build everything, run every test
#                     (plainly, under sanitizers, and a bounded fuzz run)
#   ./setup.sh quick  for day-to-day work: the plain build's tests only
# All are safe to repeat: the install is skipped when every package is there,
# and the build only rebuilds what changed. run and quick share the folder
# build/: run leaves the tests out of it, quick and test put them back.
set -euo pipefail
cd "$(dirname "$(readlink -f "$0")")"

# Debian packages, in one place: what the programs need to build and run ...
RUN_PACKAGES=(
  cmake ninja-build g++ pkg-config   # build
  qt6-base-dev fonts-liberation2     # the window and the font its boxes are sized for
  libxcb1-dev                        # X11 stacking: the taskbar hint and transient windows
  xdg-utils                          # Help opens its page with the desktop's browser
  libjack-jackd2-dev                 # JACK's headers (the library itself is loaded only when chosen)
  libsndfile1-dev libqm-dsp-dev      # the tempo of an audio file: decoding, onsets and beats
  ableton-link-dev libasio-dev       # joining an Ableton Link session (header-only)
)
# ... and what the tests and benchmarks need besides.
TEST_PACKAGES=(
  clang-format                       # the source format check
  libgtest-dev                       # unit tests
  libbenchmark-dev                   # benchmarks
  clang libclang-rt-14-dev           # fuzz tests (libFuzzer, sanitizers)
  desktop-file-utils appstream       # desktop entry and metainfo validators
  dpkg-dev file man-db lintian       # the Debian package, its dependencies, manual pages and checks
  xvfb xauth openbox wmctrl xdotool x11-utils  # window tests on a real X display with a window manager
  gnumeric locales                   # the copied delay table as a spreadsheet reads it
  jackd2 jack-midi-clock             # following a sequencer, end to end on a private JACK server
  iproute2 ableton-link-utils        # Link sessions inside a private network namespace; LinkHut for trials
  weston xwayland qt6-wayland        # window tests on a Wayland desktop, with and without XWayland
  hydrogen-drumkits                  # real drum hits for the audio tempo tests
)
BUILD_DIR=${TEMPIVA_BUILD_DIR:-build}
FUZZ_DIR=${TEMPIVA_FUZZ_BUILD_DIR:-build-fuzz}
SANITIZE_DIR=${TEMPIVA_SANITIZE_BUILD_DIR:-build-sanitize}
FUZZ_SECONDS=${TEMPIVA_FUZZ_SECONDS:-30}

usage() {
  echo "usage: $0 run|test|quick" >&2
  exit 2
}

install_missing() {  # install_missing PACKAGE...
  if ! command -v dpkg-query >/dev/null 2>&1; then
    echo "This is not a Debian-like system: install $* yourself." >&2
    return
  fi
  local missing=() pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "Missing packages: ${missing[*]}. Install them as root (apt-get install ...)." >&2
      exit 1
    fi
    sudo=(sudo)
  fi
  echo "Installing missing packages: ${missing[*]}"
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# The programs alone. Warnings stay warnings here: only the test command
# makes them fatal, and run leaves that choice as the last test build made it.
build_programs() {
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$BUILD_DIR"
}

# The programs with their tests and benchmarks, warnings fatal as in CI.
build() {
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBUILD_TESTING=ON -DTEMPIVA_WARNINGS_FATAL=ON >/dev/null
  cmake --build "$BUILD_DIR"
}

build_fuzz() {
  cmake -S . -B "$FUZZ_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ -DTEMPIVA_FUZZ=ON -DTEMPIVA_WARNINGS_FATAL=ON \
    -DTEMPIVA_FUZZ_SECONDS="$FUZZ_SECONDS" >/dev/null
  cmake --build "$FUZZ_DIR"
}

# The second compiler: the whole project, warnings fatal, built by clang.
build_sanitized() {
  cmake -S . -B "$SANITIZE_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTEMPIVA_SANITIZE=ON \
    -DCMAKE_CXX_COMPILER=clang++ -DTEMPIVA_WARNINGS_FATAL=ON -DTEMPIVA_BENCHMARKS=OFF >/dev/null
  cmake --build "$SANITIZE_DIR"
}

# Every test again under AddressSanitizer (with its leak check) and
# UndefinedBehaviorSanitizer; any finding fails the run.
test_sanitized() {
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir "$SANITIZE_DIR" --output-on-failure
}

# Ends with the xvfb-run line when there is no graphical session to show the
# window on: checked before the packages and the build, so that a machine
# without a display learns it at once rather than after the build.
require_display() {
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display: tpv120 is a desktop program and needs a graphical session." >&2
    echo "To build and run it without one, start it in a virtual display:" >&2
    echo "  apt-get install xvfb && xvfb-run -a $0 run" >&2
    exit 1
  fi
}

run_program() {
  local program="$BUILD_DIR/app/tpv120"
  if [ ! -x "$program" ]; then
    echo "The build finished without $program: see its output above." >&2
    exit 1
  fi
  require_display
  exec "$program"
}

case "${1:-}" in
  run)
    require_display
    install_missing "${RUN_PACKAGES[@]}"
    build_programs
    run_program
    ;;
  quick)
    install_missing "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    build
    ctest --test-dir "$BUILD_DIR" --output-on-failure
    ;;
  test)
    install_missing "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    build
    build_fuzz
    build_sanitized
    ctest --test-dir "$FUZZ_DIR" --output-on-failure
    test_sanitized
    ctest --test-dir "$BUILD_DIR" --output-on-failure
    ;;
  *) usage ;;
esac
