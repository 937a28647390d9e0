#!/usr/bin/env bash
# Set-up, build, run and test on Debian 12.
#   bash tools/dev.sh run    install missing packages, build, start Tessivo
#   bash tools/dev.sh test   install missing packages, build, run every test; then
#                            the suite again under AddressSanitizer and
#                            UndefinedBehaviorSanitizer (<build>-asan), and
#                            each fuzz target for 30 s on its seeds
#                            (<build>-fuzz, tools/fuzz.sh)
# The program keeps EKG_DATA and EKG_SYS in the directory it is started from.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${TESSIVO_BUILD_DIR:-$here/build}"

packages=(
  cmake g++ make pkg-config clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-ipafont-gothic fonts-ipafont-mincho fonts-dejavu-core fontconfig
  cups cups-client cups-bsd cups-filters poppler-utils
  xvfb x11vnc xauth x11-utils python3 locales
)

install_missing() {
  local missing=() p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

build() {
  cmake -S "$here" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$build_dir" -j "$(nproc)"
}

# Without a display: a virtual one, reachable through VNC on 127.0.0.1 only.
ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return 0; fi
  local n=77
  while [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  echo "No display found: starting a virtual display :$n (Xvfb) with a VNC server on 127.0.0.1."
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  local port=$((5900 + n))
  x11vnc -display ":$n" -localhost -rfbport "$port" -forever -shared -nopw -quiet \
    >/dev/null 2>&1 &
  vnc_pid=$!
  trap 'kill $vnc_pid $xvfb_pid 2>/dev/null || true' EXIT
  echo "Reach it from your own machine with an SSH tunnel:"
  echo "  ssh -L $port:127.0.0.1:$port <this-host>   then open a VNC viewer on localhost:$port"
}

case "${1:-}" in
  run)
    install_missing
    build -DTESSIVO_WERROR=OFF
    ensure_display
    "$build_dir/app/tessivo"
    ;;
  test)
    install_missing
    # A warning fails the test command, as it fails CI.
    build -DTESSIVO_WERROR=ON
    # A private CUPS server with a PDF queue for the printing tests.
    if [ -f "$here/tools/cups_test_server.sh" ]; then
      # shellcheck source=/dev/null
      source "$here/tools/cups_test_server.sh"
      cups_test_server_start || echo "CUPS could not be started: spooler tests will be skipped."
      trap 'cups_test_server_stop || true' EXIT
    fi
    (cd "$build_dir" &&
      QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" --timeout 300)

    # The same suite built with the sanitizers: a leak, an out-of-bounds
    # access or undefined behaviour fails the test that caused it. Less
    # optimisation and line tables only keep this build short; warnings
    # are the plain build's to enforce.
    asan_dir="${TESSIVO_ASAN_BUILD_DIR:-$build_dir-asan}"
    echo "== test suite under AddressSanitizer and UndefinedBehaviorSanitizer ($asan_dir)"
    cmake -S "$here" -B "$asan_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" -DTESSIVO_ASAN=ON -DTESSIVO_BENCH=OFF \
      -DTESSIVO_WERROR=OFF >/dev/null
    cmake --build "$asan_dir" -j "$(nproc)"
    (cd "$asan_dir" &&
      ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" \
      LSAN_OPTIONS="suppressions=$here/tools/lsan.supp:print_suppressions=0" \
      UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
      QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" --timeout 900)

    # Every reader of outside bytes, fuzzed for a short while on its seeds.
    echo "== fuzz targets, 30 s each"
    TESSIVO_FUZZ_BUILD_DIR="${TESSIVO_FUZZ_BUILD_DIR:-$build_dir-fuzz}" \
      bash "$here/tools/fuzz.sh" 30
    ;;
  *)
    echo "usage: bash tools/dev.sh run|test" >&2
    exit 2
    ;;
esac
