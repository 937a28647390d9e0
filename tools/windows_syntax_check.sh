#!/usr/bin/env bash
# Compiles every program, generator and test file of Tessivo for Windows,
# syntax only: MinGW-w64 GCC against Debian's Qt 6 headers (the
# same headers as Qt's Windows ones apart from a few configuration headers;
# Qt for Windows itself is not available here, so nothing is linked). The
# files of the POSIX side of a seam are left out, their Win32 counterparts
# are in. Prints each failing file's errors and the count; exits 1 when any.
#   bash tools/windows_syntax_check.sh [FILE ...]
set -uo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"
qt=/usr/include/x86_64-linux-gnu/qt6
cxx=(x86_64-w64-mingw32-g++-posix -std=c++20 -fsyntax-only -Wall -Wextra -Wno-attributes
     -DUNICODE -D_UNICODE -DQT_NO_DEBUG -I"$here" -I"$qt")
for m in QtCore QtGui QtWidgets QtPrintSupport; do cxx+=(-I"$qt/$m"); done
cxx+=(-isystem /usr/src/googletest/googletest/include -isystem /usr/src/googletest/googlemock/include
      "-DTESSIVO_TEST_DATA_DIR=\"tests/data\""
      "-DTESSIVO_SOURCE_DIR=\"$here\"" "-DTESSIVO_TEST_LOCALE_DIR=\"\""
      "-DTESSIVO_STORE_WRITER=\"history_store_writer.exe\""
      "-DTESSIVO_VERSION=\"0\"" "-DTESSIVO_PROGRAM=\"tessivo.exe\""
      "-DTESSIVO_WINDOW_PICTURES=\"tessivo_window_pictures.exe\"")

if [ $# -gt 0 ]; then
  files=("$@")
else
  # The POSIX halves of the seams stay out, and so do what is built on
  # Linux only: the fuzz targets (libFuzzer), the benchmarks and the
  # input-method tests (fcitx5 and IBus over D-Bus).
  mapfile -t files < <(git ls-files --cached --others --exclude-standard '*.cpp' | grep -v -E \
    '(^tests/fuzz/|^bench/|^tests/ime/|os_posix\.cpp$|ime_dbus\.cpp$|_posix\.cpp$)')
fi

# Each file in its own compiler run, two at a time. Google Benchmark's
# header from the Linux package, alone (not the rest of /usr/include).
log="$(mktemp -d)"
trap 'rm -rf "$log"' EXIT
mkdir "$log/include"
[ -d /usr/include/benchmark ] && ln -s /usr/include/benchmark "$log/include/benchmark"
cxx+=(-isystem "$log/include")
printf '%s\n' "${files[@]}" |
  xargs -P 2 -I{} sh -c '"$@" "{}" >"'"$log"'/$(echo "{}" | tr / _).log" 2>&1' _ "${cxx[@]}"
errors=0
failed=0
for f in "${files[@]}"; do
  l="$log/$(echo "$f" | tr / _).log"
  n=$(grep -c ' error: ' "$l" || true)
  if [ "$n" -gt 0 ]; then
    failed=$((failed + 1))
    errors=$((errors + n))
    grep ' error: ' "$l" | head -5
  fi
done
echo "Windows syntax check: ${#files[@]} files, $failed with errors, $errors errors."
[ "$errors" -eq 0 ]
