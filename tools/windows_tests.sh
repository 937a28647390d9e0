#!/usr/bin/env bash
# The Windows part of the test command (bash tools/dev.sh test runs it after
# the Linux suite):
#   1. every program, generator and test file compiled for Windows, syntax
#      only, against Qt's headers (tools/windows_syntax_check.sh);
#   2. the parts without windows (the core, the stored formats, the history
#      store) and their tests cross-built with MinGW-w64
#      (tools/mingw-w64-toolchain.cmake), and the tests run under Wine;
#   3. the IMM32 input-method calls on a plain Win32 window, under Wine;
#   4. a Linux program and a Wine program on one folder (the writer program
#      of the Linux build in TESSIVO_BUILD_DIR, default build/): doctor-list
#      rewrites, registrations, and all kinds of writes at once, with the
#      change log and the search index checked from both sides.
# Tests that fail under Wine only are listed with the reason in
# tools/wine_known_failures.txt: they run apart and do not fail the command;
# any other failure does.
#   bash tools/windows_tests.sh [gtest filter]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="${TESSIVO_WINDOWS_BUILD_DIR:-$here/build-windows}"
linux_build="${TESSIVO_BUILD_DIR:-$here/build}"

status=0
echo "== Windows: syntax-only compile of every file against the Qt headers"
bash "$here/tools/windows_syntax_check.sh" || status=1

echo "== Windows: cross build of the parts without windows ($out)"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$here" -B "$out" -DCMAKE_TOOLCHAIN_FILE="$here/tools/mingw-w64-toolchain.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSIVO_WERROR=ON "${launcher[@]}" >/dev/null
cmake --build "$out" -j "$(nproc)"

export WINEDEBUG=-all WINEPREFIX="$out/wine"
known=()
while read -r name _; do
  [ -n "$name" ] && [ "${name:0:1}" != "#" ] && known+=("$name")
done <"$here/tools/wine_known_failures.txt"
exclude="$(IFS=:; echo "${known[*]}")"

for program in core_tests history_store_tests; do
  echo "== Wine: $program"
  filter="${1:-*}-$exclude"
  wine "$out/tests/$program.exe" --gtest_filter="$filter" || status=1
done

# Windows need a display under Wine: a virtual one of their own. The Wine
# server of the runs above lingers for a few seconds with no display, and a
# window asked of it then fails: it is ended first.
echo "== Wine: the IMM32 input-method calls on a plain Win32 window"
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
xvfb-run -a wine "$out/tests/imm32_tests.exe" || status=1
# That server outlives its display by a few seconds: the next programs get
# a server of their own.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true

echo "== Linux and Wine on one folder: doctor-list rewrites, registrations, all writes at once"
bash "$here/tools/mixed_writers_test.sh" "$linux_build/tests/history_store_writer" \
  "$out/tests/history_store_writer.exe" || status=1

echo "== Wine: the tests that fail under Wine only (not counted)"
for program in core_tests history_store_tests; do
  wine "$out/tests/$program.exe" --gtest_filter="$exclude" --gtest_brief=1 2>&1 |
    grep -E '^\[  (FAILED|PASSED) ' | grep -v 'listed below' || true
done
while read -r name reason; do
  [ -n "$name" ] && [ "${name:0:1}" != "#" ] && echo "  $name: $reason"
done <"$here/tools/wine_known_failures.txt"

[ "$status" -eq 0 ] || { echo "FAILED: a Windows check failed (see above)" >&2; exit 1; }
echo "Windows checks passed."
