#!/usr/bin/env bash
# `bash tools/dev.sh test` fails, saying why, when the private CUPS server
# for the printing tests cannot start: skipped printing tests must not leave
# the run green. The build and the test run are stood in for; the server's
# start is real and fails because its cupsd exits at once.
#   dev_test_needs_print_server.sh SOURCE_DIR
set -u
source_dir="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin" "$work/build"
stand_in() { printf '#!/bin/sh\n%s\n' "$2" >"$work/bin/$1"; chmod +x "$work/bin/$1"; }
stand_in dpkg-query 'echo "install ok installed"'
stand_in cmake 'exit 0'
stand_in ctest 'echo "stand-in ctest ran"; exit 0'
stand_in lpadmin 'exit 0'
stand_in cupsd 'echo "stand-in cupsd refuses to start" >&2; exit 1'

output="$(env -u TESSIVO_CUPS_PID -u TESSIVO_CUPS_DIR -u TESSIVO_CUPS_OUTPUT_DIR -u CUPS_SERVER \
  PATH="$work/bin:$PATH" TESSIVO_BUILD_DIR="$work/build" \
  bash "$source_dir/tools/dev.sh" test 2>&1)"
status=$?

failures=0
check() {
  if ! eval "$1"; then
    echo "FAILED: $2"
    failures=$((failures + 1))
  fi
}
check '[ "$status" -ne 0 ]' "dev.sh test exited 0 without a print server"
check 'grep -q "stand-in ctest ran" <<<"$output"' "the other tests did not run"
check 'grep -q "printing tests did not run" <<<"$output"' "no failure line about the printing tests"
check 'grep -q "cups_test_server:" <<<"$output"' "the server's own reason was not shown"
if [ "$failures" -ne 0 ]; then
  echo "--- output of dev.sh test (exit $status) ---"
  echo "$output"
  exit 1
fi
echo "dev.sh test failed as it should (exit $status)"
