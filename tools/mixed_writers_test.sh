#!/usr/bin/env bash
# A Linux program and a Windows program (under Wine) on one folder, as a
# Linux and a Windows computer on one shared folder: while one rewrites the
# doctor list the other cannot start its own rewrite (error 59), either way
# round; and registering at once, every append of each is acknowledged under
# a number of its own, and every entry's two records carry the same writer's
# tag; registering, overwriting and deleting at once, every entry's two
# records are still of one write, and the change log accounts for every
# entry, checked from both sides, and the search index the two kept up
# is the one either builds anew.
#   bash tools/mixed_writers_test.sh LINUX_WRITER WINDOWS_WRITER.exe
set -euo pipefail
linux_writer="$(realpath "$1")"
windows_writer="$(realpath "$2")"
count=300
dir="$(mktemp -d)"
trap 'rm -rf "$dir"' EXIT
mkdir "$dir/EKG_DATA" "$dir/EKG_SYS"
cd "$dir"

# rewrite_excluded HOLDER... -- OTHER...: OTHER's rewrite meets HOLDER's.
rewrite_excluded() {
  local holder=() other=()
  while [ "$1" != -- ]; do holder+=("$1"); shift; done
  shift
  other=("$@")
  "${holder[@]}" rewrite-doctors 4000 holder >held.out &
  local pid=$!
  for _ in $(seq 300); do grep -q held held.out 2>/dev/null && break; sleep 0.1; done
  grep -q held held.out || { echo "the first rewrite did not start" >&2; return 1; }
  local answer
  answer="$("${other[@]}" rewrite-doctors 0 other | tr -d '\r' || true)"
  wait "$pid"
  if [ "$answer" != "error 59" ]; then
    echo "a second rewrite of the doctor list ran beside the first: $answer" >&2
    return 1
  fi
  [ "$(tr -d '\r' <held.out | tail -1)" = done ] || { echo "the first rewrite failed" >&2; return 1; }
}
rewrite_excluded wine "$windows_writer" -- "$linux_writer"
rewrite_excluded "$linux_writer" -- wine "$windows_writer"
echo "doctor-list rewrites of Linux and Wine exclude each other"
# Wine starts slowly: the Linux writer starts once the Windows one is ready.
wine "$windows_writer" "$count" wine >wine.out &
wine_pid=$!
for _ in $(seq 300); do grep -q ready wine.out 2>/dev/null && break; sleep 0.1; done
linux_status=0 wine_status=0
"$linux_writer" "$count" linux >linux.out || linux_status=$?
wait "$wine_pid" || wine_status=$?
if [ "$linux_status" -ne 0 ] || [ "$wine_status" -ne 0 ]; then
  echo "a writer failed (Linux: exit $linux_status, Wine: exit $wine_status); their last lines:" >&2
  tail -n 3 linux.out wine.out >&2
  exit 1
fi
python3 - "$count" <<'PY'
import sys
count = int(sys.argv[1])
record = 2000
attributes = open("EKG_DATA/EKGDATA_1", "rb").read()
clinical = open("EKG_DATA/EKGDATA_2", "rb").read()
numbers = {}
for name in ("linux.out", "wine.out"):
    acks = [l.split() for l in open(name, encoding="ascii").read().split("\n")[1:] if l.strip()]
    assert len(acks) == count, f"{name}: {len(acks)} acknowledged of {count}"
    for n, tag in acks:
        assert n not in numbers, f"entry {n} acknowledged to both writers"
        numbers[n] = tag
assert len(attributes) == len(clinical) == 2 * count * record, "files of other sizes"
for n, tag in numbers.items():
    at = (int(n) - 1) * record
    for data in (attributes, clinical):
        assert tag.encode() in data[at:at + record], f"entry {n} is not {tag}'s pair"
wine = sorted(int(n) for n, tag in numbers.items() if tag.startswith("wine"))
between = [n for n, tag in numbers.items() if tag.startswith("linux") and wine[0] < int(n) < wine[-1]]
print(f"{len(between)} Linux entries among the Wine ones")
print(f"{2 * count} entries from Linux and Wine, each pair whole")
PY

# Registrations, overwrites and deletions of both at once, in a new folder.
mkdir "$dir/mixed" "$dir/mixed/EKG_DATA" "$dir/mixed/EKG_SYS"
cd "$dir/mixed"
# One entry and a search first, so that there is an index to keep up.
"$linux_writer" 1 seed >/dev/null
"$linux_writer" search seed-1 >/dev/null
wine "$windows_writer" mixed 150 wine >wine.out &
wine_pid=$!
for _ in $(seq 300); do grep -q ready wine.out 2>/dev/null && break; sleep 0.1; done
linux_status=0 wine_status=0
"$linux_writer" mixed 150 linux >linux.out || linux_status=$?
wait "$wine_pid" || wine_status=$?
if [ "$linux_status" -ne 0 ] || [ "$wine_status" -ne 0 ]; then
  echo "a mixed writer failed (Linux: exit $linux_status, Wine: exit $wine_status); their last lines:" >&2
  tail -n 3 linux.out wine.out >&2
  exit 1
fi
python3 - <<'PY'
import re
record = 2000
attributes = open("EKG_DATA/EKGDATA_1", "rb").read()
clinical = open("EKG_DATA/EKGDATA_2", "rb").read()
assert len(attributes) == len(clinical) == 301 * record, "files of other sizes"
tag = re.compile(rb"(?:seed|linux|wine)-\d+o?")
for at in range(0, len(attributes), record):
    a = tag.search(attributes[at:at + record])
    c = tag.search(clinical[at:at + record])
    assert a and c and a.group() == c.group(), f"entry {at // record + 1}'s records are of two writes"
print("300 entries registered, overwritten and deleted from Linux and Wine, each pair whole")
PY
"$linux_writer" verify >verify-linux.out || { cat verify-linux.out >&2; exit 1; }
wine "$windows_writer" verify >verify-wine.out || { cat verify-wine.out >&2; exit 1; }
echo "the change log accounts for every entry, as Linux and as Wine read it"

# The index both kept up to date, against one Linux and one Wine build anew:
# the same entries (the header holds the file's time, which differs).
cp EKG_DATA/EKGDATA_1.idx kept.idx
rm EKG_DATA/EKGDATA_1.idx
"$linux_writer" search linux-150 >search-linux.out
cp EKG_DATA/EKGDATA_1.idx linux.idx
rm EKG_DATA/EKGDATA_1.idx
wine "$windows_writer" search linux-150 | tr -d '\r' >search-wine.out
python3 - <<'PY'
record = 80
kept, linux, wine = (open(name, "rb").read()[record:]
                     for name in ("kept.idx", "linux.idx", "EKG_DATA/EKGDATA_1.idx"))
assert len(kept) == 301 * record, f"the kept index covers {len(kept) // record} entries"
assert kept == linux, "the index kept up by both is not the one Linux builds"
assert kept == wine, "the index kept up by both is not the one Wine builds"
PY
cmp -s search-linux.out search-wine.out || { echo "Linux and Wine found different entries" >&2; exit 1; }
echo "the search index kept up by both is the one either builds anew"
