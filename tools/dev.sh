#!/usr/bin/env bash
# Set-up, build, run and test on Debian 12.
#   bash tools/dev.sh run    install missing packages, build, start Tessivo
#   bash tools/dev.sh package  install missing packages, build the Debian package
#                            (<build>-package/tessivo_*.deb) and check it
#   bash tools/dev.sh test   install missing packages, build, run every test, make
#                            and check the Debian package; then
#                            the suite again under AddressSanitizer and
#                            UndefinedBehaviorSanitizer (<build>-asan), and
#                            each fuzz target for 30 s on its seeds
#                            (<build>-fuzz, tools/fuzz.sh); then the Windows
#                            checks (tools/windows_tests.sh): every file
#                            compiled for Windows, and the core's and the
#                            history store's tests cross-built and run
#                            under Wine (<build>-windows)
# The program keeps EKG_DATA and EKG_SYS in the directory it is started from.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${TESSIVO_BUILD_DIR:-$here/build}"

packages=(
  cmake g++ make pkg-config clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libgl1-mesa-dev
  libgtest-dev libgmock-dev libbenchmark-dev libssl-dev
  fonts-ipafont-gothic fonts-ipafont-mincho fonts-dejavu-core fontconfig
  cups cups-client cups-bsd cups-filters poppler-utils
  xvfb x11vnc xauth x11-utils python3 locales xdotool
  dpkg-dev lintian desktop-file-utils appstream librsvg2-bin
)

# The input method: fcitx5 with its Qt 6 module, a session bus for it, and a
# Japanese engine. Mozc's server refuses to run as root; there Anthy serves
# (the input-method tests use Anthy in any case). Installed without
# recommends, which would bring im-config and with it a change of the input
# method a desktop session starts.
im_packages=(fcitx5 fcitx5-frontend-qt6 dbus-daemon)
if [ "$(id -u)" -eq 0 ]; then im_engine=anthy; else im_engine=mozc; fi

# The Windows checks: MinGW-w64, GoogleTest's sources to build with it, and
# Wine to run what it builds (without recommends: no fonts or sound needed).
windows_packages=(g++-mingw-w64-x86-64-posix googletest wine wine64)

# install_missing [--no-install-recommends] PACKAGE...
install_missing() {
  local options=() missing=() p
  if [ "${1:-}" = --no-install-recommends ]; then
    options+=("$1")
    shift
  fi
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${options[@]}" "${missing[@]}"
}

# Processes this script started, ended when it exits.
started=()
stop_started() {
  local p
  for p in "${started[@]}"; do kill "$p" 2>/dev/null || true; done
}
trap stop_started EXIT

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
  started+=($!)
  export DISPLAY=":$n"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
  local port=$((5900 + n))
  x11vnc -display ":$n" -localhost -rfbport "$port" -forever -shared -nopw -quiet \
    >/dev/null 2>&1 &
  started+=($!)
  start_input_method
  echo "Reach it from your own machine with an SSH tunnel:"
  echo "  ssh -L $port:127.0.0.1:$port <this-host>   then open a VNC viewer on localhost:$port"
}

# On the virtual display no input method runs: a session bus of its own and
# fcitx5 with the Japanese engine in its group (a profile in a private
# configuration directory), so that Japanese can be typed through VNC; the
# boxes open and close it themselves, Ctrl+Space switches by hand. On a real
# desktop the user's own input method is used.
start_input_method() {
  local config bus
  config="$(mktemp -d)"
  mkdir -p "$config/fcitx5"
  printf '%s\n' "[Groups/0]" "Name=Default" "Default Layout=us" "DefaultIM=$im_engine" "" \
    "[Groups/0/Items/0]" "Name=keyboard-us" "Layout=" "" \
    "[Groups/0/Items/1]" "Name=$im_engine" "Layout=" "" \
    "[GroupOrder]" "0=Default" >"$config/fcitx5/profile"
  if ! bus="$(dbus-daemon --session --fork --print-address=1 --print-pid=1)"; then
    echo "No session bus could be started: Japanese input is not available."
    return 0
  fi
  export DBUS_SESSION_BUS_ADDRESS="$(sed -n 1p <<<"$bus")"
  started+=("$(sed -n 2p <<<"$bus")")
  XDG_CONFIG_HOME="$config" fcitx5 --disable=wayland,waylandim >"$config/fcitx5.log" 2>&1 &
  started+=($!)
  export QT_IM_MODULE=fcitx XMODIFIERS=@im=fcitx
  for _ in $(seq 50); do
    dbus-send --session --print-reply --dest=org.fcitx.Fcitx5 /controller \
      org.fcitx.Fcitx.Controller1.State >/dev/null 2>&1 && break
    sleep 0.1
  done
  echo "Japanese input: fcitx5 with $im_engine (Ctrl+Space switches it by hand)."
}

case "${1:-}" in
  run)
    install_missing "${packages[@]}"
    install_missing --no-install-recommends "${im_packages[@]}" "fcitx5-$im_engine"
    # Only the program: the tests and benchmarks are for the test command.
    cmake -S "$here" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSIVO_WERROR=OFF \
      >/dev/null
    cmake --build "$build_dir" -j "$(nproc)" --target tessivo
    ensure_display
    "$build_dir/app/tessivo"
    ;;
  package)
    install_missing "${packages[@]}"
    package_dir="$build_dir-package"
    cmake -S "$here" -B "$package_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSIVO_TESTS=OFF \
      -DTESSIVO_BENCH=OFF >/dev/null
    cmake --build "$package_dir" -j "$(nproc)"
    bash "$here/tools/package_check.sh" "$package_dir"
    ;;
  test)
    install_missing "${packages[@]}"
    install_missing --no-install-recommends "${im_packages[@]}" fcitx5-anthy \
      ibus ibus-anthy python3-gi
    install_missing --no-install-recommends "${windows_packages[@]}"
    # A warning fails the test command, as it fails CI.
    build -DTESSIVO_WERROR=ON
    # A private CUPS server with a PDF queue for the printing tests. Without
    # it they skip, and a green run would prove nothing about printing: the
    # other tests still run, then the command fails with the reason.
    # shellcheck source=/dev/null
    source "$here/tools/cups_test_server.sh"
    cups_log="$(mktemp)"
    cups_failed=0
    if cups_test_server_start 2>"$cups_log"; then
      trap 'cups_test_server_stop || true; rm -f "$cups_log"; stop_started' EXIT
    else
      cups_failed=1
      trap 'rm -f "$cups_log"; stop_started' EXIT
      cat "$cups_log" >&2
    fi
    status=0
    (cd "$build_dir" &&
      QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)" --timeout 300) || status=$?
    if [ "$cups_failed" -ne 0 ]; then
      echo "FAILED: the private CUPS server could not be started, so the printing tests did not run:" >&2
      cat "$cups_log" >&2
      exit 1
    fi
    [ "$status" -eq 0 ] || exit "$status"

    echo "== Debian package"
    bash "$here/tools/package_check.sh" "$build_dir"

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

    # Windows: the syntax-only compile of every file against the Qt headers,
    # and under Wine the tests of the parts without windows.
    TESSIVO_WINDOWS_BUILD_DIR="${TESSIVO_WINDOWS_BUILD_DIR:-$build_dir-windows}" \
      TESSIVO_BUILD_DIR="$build_dir" bash "$here/tools/windows_tests.sh"
    ;;
  *)
    echo "usage: bash tools/dev.sh run|package|test" >&2
    exit 2
    ;;
esac
