// The daily backup: one a day and only after a change, thinned to the newest
// thirty, whole while another program registers, never in the way of a
// registration or of the main window, and a failure told once, by its cause,
// without stopping the program.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#ifndef _WIN32
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "common/history_format.h"
#include "framework/core/clock.h"
#include "framework/core/files.h"
#include "framework/form/dialogs.h"
#include "framework/form/responder.h"
#include "framework/form/internal/form_objects.h"
#include "history/backup.h"
#include "history/store/change_log.h"
#include "history/store/store.h"
#include "history/texts.h"
#include "tests/entry/entry_fixture.h"
#include "tests/history/history_files.h"
#include "tests/history/writer_process.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"

namespace history_test {
namespace {

namespace fs = std::filesystem;
using history::BackupOutcome;
using history::BackupProblem;
using history::takeDailyBackup;
using SteadyClock = std::chrono::steady_clock;
using std::chrono::milliseconds;

fw::LocalTime day(int year, int month, int d) { return {year, month, d, 9, 0, 0}; }

std::vector<std::string> entriesOf(const std::string& folder) {
  std::vector<std::string> names;
  if (!fs::exists(folder)) return names;
  for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// The day folders and everything else in EKG_BACKUP but the file through
// which programs take turns.
std::vector<std::string> dayFolders() {
  std::vector<std::string> names = entriesOf("EKG_BACKUP");
  names.erase(std::remove(names.begin(), names.end(), "BACKUP.LCK"), names.end());
  return names;
}

// Every entry of a backup is one pair: the attribute record's name is the
// clinical record's memo (as the writer program and withTaggedEntries make
// them).
void expectWholePairs(const std::string& backupData) {
  const std::string attributes = HistoryFiles::readFile(backupData + "/EKGDATA_1");
  const std::string clinical = HistoryFiles::readFile(backupData + "/EKGDATA_2");
  ASSERT_EQ(attributes.size() % 2000, 0u);
  ASSERT_EQ(attributes.size(), clinical.size());
  for (std::size_t at = 0; at < attributes.size(); at += 2000) {
    const auto a = common::decodeAttributes(std::string_view(attributes).substr(at, 2000));
    const auto c = common::decodeClinical(std::string_view(clinical).substr(at, 2000));
    ASSERT_EQ(a[common::AttributeField::Name], c[common::ClinicalField::Memo])
        << "entry " << at / 2000 + 1;
  }
}

// `count` entries whose name is also their memo.
void withTaggedEntries(int count) {
  HistoryFiles files;
  for (int i = 1; i <= count; ++i) {
    auto r = examinee(std::to_string(i), "t" + std::to_string(i));
    r.MEMO = r.NAME;
    files.add(r);
  }
  files.write();
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
    history::setBackupBlockPauseForTesting(0);
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
  // The search index (a cache, built by a search) is no change and no copy.
  HistoryFiles::writeFile("EKG_DATA/EKGDATA_1.idx", "built by a search");
  setDay(day(2024, 5, 8));
  EXPECT_EQ(takeDailyBackup().outcome, BackupOutcome::Unchanged);
  EXPECT_EQ(dayFolders(), std::vector<std::string>{"20240507"});

  history::appendEntry(common::attributesOf(examinee("3", "c"), "2024/05/08"),
                       common::clinicalOf(examinee("3", "c"), "2024/05/08"));
  ASSERT_EQ(takeDailyBackup().outcome, BackupOutcome::Taken);
  EXPECT_EQ(dayFolders(), (std::vector<std::string>{"20240507", "20240508"}));
  EXPECT_EQ(cwd.read("EKG_BACKUP/20240508/EKG_DATA/EKGDATA_1").size(), 3u * 2000);
  EXPECT_EQ(cwd.read("EKG_BACKUP/20240507/EKG_DATA/EKGDATA_1").size(), 2u * 2000);
  EXPECT_FALSE(cwd.exists("EKG_BACKUP/20240508/EKG_DATA/EKGDATA_1.idx"));

  // A settings change counts as well, and so does a file that went away.
  setDay(day(2024, 5, 9));
  fs::remove("EKG_SYS/INSA_FO");
  EXPECT_EQ(takeDailyBackup().outcome, BackupOutcome::Taken);
  EXPECT_FALSE(cwd.exists("EKG_BACKUP/20240509/EKG_SYS/INSA_FO"));
}

// A history larger than one block of the copy comes out byte for byte.
TEST_F(BackupTest, AHistoryOfManyBlocksIsCopiedWhole) {
  withTaggedEntries(1300);  // two and a half blocks
  ASSERT_EQ(takeDailyBackup().outcome, BackupOutcome::Taken);
  for (const char* name : {"EKG_DATA/EKGDATA_1", "EKG_DATA/EKGDATA_2"}) {
    EXPECT_TRUE(cwd.read(std::string("EKG_BACKUP/20240507/") + name) == cwd.read(name)) << name;
  }
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

// EKG_DATA, EKG_SYS and EKG_BACKUP on another drive, through links: the
// backup copies what the links point to and lands where EKG_BACKUP points;
// a folder below EKG_DATA, linked or not, is not copied.
TEST_F(BackupTest, FoldersThatAreLinksToOtherDrivesAreFollowed) {
  tessivo::test::TempDir otherDrive;
  for (const char* folder : {"EKG_DATA", "EKG_SYS"}) {
    fs::rename(folder, otherDrive.file(folder));
    fs::create_directory_symlink(otherDrive.file(folder), folder);
  }
  fs::create_directory(otherDrive.file("backups"));
  fs::create_directory_symlink(otherDrive.file("backups"), "EKG_BACKUP");
  tessivo::test::TempDir pdfDrive;
  HistoryFiles::writeFile(pdfDrive.file("chart.pdf"), "%PDF");
  fs::create_directory_symlink(pdfDrive.path(), "EKG_DATA/PDF");
  fs::create_directories("EKG_DATA/OLD");

  const auto result = takeDailyBackup();
  ASSERT_EQ(result.outcome, BackupOutcome::Taken) << static_cast<int>(result.problem);
  const std::string copy = otherDrive.file("backups/20240507");
  EXPECT_EQ(entriesOf(copy + "/EKG_DATA"), (std::vector<std::string>{"EKGDATA_1", "EKGDATA_2"}));
  EXPECT_EQ(HistoryFiles::readFile(copy + "/EKG_DATA/EKGDATA_1"), cwd.read("EKG_DATA/EKGDATA_1"));
  EXPECT_EQ(HistoryFiles::readFile(copy + "/EKG_SYS/INSA_FO"), "1");
  EXPECT_EQ(takeDailyBackup().outcome, BackupOutcome::AlreadyTaken);
  setDay(day(2024, 5, 8));
  EXPECT_EQ(takeDailyBackup().outcome, BackupOutcome::Unchanged);
}

// A history this computer may only read (a read-only share) is backed up
// like any other: the backup needs no write access to it.
TEST_F(BackupTest, AHistoryThatMayOnlyBeReadIsBackedUp) {
  tessivo::test::UnprivilegedWhileInScope operatorAccount(cwd.path());
  // Made by the operator's account, so that it can take its own write
  // permission away.
  fs::rename("EKG_DATA", "EKG_DATA_before");
  files.write();
  for (const char* name : {"EKG_DATA/EKGDATA_1", "EKG_DATA/EKGDATA_2"}) chmod(name, 0444);
  chmod("EKG_DATA", 0555);
#ifndef _WIN32
  ASSERT_NE(faccessat(AT_FDCWD, "EKG_DATA/EKGDATA_1", W_OK, AT_EACCESS), 0);
#endif

  const auto result = takeDailyBackup();
  EXPECT_EQ(result.outcome, BackupOutcome::Taken) << static_cast<int>(result.problem);
  EXPECT_EQ(cwd.read("EKG_BACKUP/20240507/EKG_DATA/EKGDATA_1"), cwd.read("EKG_DATA/EKGDATA_1"));
  chmod("EKG_DATA", 0755);
}

// Each way a backup fails is named by its cause, leaves no half copy, and
// the next try (the cause gone) takes the backup.
TEST_F(BackupTest, EachFailureIsNamedByItsCause) {
  struct Case {
    const char* what;
    std::function<void()> make;
    BackupProblem problem;
    std::string file;
    std::function<void()> undo;
    bool unprivileged = false;
  };
  const std::string history = cwd.read("EKG_DATA/EKGDATA_1");
  const std::string clinical = cwd.read("EKG_DATA/EKGDATA_2");
  const Case cases[] = {
      {"a file named EKG_BACKUP", [] { HistoryFiles::writeFile("EKG_BACKUP", "x"); },
       BackupProblem::BackupFolderNotWritable, "", [] { fs::remove("EKG_BACKUP"); }},
      {"a read-only EKG_BACKUP",
       [] {
         fs::create_directory("EKG_BACKUP");
         chmod("EKG_BACKUP", 0555);
       },
       BackupProblem::BackupFolderNotWritable, "", [] { fs::remove_all("EKG_BACKUP"); }, true},
      {"a full disk", [] { fw::failWritesAfterForTesting(3000); }, BackupProblem::BackupDiskFull,
       "", [] { fw::failWritesAfterForTesting(-1); }},
      {"an attribute file cut short",
       [&] { HistoryFiles::writeFile("EKG_DATA/EKGDATA_1", history + "cut"); },
       BackupProblem::HistoryCutShort, "EKGDATA_1",
       [&] { HistoryFiles::writeFile("EKG_DATA/EKGDATA_1", history); }},
      {"a clinical file cut short",
       [&] { HistoryFiles::writeFile("EKG_DATA/EKGDATA_2", clinical + "cut"); },
       BackupProblem::HistoryCutShort, "EKGDATA_2",
       [&] { HistoryFiles::writeFile("EKG_DATA/EKGDATA_2", clinical); }},
      {"an unreadable settings file", [] { chmod("EKG_SYS/INSA_FO", 0); },
       BackupProblem::SourceUnreadable, "EKG_SYS\\INSA_FO",
       [] { chmod("EKG_SYS/INSA_FO", 0644); }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    c.make();
    history::BackupResult result;
    if (c.unprivileged) {
      tessivo::test::UnprivilegedWhileInScope operatorAccount(cwd.path());
      result = takeDailyBackup();
    } else {
      result = takeDailyBackup();
    }
    EXPECT_EQ(result.outcome, BackupOutcome::Failed);
    EXPECT_EQ(result.problem, c.problem);
    EXPECT_EQ(result.file, c.file);
    EXPECT_FALSE(fs::exists("EKG_BACKUP/20240507"));
    EXPECT_FALSE(fs::exists("EKG_BACKUP/20240507.part"));
    c.undo();
  }
  EXPECT_EQ(takeDailyBackup().outcome, BackupOutcome::Taken);
}

#ifndef _WIN32  // the other program is started with fork()
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
    // The copied change log explains every entry the copy holds: it was
    // copied after the history, so it may name only later ones besides.
    const fs::path here = fs::current_path();
    fs::current_path(fw::osPath(result.folder));
    const history::changelog::Verification v = history::changelog::verify();
    fs::current_path(here);
    EXPECT_TRUE(v.breaks.empty()) << "backup " << result.folder;
    for (long n : v.changedOutside) EXPECT_GT(n * 2000u, attributes) << "entry " << n;
  }
  [[maybe_unused]] ssize_t sent = write(toChild[1], "s", 1);
  if (!reaped) waitpid(child, &status, 0);
  for (int end : {toParent[0], toParent[1], toChild[0], toChild[1]}) ::close(end);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_GT(backups, 1);
}

#endif  // _WIN32

// A backup slowed down as on a slow network disk (every block takes a
// quarter of a second to read) while the writer program registers: every
// registration completes, none waiting more than a moment, and the backup
// holds whole pairs.
TEST_F(BackupTest, ARegistrationDuringASlowBackupWaitsOnlyAMoment) {
  withTaggedEntries(6144);  // twelve blocks
  history::setBackupBlockPauseForTesting(250);
  history::BackupResult result;
  std::atomic<bool> backupEnded{false};
  std::thread backup([&] {
    result = takeDailyBackup();
    backupEnded = true;
  });
  std::this_thread::sleep_for(milliseconds(300));  // into the copy
  Writer writer(20, "w");
  std::string line, tag;
  long n = 0;
  ASSERT_TRUE(writer.line(line));
  ASSERT_EQ(line, "ready");
  SteadyClock::time_point last = SteadyClock::now();
  milliseconds longestWait{0};
  int registeredDuringTheBackup = 0;
  int registered = 0;
  while (writer.line(line)) {
    const SteadyClock::time_point now = SteadyClock::now();
    ASSERT_TRUE(parseAck(line, &n, &tag)) << line;
    ++registered;
    if (!backupEnded) ++registeredDuringTheBackup;
    longestWait = std::max(longestWait, std::chrono::duration_cast<milliseconds>(now - last));
    last = now;
  }
  EXPECT_EQ(writer.wait(), 0);
  backup.join();
  ASSERT_EQ(result.outcome, BackupOutcome::Taken) << static_cast<int>(result.problem);
  EXPECT_EQ(registered, 20);
  EXPECT_GT(registeredDuringTheBackup, 5);
  EXPECT_LT(longestWait, milliseconds(1000));
  std::printf("[          ] %d registrations during the backup, the longest %lld ms apart\n",
              registeredDuringTheBackup, static_cast<long long>(longestWait.count()));
  expectWholePairs("EKG_BACKUP/20240507/EKG_DATA");
  EXPECT_EQ(fs::file_size("EKG_BACKUP/20240507/EKG_DATA/EKGDATA_1"), 6144u * 2000);
}

#ifndef _WIN32  // the other program is started with fork()
// Two copies of the program on one shared folder start on the same morning:
// one takes the day's backup, the other finds it taken or being taken;
// neither tells the operator of a failure, and no half copy is left.
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
    // files, or the first still writing it, depending on when it looked.
    std::sort(outcomes.begin(), outcomes.end());
    EXPECT_EQ(outcomes[0], BackupOutcome::Taken);
    EXPECT_TRUE(outcomes[1] == BackupOutcome::AlreadyTaken ||
                outcomes[1] == BackupOutcome::BeingTakenElsewhere ||
                outcomes[1] == BackupOutcome::Unchanged)
        << static_cast<int>(outcomes[1]);
    const std::vector<std::string> folders = dayFolders();
    ASSERT_EQ(folders.size(), static_cast<std::size_t>(d));
    for (const std::string& name : folders) EXPECT_EQ(name.find(".part"), std::string::npos);
  }
}

#endif  // _WIN32

// While another program writes the day's backup (it holds the turn), this
// one leaves the day to it at once.
TEST_F(BackupTest, ABackupBeingTakenElsewhereIsLeftToIt) {
  fs::create_directory("EKG_BACKUP");
  fw::PlainFile turn("EKG_BACKUP\\BACKUP.LCK", fw::PlainFile::Access::Update);
  ASSERT_TRUE(turn.tryLockWholeFile());
  EXPECT_EQ(takeDailyBackup().outcome, BackupOutcome::BeingTakenElsewhere);
  EXPECT_TRUE(dayFolders().empty());
  turn.unlockWholeFile();
  EXPECT_EQ(takeDailyBackup().outcome, BackupOutcome::Taken);
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
}

// The program's own call at start and before writes: the backup runs beside
// the program, and what it has to say comes through the framework's message
// box once the program waits for events.
class BackupMessageTest : public entry_test::MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    history::forgetBackupCheckForTesting();
    fw::setClock([this] { return today; });
    start();
  }
  void TearDown() override {
    history::setBackupBlockPauseForTesting(0);
    history::forgetBackupCheckForTesting();
    MainWindowTest::TearDown();
  }
  // backUpIfDue, then what the operator sees once the backup has ended.
  void backUpAndSettle() {
    history::backUpIfDue();
    history::waitForBackupForTesting();
    fw::waitForEvents();
  }
  fw::LocalTime today = day(2024, 5, 7);
};

TEST_F(BackupMessageTest, AnUnwritableBackupFolderIsToldOnceAndTheProgramGoesOn) {
  HistoryFiles().addNumbered(1).write();
  // No folder can be made where a file stands (a read-only folder stops root
  // nowhere, so this is the case a test run by root can make).
  HistoryFiles::writeFile("EKG_BACKUP", "not a folder");
  answers.messageAnswers = {fw::mb::ResOK};
  backUpAndSettle();
  ASSERT_EQ(answers.messages.size(), 1u);
  expectMessage(0, history::text::kBackupTitle, history::text::kBackupFolderNotWritable,
                fw::mb::OK, fw::mb::Information);
  // The same day again, and the next day: nothing more is said.
  backUpAndSettle();
  today = day(2024, 5, 8);
  backUpAndSettle();
  EXPECT_EQ(answers.messages.size(), 1u);
  // The program works on: the history is read and written as before.
  EXPECT_EQ(history::attributeCount(), 1);
  const auto r = examinee("2", "b");
  EXPECT_EQ(history::appendEntry(common::attributesOf(r, "2024/05/08"),
                                 common::clinicalOf(r, "2024/05/08")),
            2);

  // A cut-short history names the file and what to look at, not the
  // backup folder.
  fs::remove("EKG_BACKUP");
  HistoryFiles::writeFile("EKG_DATA/EKGDATA_2", cwd.read("EKG_DATA/EKGDATA_2") + "cut");
  history::forgetBackupCheckForTesting();
  today = day(2024, 5, 9);
  answers.messageAnswers = {fw::mb::ResOK};
  backUpAndSettle();
  ASSERT_EQ(answers.messages.size(), 2u);
  expectMessage(1, history::text::kBackupTitle, history::text::backupHistoryCutShort("EKGDATA_2"),
                fw::mb::OK, fw::mb::Information);
}

TEST_F(BackupMessageTest, ARunThatGoesOnIntoTheNextDayBacksUpBeforeItsFirstWrite) {
  HistoryFiles().addNumbered(1).write();
  backUpAndSettle();  // the start
  EXPECT_TRUE(cwd.exists("EKG_BACKUP/20240507/EKG_DATA/EKGDATA_1"));
  const auto r = examinee("2", "b");
  history::appendEntry(common::attributesOf(r, "2024/05/07"), common::clinicalOf(r, "2024/05/07"));
  // Still running the next morning: the registration first starts the day's
  // backup.
  today = day(2024, 5, 8);
  backUpAndSettle();
  EXPECT_EQ(cwd.read("EKG_BACKUP/20240508/EKG_DATA/EKGDATA_1").size(), 2u * 2000);
  EXPECT_TRUE(answers.messages.empty());
}

// The backup beside the program: the call that starts it returns at once, a
// registration of this program meanwhile waits only a moment, and the
// program's end stops it soon, leaving no half backup under the day's name
// and telling nothing.
TEST_F(BackupMessageTest, TheProgramRegistersAndEndsWhileItsBackupRuns) {
  withTaggedEntries(3072);  // six blocks
  history::setBackupBlockPauseForTesting(300);
  SteadyClock::time_point began = SteadyClock::now();
  history::backUpIfDue();
  EXPECT_LT(SteadyClock::now() - began, milliseconds(200));
  std::this_thread::sleep_for(milliseconds(100));
  auto r = examinee("3073", "t3073");
  r.MEMO = r.NAME;
  began = SteadyClock::now();
  EXPECT_EQ(history::appendEntry(common::attributesOf(r, "2024/05/07"),
                                 common::clinicalOf(r, "2024/05/07")),
            3073);
  EXPECT_LT(SteadyClock::now() - began, milliseconds(1000));
  ASSERT_TRUE(history::backupRunning());

  began = SteadyClock::now();
  history::stopBackup();
  EXPECT_LT(SteadyClock::now() - began, milliseconds(1500));
  EXPECT_FALSE(history::backupRunning());
  fw::waitForEvents();
  EXPECT_TRUE(answers.messages.empty());
  EXPECT_EQ(dayFolders(), std::vector<std::string>{});
  // The next start takes it, the entry registered meanwhile included.
  history::forgetBackupCheckForTesting();
  history::setBackupBlockPauseForTesting(0);
  backUpAndSettle();
  expectWholePairs(cwd.path() + "/EKG_BACKUP/20240507/EKG_DATA");
  EXPECT_EQ(fs::file_size("EKG_BACKUP/20240507/EKG_DATA/EKGDATA_1"), 3073u * 2000);
}

// The program's start as app/main.cpp runs it, with the event loop: the main
// window is shown and serves events while the first backup of the day is
// still copying, and a failure is told only after the window is up.
class BackupAtStartTest : public BackupMessageTest {
 protected:
  struct Seen {
    bool windowShown = false;
    bool backupRunning = false;
  };
  // Runs the program until the loop has served its first events after the
  // start, then ends it; what the loop saw then.
  Seen runProgramOnce() {
    Seen seen;
    static char name[] = "tessivo-tests";
    static char* argv[] = {name, nullptr};
    fw::runProgram(1, argv, {.start = [&seen] {
                              entry::prepareMainWindow();
                              entry::createDataDirectories();
                              history::backUpIfDue();
                              QTimer::singleShot(0, [&seen] {
                                seen.windowShown = fw::mainWindow().visible();
                                seen.backupRunning = history::backupRunning();
                                history::waitForBackupForTesting();
                                QTimer::singleShot(50, [] { fw::internal::endProgramNow(); });
                              });
                            }});
    return seen;
  }
};

TEST_F(BackupAtStartTest, TheMainWindowIsShownBeforeTheBackupEnds) {
  withTaggedEntries(1536);  // three blocks
  history::setBackupBlockPauseForTesting(300);
  const Seen seen = runProgramOnce();
  EXPECT_TRUE(seen.windowShown);
  EXPECT_TRUE(seen.backupRunning);
  EXPECT_TRUE(cwd.exists("EKG_BACKUP/20240507/EKG_DATA/EKGDATA_1"));
}

TEST_F(BackupAtStartTest, AFailureIsToldOnlyOnceTheMainWindowIsShown) {
  HistoryFiles().addNumbered(1).write();
  HistoryFiles::writeFile("EKG_BACKUP", "not a folder");
  bool shownWhenTold = false;
  int told = 0;
  fw::Responder responder;
  responder.messageBox = [&](const fw::MessageBoxRequest& m) {
    if (m.title == history::text::kBackupTitle) ++told;
    shownWhenTold = fw::mainWindow().visible();
    return fw::mb::ResOK;
  };
  fw::Responder* scripted = fw::responder();
  fw::setResponder(&responder);
  runProgramOnce();
  fw::setResponder(scripted);
  EXPECT_EQ(told, 1);
  EXPECT_TRUE(shownWhenTold);
}

}  // namespace
}  // namespace history_test
