#!/bin/bash
# A number search over the benchmark's 200 000-entry history with a cold
# cache, on a disk held to 40 MB/s (a network share of a clinic), plainly
# and through the search index: runs the Cold benchmarks of
# history_search_bench inside a block-I/O cgroup with a read limit.
#
#   bench/slow_disk_search.sh [path/to/history_search_bench] [bytes per second]
#
# Needs root and the cgroup block-I/O controller (v1 blkio or v2 io), and a
# temporary directory on a real block device (not tmpfs); it says so and
# stops when the machine does not allow it. The history is written where
# TMPDIR points.
set -euo pipefail

bench=${1:-build/bench/history_search_bench}
rate=${2:-41943040}  # 40 MB/s
tmp=${TMPDIR:-/tmp}

fail() { echo "slow_disk_search: $*" >&2; exit 2; }

[ -x "$bench" ] || fail "no benchmark at $bench (build with -DTESSIVO_BENCH=ON)"
[ "$(id -u)" = 0 ] || fail "a read limit needs root"

source=$(findmnt -no SOURCE --target "$tmp") || fail "cannot tell the disk of $tmp"
[ -b "$source" ] || fail "$tmp is on $source, not a block device: nothing to hold back"
disk=$(lsblk -no PKNAME "$source" | head -n1)
[ -n "$disk" ] && source=/dev/$disk
device=$(lsblk -dno MAJ:MIN "$source" | tr -d ' ')

group=""
cleanup() { [ -n "$group" ] && rmdir "$group" 2>/dev/null || true; }
trap cleanup EXIT
if [ -f /sys/fs/cgroup/blkio/blkio.throttle.read_bps_device ]; then
  group=/sys/fs/cgroup/blkio/tessivo_slow_disk_$$
  mkdir "$group"
  echo "$device $rate" >"$group/blkio.throttle.read_bps_device"
  join="$group/tasks"
elif grep -qw io /sys/fs/cgroup/cgroup.controllers 2>/dev/null; then
  echo +io >/sys/fs/cgroup/cgroup.subtree_control 2>/dev/null || true
  group=/sys/fs/cgroup/tessivo_slow_disk_$$
  mkdir "$group"
  echo "$device rbps=$rate" >"$group/io.max"
  join="$group/cgroup.procs"
else
  fail "no block-I/O cgroup controller here (v1 blkio or v2 io)"
fi

echo "disk $source ($device) held to $((rate / 1048576)) MB/s; load: $(uptime)"
# The subshell joins the group; the benchmark and its reads inherit it.
(
  echo $BASHPID >"$join"
  QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} "$bench" --benchmark_filter='BM_ColdNumberSearch'
)
