// The change log: versions and bringing one back, the check against
// tampering and against writes that do not log, old histories, and changes
// stopped between the log line and the history.
#include "history/store/change_log.h"
#include "history/store/verify_command.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/clock.h"
#include "framework/core/cp932.h"
#include "framework/core/error.h"
#include "framework/core/files.h"
#include "tests/support/temp_dir.h"

using namespace fw::literals;
using common::AttributeField;
using history::changelog::Operation;
using tessivo::test::TempCwd;
namespace changelog = history::changelog;

namespace {

constexpr const char* kLog = "EKG_DATA/EKGDATA_LOG";
constexpr const char* kAttributes = "EKG_DATA/EKGDATA_1";
constexpr const char* kClinical = "EKG_DATA/EKGDATA_2";

long append(const std::string& name, const std::string& memo = "m") {
  common::ExamineeRecord r;
  r.NAME = name;
  r.MEMO = memo;
  return history::appendEntry(common::attributesOf(r, "2024/05/07"),
                              common::clinicalOf(r, "2024/05/07"));
}

void overwrite(long n, const std::string& name, const std::string& memo = "m2") {
  common::ExamineeRecord r;
  r.NAME = name;
  r.MEMO = memo;
  ASSERT_EQ(history::overwriteEntry(n, common::attributesOf(r, "2024/06/01"),
                                    common::clinicalOf(r, "2024/06/01")),
            history::EntryCheck::Current);
}

std::string recordBytes(const std::string& file, long n, const TempCwd& dir) {
  return dir.read(file).substr(static_cast<std::size_t>(n - 1) * 2000, 2000);
}

std::vector<std::string> logLines(const TempCwd& dir) {
  std::vector<std::string> lines;
  const std::string text = dir.read(kLog);
  for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
       start = end + 1) {
    lines.push_back(text.substr(start, end - start + 1));
  }
  return lines;
}

void writeLines(const TempCwd& dir, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& l : lines) text += l;
  dir.write(kLog, text);
}

class ChangeLog : public ::testing::Test {
 protected:
  void SetUp() override {
    fw::makeDirectory("EKG_DATA");
    fw::setClock([] { return fw::LocalTime{2026, 12, 9, 21, 5, 3}; });
  }
  void TearDown() override { fw::setClock({}); }
  TempCwd dir_;
};

TEST_F(ChangeLog, EveryWriteIsAVersionAndAnEarlierOneComesBackByteForByte) {
  append("first");
  const long n = append("yamada", "memo-a");
  const std::string attributeBefore = recordBytes(kAttributes, n, dir_);
  const std::string clinicalBefore = recordBytes(kClinical, n, dir_);
  overwrite(n, "tanaka", "memo-b");
  ASSERT_TRUE(history::markDeleted(n));

  std::vector<changelog::Version> versions = changelog::versionsOf(n);
  ASSERT_EQ(versions.size(), 3u);
  EXPECT_EQ(versions[0].madeBy, Operation::Delete);
  EXPECT_TRUE(versions[0].current);
  EXPECT_EQ(versions[1].madeBy, Operation::Overwrite);
  EXPECT_EQ(versions[2].madeBy, Operation::Register);
  EXPECT_EQ(versions[2].time, "2026-12-09T21:05:03");
  EXPECT_FALSE(versions[2].user.empty());
  EXPECT_EQ(*versions[2].attributeRecord, attributeBefore);

  const history::RecordStamp stamp = history::readEntry(n)->stamp;
  ASSERT_EQ(changelog::restoreVersion(n, versions[2], stamp), history::EntryCheck::Current);
  EXPECT_EQ(recordBytes(kAttributes, n, dir_), attributeBefore);
  EXPECT_EQ(recordBytes(kClinical, n, dir_), clinicalBefore);
  // Bringing back is a change like any other, checked against its stamp.
  versions = changelog::versionsOf(n);
  ASSERT_EQ(versions.size(), 4u);
  EXPECT_EQ(versions[0].madeBy, Operation::Restore);
  EXPECT_EQ(changelog::restoreVersion(n, versions[2], stamp), history::EntryCheck::Changed);

  const changelog::Verification v = changelog::verify();
  EXPECT_TRUE(v.consistent());
  EXPECT_EQ(v.lines, 1 + 2 + 1 + 1 + 1);  // start, two registrations, …
  EXPECT_EQ(v.entries, 2);
  EXPECT_EQ(v.beforeLog, 0);
}

TEST_F(ChangeLog, AnOldHistoryStartsItsLogAtTheFirstChange) {
  append("old-1");
  append("old-2");
  append("old-3");
  fw::removeFile("EKG_DATA\\EKGDATA_LOG");
  EXPECT_TRUE(changelog::verify().consistent());
  EXPECT_EQ(changelog::verify().beforeLog, 3);
  EXPECT_TRUE(changelog::versionsOf(2).empty());

  overwrite(2, "changed");
  append("new");
  const changelog::Verification v = changelog::verify();
  EXPECT_TRUE(v.consistent());
  EXPECT_EQ(v.beforeLog, 2);
  EXPECT_EQ(v.lines, 3);
  // The entry's version from before the log is kept with its first change.
  const auto versions = changelog::versionsOf(2);
  ASSERT_EQ(versions.size(), 2u);
  EXPECT_EQ(versions[1].madeBy, Operation::Start);
  EXPECT_EQ(common::decodeAttributes(*versions[1].attributeRecord)[AttributeField::Name], "old-2");
}

// Each kind of tampering, and the entries the check names for it.
TEST_F(ChangeLog, TamperingIsReportedWithItsEntry) {
  for (int i = 1; i <= 4; ++i) append("e" + std::to_string(i));
  overwrite(2, "e2b");
  overwrite(3, "e3b");
  const std::string log = dir_.read(kLog);
  const std::string attributes = dir_.read(kAttributes);
  const std::vector<std::string> lines = logLines(dir_);  // start, 4 registers, 2 overwrites
  ASSERT_EQ(lines.size(), 7u);
  struct Case {
    const char* what;
    std::vector<std::string> lines;
    std::vector<std::pair<long, long>> breaks;  // (line, entry it names)
    std::vector<long> outside;
  };
  std::vector<Case> cases{
      {"the time of entry 3's registration edited", lines, {{4, 3}}, {}},
      {"the computer of entry 2's registration edited", lines, {{3, 2}}, {}},
      {"entry 2's overwrite removed", lines, {{6, 3}}, {2}},
      {"entry 3's overwrite, the last line, removed", lines, {}, {3}},
      {"two registrations swapped", lines, {{2, 2}, {3, 1}, {4, 3}}, {}},
  };
  cases[0].lines[3].replace(cases[0].lines[3].find("21:05:03"), 8, "21:05:04");
  cases[1].lines[2].insert(cases[1].lines[2].find(" - ") + 3, "x");
  cases[2].lines.erase(cases[2].lines.begin() + 5);
  cases[3].lines.pop_back();
  std::swap(cases[4].lines[1], cases[4].lines[2]);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    writeLines(dir_, c.lines);
    const changelog::Verification v = changelog::verify();
    std::vector<std::pair<long, long>> breaks;
    for (const auto& b : v.breaks) breaks.emplace_back(b.line, b.n);
    EXPECT_EQ(breaks, c.breaks);
    EXPECT_EQ(v.changedOutside, c.outside);
    EXPECT_FALSE(v.consistent());
  }
  // The log as written, and entry 2's name changed by another program.
  dir_.write(kLog, log);
  EXPECT_TRUE(changelog::verify().consistent());
  std::string edited = attributes;
  edited[2000 + 85] = 'X';
  dir_.write(kAttributes, edited);
  changelog::Verification v = changelog::verify();
  EXPECT_TRUE(v.breaks.empty());
  EXPECT_EQ(v.changedOutside, std::vector<long>{2});
  // An entry appended by a program that does not log, and one cut off.
  dir_.write(kAttributes, attributes + attributes.substr(0, 2000));
  v = changelog::verify();
  EXPECT_EQ(v.changedOutside, std::vector<long>{5});
  dir_.write(kAttributes, attributes.substr(0, 3 * 2000));
  EXPECT_EQ(changelog::verify().changedOutside, std::vector<long>{4});
}

TEST_F(ChangeLog, AChangeStoppedAfterItsLogLineIsNotAppliedAndVoidedByTheNextWrite) {
  append("a");
  const std::string clinicalBefore = recordBytes(kClinical, 1, dir_);
  changelog::stopAfterNextLogLineForTesting();
  EXPECT_THROW(overwrite(1, "never"), fw::RuntimeError);
  changelog::Verification v = changelog::verify();
  EXPECT_TRUE(v.consistent());
  EXPECT_EQ(v.notApplied, 1);
  EXPECT_EQ(changelog::versionsOf(1).size(), 1u);

  // Killed between the clinical and the attribute record: half an
  // overwrite, which the check reports and the next write puts back.
  common::ExamineeRecord r;
  r.NAME = "half";
  r.MEMO = "half";
  changelog::stopAfterNextLogLineForTesting();
  EXPECT_THROW(history::overwriteEntry(1, common::attributesOf(r, "2024/06/01"),
                                       common::clinicalOf(r, "2024/06/01")),
               fw::RuntimeError);
  std::string clinical = dir_.read(kClinical);
  clinical.replace(0, 2000, common::encode(common::clinicalOf(r, "2024/06/01")));
  dir_.write(kClinical, clinical);
  EXPECT_EQ(changelog::verify().changedOutside, std::vector<long>{1});

  append("b");
  EXPECT_EQ(recordBytes(kClinical, 1, dir_), clinicalBefore);
  v = changelog::verify();
  EXPECT_TRUE(v.consistent());
  EXPECT_EQ(v.notApplied, 2);
  const std::vector<std::string> lines = logLines(dir_);
  EXPECT_NE(lines[lines.size() - 2].find(" void 1 "), std::string::npos);

  // A line cut off by a kill inside its write is taken back by the next.
  dir_.write(kLog, dir_.read(kLog) + "9 2026-12-09T21:05:03 regis");
  append("c");
  v = changelog::verify();
  EXPECT_TRUE(v.consistent());
  EXPECT_EQ(v.entries, 3);
}

// A log that cannot be written stops the change: the history stays as it was.
TEST_F(ChangeLog, NoChangeWithoutItsLine) {
  append("a");
  const std::string attributes = dir_.read(kAttributes);
  fw::failWritesAfterForTesting(0);
  EXPECT_THROW(append("b"), fw::RuntimeError);
  EXPECT_THROW(history::markDeleted(1), fw::RuntimeError);
  fw::failWritesAfterForTesting(-1);
  EXPECT_EQ(dir_.read(kAttributes), attributes);
  EXPECT_TRUE(changelog::verify().consistent());
}

// The command line: its report and its exit status.
TEST_F(ChangeLog, VerifyCommandReportsAndExitsByTheResult) {
  auto run = [](std::string* report) {
    std::FILE* out = std::tmpfile();
    const int code = history::verifyHistoryReport(out);
    std::rewind(out);
    char buf[4096];
    report->assign(buf, std::fread(buf, 1, sizeof buf, out));
    std::fclose(out);
    return code;
  };
  std::string report;
  EXPECT_EQ(run(&report), 0);
  append("a");
  append("b");
  EXPECT_EQ(run(&report), 0);
  EXPECT_NE(report.find(fw::toUtf8("履歴 "_sj) + "2"), std::string::npos) << report;
  std::string attributes = dir_.read(kAttributes);
  attributes[2000] = 'Z';
  dir_.write(kAttributes, attributes);
  EXPECT_EQ(run(&report), 1);
  EXPECT_NE(report.find(fw::toUtf8("履歴"_sj) + " 2\n"), std::string::npos) << report;
}

}  // namespace
