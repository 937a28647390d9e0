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
//
//   history_store_writer overwrite <n> <rounds> <tag>
//   history_store_writer delete <n> <rounds>
//
// Overwrites entry n with "<tag>-<i>" as name and memo, or marks it deleted,
// <rounds> times. Before each overwrite it looks at entry n under the writer
// lock (where no write is half done) and counts the times its two records
// were not of one write. Prints "ready", then "done <last i> <broken>".
//
//   history_store_writer mixed <count> <tag>
//
// Registers <count> entries (0: until killed), overwriting the one before
// every third time and deleting the one before that every fifth time; after
// each write has returned prints "<op> <n> <tag>-<i>" (op register,
// overwrite, delete), flushed at once. Prints "ready" first.
//
//   history_store_writer verify
//
// Checks the history against its change log, as tessivo --verify-history
// does, and exits with its status.
//
//   history_store_writer search <name>
//
// Looks for the newest live entry of that name, through the search index
// (built first when it is missing or stale): prints "found <n>", 0 for none.
//
//   history_store_writer rewrite-doctors <milliseconds> <name>
//
// Rewrites the doctor list (EKG_SYS\HOKENNI) as the program does, holding
// the rewrite open that long before it commits: prints "held" once it has
// it, "done" at the end, or "error <number>" when the rewrite cannot start
// (59: another program rewrites it).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <thread>

#include "common/history_format.h"
#include "common/paths.h"
#include "framework/core/error.h"
#include "framework/core/open_file.h"
#include "history/store/search.h"
#include "history/store/store.h"
#include "history/store/verify_command.h"
#include "tests/history/store/tagged_entry.h"

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

common::ExamineeRecord tagged(const std::string& name) {
  common::ExamineeRecord r = tessivo::test::taggedExaminee(name);
  r.ECG_REST = 1;
  return r;
}

// Whether entry n is one write's pair, looked at while no writer works.
bool pairWhole(long n) {
  fw::OpenFile file(common::files::kAttributeFile, fw::FileMode::Record, fw::Share::ReadWrite,
                    common::kHistoryRecordBytes);
  fw::FileLock writer(file, 10000);
  const std::optional<history::Entry> e = history::readEntry(n);
  return e && e->attributes[common::AttributeField::Name] ==
                  e->clinical[common::ClinicalField::Memo];
}

int race(const std::string& what, long n, long rounds, const std::string& tag) {
  std::printf("ready\n");
  std::fflush(stdout);
  long broken = 0;
  try {
    for (long i = 1; i <= rounds; ++i) {
      // The deleter does not stop to look: it runs as often as it can, so
      // that its writes meet the overwriter's; the overwriter looks.
      if (what != "delete" && !pairWhole(n)) ++broken;
      if (what == "delete") {
        history::markDeleted(n);
      } else {
        const common::ExamineeRecord r = tagged(tag + "-" + std::to_string(i));
        history::overwriteEntry(n, common::attributesOf(r, "2024/05/07"),
                                common::clinicalOf(r, "2024/05/07"));
      }
    }
  } catch (const fw::RuntimeError& e) {
    std::printf("error %d\n", e.number());
    return 3;
  }
  std::printf("done %ld %ld\n", rounds, broken);
  return 0;
}

int mixed(long count, const std::string& tag) {
  std::printf("ready\n");
  std::fflush(stdout);
  const fw::Str date = "2024/05/07";
  auto say = [](const char* op, long n, const std::string& name) {
    std::printf("%s %ld %s\n", op, n, name.c_str());
    std::fflush(stdout);
  };
  try {
    for (long i = 1; count == 0 || i <= count; ++i) {
      const common::ExamineeRecord r = tagged(tag + "-" + std::to_string(i));
      const long n = history::appendEntry(common::attributesOf(r, date), common::clinicalOf(r, date));
      say("register", n, r.NAME);
      if (i % 3 == 0 && n > 1) {
        const common::ExamineeRecord o = tagged(tag + "-" + std::to_string(i) + "o");
        history::overwriteEntry(n - 1, common::attributesOf(o, date), common::clinicalOf(o, date));
        say("overwrite", n - 1, o.NAME);
      }
      if (i % 5 == 0 && n > 2 && history::markDeleted(n - 2)) say("delete", n - 2, r.NAME);
    }
  } catch (const fw::RuntimeError& e) {
    std::printf("error %d\n", e.number());
    std::fflush(stdout);
    return 3;
  }
  return 0;
}

int rewriteDoctors(long milliseconds, const std::string& name) {
  try {
    fw::OpenFile file(common::files::kDoctorList, fw::FileMode::Rewrite, fw::Share::ReadOnly);
    std::printf("held\n");
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    fw::writeLine(file, {name});
    file.commit();
  } catch (const fw::RuntimeError& e) {
    std::printf("error %d\n", e.number());
    return 3;
  }
  std::printf("done\n");
  return 0;
}

int searchName(const std::string& name) {
  try {
    const history::SearchKind kind = history::SearchKind::Name;
    const history::Found found =
        history::findNewest(history::Matcher(kind, history::searchKey(kind, name)), {});
    std::printf("found %ld\n", found.entry);
  } catch (const fw::RuntimeError& e) {
    std::printf("error %d\n", e.number());
    return 3;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::string(argv[1]) == "verify") return history::verifyHistoryReport(stdout);
  if (argc == 3 && std::string(argv[1]) == "search") return searchName(argv[2]);
  if (argc == 4 && std::string(argv[1]) == "mixed") {
    return mixed(std::strtol(argv[2], nullptr, 10), argv[3]);
  }
  if (argc == 4 && std::string(argv[1]) == "rewrite-doctors") {
    return rewriteDoctors(std::strtol(argv[2], nullptr, 10), argv[3]);
  }
  if (argc == 4 && std::string(argv[1]) == "lock") {
    return holdRecordLock(std::strtol(argv[2], nullptr, 10), std::strtol(argv[3], nullptr, 10));
  }
  if (argc >= 4 && (std::string(argv[1]) == "overwrite" || std::string(argv[1]) == "delete")) {
    return race(argv[1], std::strtol(argv[2], nullptr, 10), std::strtol(argv[3], nullptr, 10),
                argc >= 5 ? argv[4] : "");
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
      common::ExamineeRecord r = tessivo::test::taggedExaminee(tag + "-" + std::to_string(i));
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
