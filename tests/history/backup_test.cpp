// The daily backup: one a day and only after a change, thinned to the newest
// thirty, whole while another program registers, and a failure told once
// without stopping the program.
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "common/history_format.h"
#include "framework/core/clock.h"
#include "framework/core/files.h"
#include "framework/form/dialogs.h"
#include "history/backup.h"
#include "history/store.h"
#include "history/texts.h"
#include "tests/entry/entry_fixture.h"
#include "tests/history/history_files.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"

namespace history_test {
namespace {

namespace fs = std::filesystem;
using history::BackupOutcome;
using history::takeDailyBackup;

fw::LocalTime day(int year, int month, int d) { return {year, month, d, 9, 0, 0}; }

std::vector<std::string> dayFolders() {
  std::vector<std::string> names;
  if (!fs::exists("EKG_BACKUP")) return names;
  for (const auto& e : fs::directory_iterator("EKG_BACKUP")) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

class BackupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setDay(day(2024, 5, 7));
    files.addNumbered(2).write();
    fs::create_directories("EKG_SYS");
    HistoryFiles::writeFile("EKG_SYS/INSA_FO", "1");
  }
  void TearDown() override {
    fw::setClock({});
    fw::failWritesAfterForTesting(-1);
  }
  void setDay(fw::LocalTime t) {
    fw::setClock([t] { return t; });
  }
  static void oldBackup(const std::string& name) {
    fs::create_directories("EKG_BACKUP/" + name + "/EKG_DATA");
    HistoryFiles::writeFile("EKG_BACKUP/" + name + "/EKG_DATA/EKGDATA_1", "old");
  }

  tessivo::test::TempCwd cwd;
  HistoryFiles files;
};

TEST_F(BackupTest, OneBackupADayAndAnotherOnlyAfterAChange) {
  const auto first = takeDailyBackup();
  ASSERT_EQ(first.outcome, BackupOutcome::Taken) << first.error;
  EXPECT_EQ(first.folder, "EKG_BACKUP\\20240507");
  for (const char* name : {"EKG_DATA/EKGDATA_1", "EKG_DATA/EKGDATA_2", "EKG_SYS/INSA_FO"}) {
    EXPECT_EQ(cwd.read(std::string("EKG_BACKUP/20240507/") + name), cwd.read(name)) << name;
  }
  // A second start the same day.
  EXPECT_EQ(takeDailyBackup().outcome, BackupOutcome::AlreadyTaken);
  setDay(day(2024, 5, 8));
  EXPECT_EQ(takeDailyBackup().outcome, BackupOutcome::Unchanged);
  EXPECT_EQ(dayFolders(), std::vector<std::string>{"20240507"});

  history::appendEntry(common::attributesOf(examinee("3", "c"), "2024/05/08"),
                       common::clinicalOf(examinee("3", "c"), "2024/05/08"));
  ASSERT_EQ(takeDailyBackup().outcome, BackupOutcome::Taken);
  EXPECT_EQ(dayFolders(), (std::vector<std::string>{"20240507", "20240508"}));
  EXPECT_EQ(cwd.read("EKG_BACKUP/20240508/EKG_DATA/EKGDATA_1").size(), 3u * 2000);
  EXPECT_EQ(cwd.read("EKG_BACKUP/20240507/EKG_DATA/EKGDATA_1").size(), 2u * 2000);

  // A settings change counts as well, and so does a file that went away.
  setDay(day(2024, 5, 9));
  fs::remove("EKG_SYS/INSA_FO");
  EXPECT_EQ(takeDailyBackup().outcome, BackupOutcome::Taken);
  EXPECT_FALSE(cwd.exists("EKG_BACKUP/20240509/EKG_SYS/INSA_FO"));
}

TEST_F(BackupTest, TheThirtyFirstIsThinnedToThirtyAndNothingElseIsTouched) {
  for (int d = 1; d <= 30; ++d) oldBackup("202404" + std::string(d < 10 ? "0" : "") + std::to_string(d));
  // Not backups of ours: kept as they are.
  fs::create_directories("EKG_BACKUP/keep");
  // A folder outside, reachable through a link in the oldest backup: the
  // removal must take the link, never what it points to.
  tessivo::test::TempDir outside;
  HistoryFiles::writeFile(outside.file("precious"), "x");
  fs::create_directory_symlink(outside.path(), "EKG_BACKUP/20240401/link");
  // A backup cut off on an earlier day, and one of today that another
  // program may still be writing.
  fs::create_directories("EKG_BACKUP/20240506.part/EKG_DATA");
  fs::create_directories("EKG_BACKUP/20240507.part/EKG_DATA");

  const auto result = takeDailyBackup();
  ASSERT_EQ(result.outcome, BackupOutcome::Taken) << result.error;
  const std::vector<std::string> left = dayFolders();
  EXPECT_EQ(left.size(), 32u);  // thirty days, today's other part and "keep"
  EXPECT_EQ(left.front(), "20240402");
  EXPECT_EQ(left[left.size() - 3], "20240507");
  EXPECT_EQ(left[left.size() - 2], "20240507.part");
  EXPECT_EQ(left.back(), "keep");
  EXPECT_TRUE(fs::exists(outside.file("precious")));
}

// The writer lock is what keeps a backup whole: without it a copy taken
// between the two records of an append holds one more attribute record than
// clinical records.
TEST_F(BackupTest, BackupTakenWhileAnotherProgramRegistersHoldsWholeEntries) {
  int toParent[2];
  int toChild[2];
  ASSERT_EQ(pipe(toParent), 0);
  ASSERT_EQ(pipe(toChild), 0);
  // The other program registers until told to stop: however busy the
  // machine, the backups are taken while it writes.
  constexpr int kMostAppends = 5000;
  constexpr int kBackupsWanted = 5;
  const pid_t child = fork();
  if (child == 0) {
    int code = 0;
    try {
      [[maybe_unused]] ssize_t sent = write(toParent[1], "g", 1);
      pollfd stop{toChild[0], POLLIN, 0};
      for (int i = 0; i < kMostAppends && poll(&stop, 1, 0) == 0; ++i) {
        const auto r = examinee(std::to_string(100 + i), "w");
        history::appendEntry(common::attributesOf(r, "2024/05/07"),
                             common::clinicalOf(r, "2024/05/07"));
      }
    } catch (const std::exception& e) {
      // The parent's failure message cannot tell why the registering stopped.
      std::fprintf(stderr, "the registering program stopped: %s\n", e.what());
      code = 1;
    }
    _exit(code);
  }
  char go = 0;
  ASSERT_EQ(read(toParent[0], &go, 1), 1);
  int backups = 0;
  int status = 0;
  bool reaped = false;
  for (int i = 0; i < 300 && !reaped && backups < kBackupsWanted; ++i) {
    reaped = waitpid(child, &status, WNOHANG) == child;
    setDay(day(2025, 1 + i / 28, 1 + i % 28));
    const auto result = takeDailyBackup();
    ASSERT_NE(result.outcome, BackupOutcome::Failed) << result.error;
    if (result.outcome != BackupOutcome::Taken) continue;
    ++backups;
    const std::string base = fw::osPath(result.folder) + "/EKG_DATA/";
    const auto attributes = fs::file_size(base + "EKGDATA_1");
    const auto clinical = fs::file_size(base + "EKGDATA_2");
    EXPECT_EQ(attributes % 2000, 0u);
    EXPECT_EQ(attributes, clinical) << "backup " << result.folder;
  }
  [[maybe_unused]] ssize_t sent = write(toChild[1], "s", 1);
  if (!reaped) waitpid(child, &status, 0);
  for (int end : {toParent[0], toParent[1], toChild[0], toChild[1]}) ::close(end);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_GT(backups, 1);
}

// Two copies of the program on one shared folder start on the same morning:
// one takes the day's backup, the other finds it taken; neither tells the
// operator of a failure, and no half copy is left.
TEST_F(BackupTest, TwoProgramsStartingTogetherTakeOneBackup) {
  constexpr int kDays = 12;
  for (int d = 1; d <= kDays; ++d) {
    SCOPED_TRACE("day " + std::to_string(d));
    setDay(day(2025, 3, d));
    files.addNumbered(1).write();  // something changed since yesterday
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    pid_t children[2];
    for (pid_t& child : children) {
      child = fork();
      if (child == 0) {
        char start = 0;
        [[maybe_unused]] ssize_t got = read(go[0], &start, 1);
        _exit(static_cast<int>(takeDailyBackup().outcome));
      }
    }
    [[maybe_unused]] ssize_t sent = write(go[1], "gg", 2);
    std::vector<BackupOutcome> outcomes;
    for (pid_t child : children) {
      int status = 0;
      waitpid(child, &status, 0);
      ASSERT_TRUE(WIFEXITED(status));
      outcomes.push_back(static_cast<BackupOutcome>(WEXITSTATUS(status)));
    }
    ::close(go[0]);
    ::close(go[1]);
    // The other finds the day's backup, or a newest backup equal to the
    // files, depending on when it looked.
    std::sort(outcomes.begin(), outcomes.end());
    EXPECT_EQ(outcomes[0], BackupOutcome::Taken);
    EXPECT_TRUE(outcomes[1] == BackupOutcome::AlreadyTaken ||
                outcomes[1] == BackupOutcome::Unchanged)
        << static_cast<int>(outcomes[1]);
    const std::vector<std::string> folders = dayFolders();
    ASSERT_EQ(folders.size(), static_cast<std::size_t>(d));
    for (const std::string& name : folders) EXPECT_EQ(name.find(".part"), std::string::npos);
  }
}

TEST_F(BackupTest, AFailedBackupLeavesNoHalfCopyAndCostsNoOlderOne) {
  for (int d = 1; d <= 30; ++d) oldBackup("202404" + std::string(d < 10 ? "0" : "") + std::to_string(d));
  fw::failWritesAfterForTesting(3000);  // the disk fills during the history copy
  const auto result = takeDailyBackup();
  EXPECT_EQ(result.outcome, BackupOutcome::Failed);
  EXPECT_EQ(result.error, fw::err::DiskFull);
  fw::failWritesAfterForTesting(-1);
  const std::vector<std::string> left = dayFolders();
  EXPECT_EQ(left.size(), 30u);
  EXPECT_EQ(left.front(), "20240401");
  // The next try, with room again, takes it.
  EXPECT_EQ(takeDailyBackup().outcome, BackupOutcome::Taken);

  // A history whose last record is cut short is no whole backup.
  setDay(day(2024, 5, 8));
  HistoryFiles::writeFile("EKG_DATA/EKGDATA_1", cwd.read("EKG_DATA/EKGDATA_1") + "cut");
  EXPECT_EQ(takeDailyBackup().outcome, BackupOutcome::Failed);
  EXPECT_FALSE(fs::exists("EKG_BACKUP/20240508"));
  EXPECT_FALSE(fs::exists("EKG_BACKUP/20240508.part"));
}

// The program's own call: at start, through the framework's message box.
class BackupMessageTest : public entry_test::MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    history::forgetBackupCheckForTesting();
    fw::setClock([this] { return today; });
    start();
  }
  void TearDown() override {
    history::forgetBackupCheckForTesting();
    MainWindowTest::TearDown();
  }
  fw::LocalTime today = day(2024, 5, 7);
};

TEST_F(BackupMessageTest, AnUnwritableBackupFolderIsToldOnceAndTheProgramGoesOn) {
  HistoryFiles().addNumbered(1).write();
  // No folder can be made where a file stands (a read-only folder stops root
  // nowhere, so this is the case a test run by root can make).
  HistoryFiles::writeFile("EKG_BACKUP", "not a folder");
  answers.messageAnswers = {fw::mb::ResOK};
  history::backUpIfDue();
  ASSERT_EQ(answers.messages.size(), 1u);
  expectMessage(0, history::text::kBackupTitle, history::text::kBackupFailed, fw::mb::OK,
                fw::mb::Information);
  // The same day again, and the next day: nothing more is said.
  history::backUpIfDue();
  today = day(2024, 5, 8);
  history::backUpIfDue();
  EXPECT_EQ(answers.messages.size(), 1u);
  // The program works on: the history is read and written as before.
  EXPECT_EQ(history::attributeCount(), 1);
  const auto r = examinee("2", "b");
  EXPECT_EQ(history::appendEntry(common::attributesOf(r, "2024/05/08"),
                                 common::clinicalOf(r, "2024/05/08")),
            2);

  // A folder without write permission, met as an operator's account meets it.
  fs::remove("EKG_BACKUP");
  fs::create_directory("EKG_BACKUP");
  fs::permissions("EKG_BACKUP", fs::perms::owner_read | fs::perms::owner_exec);
  {
    tessivo::test::UnprivilegedWhileInScope operatorAccount(cwd.path());
    ASSERT_TRUE(operatorAccount.unprivileged());
    history::forgetBackupCheckForTesting();
    today = day(2024, 5, 9);
    answers.messageAnswers = {fw::mb::ResOK};
    history::backUpIfDue();
    history::backUpIfDue();
    EXPECT_EQ(answers.messages.size(), 2u);
    EXPECT_TRUE(fs::is_empty("EKG_BACKUP"));
    const auto r3 = examinee("3", "c");
    EXPECT_EQ(history::appendEntry(common::attributesOf(r3, "2024/05/09"),
                                   common::clinicalOf(r3, "2024/05/09")),
              3);
  }
  fs::permissions("EKG_BACKUP", fs::perms::owner_all);
}

TEST_F(BackupMessageTest, ARunThatGoesOnIntoTheNextDayBacksUpBeforeItsFirstWrite) {
  HistoryFiles().addNumbered(1).write();
  history::backUpIfDue();  // the start
  EXPECT_TRUE(cwd.exists("EKG_BACKUP/20240507/EKG_DATA/EKGDATA_1"));
  const auto r = examinee("2", "b");
  history::appendEntry(common::attributesOf(r, "2024/05/07"), common::clinicalOf(r, "2024/05/07"));
  // Still running the next morning: the registration first backs up.
  today = day(2024, 5, 8);
  history::backUpIfDue();
  EXPECT_EQ(cwd.read("EKG_BACKUP/20240508/EKG_DATA/EKGDATA_1").size(), 2u * 2000);
  EXPECT_TRUE(answers.messages.empty());
}

}  // namespace
}  // namespace history_test
