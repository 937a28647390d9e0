// A second program registering entries, for the tests that run appends in
// several processes or kill a writer at random moments.
//
//   history_store_writer <count> <tag>
//
// Appends <count> entries (0: until killed) to the history of the current
// directory through history::appendEntry. Entry i carries "<tag>-<i>" as its
// name (attribute record) and as its memo (clinical record), so a reader can
// tell whether the two records of an entry belong together. Prints "ready"
// once, then "<n> <tag>-<i>" after each append has returned, flushed at once:
// a line on the pipe means the store had acknowledged that entry. A runtime
// error prints "error <number>" and exits 3.
//
//   history_store_writer lock <n> <milliseconds>
//
// Holds the record lock of attribute record n, as marking a deletion does,
// for that long: prints "locked" once it holds it.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "common/history_format.h"
#include "common/paths.h"
#include "framework/core/error.h"
#include "framework/core/open_file.h"
#include "history/store.h"

namespace {

int holdRecordLock(long n, long milliseconds) {
  fw::OpenFile file(common::files::kAttributeFile, fw::FileMode::RecordExisting,
                    fw::Share::ReadWrite, common::kHistoryRecordBytes);
  fw::lockRecord(file, n);
  std::printf("locked\n");
  std::fflush(stdout);
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  fw::unlockRecord(file, n);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "lock") {
    return holdRecordLock(std::strtol(argv[2], nullptr, 10), std::strtol(argv[3], nullptr, 10));
  }
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <count> <tag> | lock <n> <milliseconds>\n", argv[0]);
    return 2;
  }
  const long count = std::strtol(argv[1], nullptr, 10);
  const std::string tag = argv[2];
  std::printf("ready\n");
  std::fflush(stdout);
  try {
    for (long i = 1; count == 0 || i <= count; ++i) {
      common::ExamineeRecord r;
      r.NAME = tag + "-" + std::to_string(i);
      r.MEMO = r.NAME;
      r.EXAM_NO = std::to_string(i);
      r.SEX_MALE = i % 2;
      r.ECG_REST = 1;
      const fw::Str date = "2024/05/07";
      const long n =
          history::appendEntry(common::attributesOf(r, date), common::clinicalOf(r, date));
      std::printf("%ld %s\n", n, r.NAME.c_str());
      std::fflush(stdout);
    }
  } catch (const fw::RuntimeError& e) {
    std::printf("error %d\n", e.number());
    std::fflush(stdout);
    return 3;
  }
  return 0;
}
