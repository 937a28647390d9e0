// The history on a shared folder that other computers change, and on a disk
// that is read-only or full: nothing is written over what the operator did
// not see, nothing ends the program, and the typed values stay.
// Linux only: the shared folders are mounted for the test.
#ifndef _WIN32
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "framework/core/files.h"
#include "framework/form/program.h"
#include "history/backup.h"
#include "history/registration.h"
#include "history/store/store.h"
#include "history/texts.h"
#include "tests/history/history_fixture.h"
#include "tests/support/unprivileged.h"

namespace history_test {
namespace {

using entry::CURRENT_ENTRY;
namespace text = history::text;

class SharedFolderTest : public HistoryTest {
 protected:
  void SetUp() override {
    HistoryTest::SetUp();
    history::OPENED_ENTRY.reset();
    fw::setClock([] { return fw::LocalTime{2026, 12, 9, 9, 0, 0}; });
    files.addNumbered(3);
    files.write();
  }
  void TearDown() override {
    if (!mounted_.empty()) umount2(mounted_.c_str(), MNT_DETACH);
    fw::failWritesAfterForTesting(-1);
    HistoryTest::TearDown();
  }

  // What another computer does to entry n: a new name, or the deletion mark.
  static void renamedElsewhere(long n, const Str& name) {
    ASSERT_EQ(history::overwriteEntry(n, common::attributesOf(examinee("9", name), "2026/12/09"),
                                      common::clinicalOf(examinee("9", name), "2026/12/09")),
              history::EntryCheck::Current);
  }
  static Str stored(long n, AttributeField f) {
    const std::optional<history::Entry> e = history::readEntry(n);
    return e ? e->attributes[f] : Str("(no entry " + std::to_string(n) + ")");
  }
  static Str storedName(long n) { return stored(n, AttributeField::Name); }
  static Str deletionMark(long n) { return stored(n, AttributeField::DeletionMark); }

  // Whether a message box said `fragment`.
  bool told(const Str& fragment) const {
    return std::any_of(answers.messages.begin(), answers.messages.end(),
                       [&](const fw::MessageBoxRequest& m) {
                         return m.text.find(fragment) != Str::npos;
                       });
  }

  void doubleClickEntry(const Str& entry) {
    const std::vector<Str> shown = entriesListed();
    const auto at = std::find(shown.begin(), shown.end(), entry);
    ASSERT_NE(at, shown.end()) << "entry " << entry << " is not listed";
    answers.messageAnswers = {mb::ResYes, mb::ResOK};
    fw::testing::doubleClickItem(form2("LIST1"), static_cast<int>(at - shown.begin()));
    fw::waitForEvents();
  }
  void deleteEntry(const Str& entry) {
    selectEntry(entry);
    answers.messageAnswers = {mb::ResYes, mb::ResOK};
    press("BUTTON11");
  }
  // "登 録" of the opened entry, "上書き登録" in FORM3, answered Yes then OK.
  void overwriteOpened() {
    click("BUTTON1");
    ASSERT_TRUE(fw::isOpen(history::FORM3));
    answers.messageAnswers = {mb::ResYes, mb::ResOK};
    fw::testing::click(history::FORM3->control("BUTTON12"));
    fw::waitForEvents();
  }
  void registerNew() {
    answers.messageAnswers = {mb::ResYes, mb::ResOK, mb::ResOK};
    click("BUTTON1");
  }

  // EKG_DATA made read-only for real: a read-only bind mount where the test
  // may mount (root), else the folder's permissions for an unprivileged
  // user. False when neither is possible.
  bool makeDataFolderReadOnly() {
    const std::string data = cwd.path() + "/EKG_DATA";
    if (geteuid() == 0 && mount(data.c_str(), data.c_str(), nullptr, MS_BIND, nullptr) == 0) {
      mounted_ = data;
      return mount(nullptr, data.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
    }
    if (geteuid() == 0) return false;
    std::filesystem::permissions(data, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_exec);
    for (const char* f : {"/EKGDATA_1", "/EKGDATA_2"}) {
      std::filesystem::permissions(data + f, std::filesystem::perms::owner_read);
    }
    return true;
  }
  // A disk that holds what is there and nothing more: a small file system
  // for EKG_DATA where the test may mount, else the file services' hook.
  void fillTheDisk() {
    const std::string data = cwd.path() + "/EKG_DATA";
    if (geteuid() == 0 &&
        mount("tessivo-test", data.c_str(), "tmpfs", 0, "size=64k") == 0) {
      mounted_ = data;
      // Four entries fill their last page up to 192 bytes: the next record
      // needs a page the full disk no longer has.
      files.addNumbered(1);
      files.write();
      std::ofstream filler(data + "/filler", std::ios::binary);
      const std::string block(1024, 'x');
      while (filler.write(block.data(), block.size())) filler.flush();
      return;
    }
    fw::failWritesAfterForTesting(0);
  }

  std::string mounted_;
};

TEST_F(SharedFolderTest, ListLinesChangedElsewhereAreNeitherDeletedNorOpened) {
  openHistoryWindow();
  ASSERT_EQ(entriesListed(), (std::vector<Str>{"3", "2", "1"}));

  renamedElsewhere(3, "別人花子"_sj);
  deleteEntry("3");
  EXPECT_TRUE(told(text::kEntryChangedElsewhere));
  EXPECT_FALSE(told(text::kDeleteDone));
  EXPECT_EQ(deletionMark(3), "");
  EXPECT_EQ(storedName(3), "別人花子"_sj);
  EXPECT_EQ(CURRENT_ENTRY, "");
  // Listed again from the files: the line now shows what is stored.
  EXPECT_NE(items("LIST1")[0].find("別人花子"_sj), Str::npos);

  answers.messages.clear();
  ASSERT_TRUE(history::markDeleted(2));  // another computer deletes entry 2
  doubleClickEntry("2");
  EXPECT_TRUE(told(text::kEntryChangedElsewhere));
  EXPECT_TRUE(fw::isOpen(history::FORM2));
  EXPECT_EQ(text("EDIT8"), "");
  EXPECT_EQ(CURRENT_ENTRY, "");
  EXPECT_EQ(entriesListed(), (std::vector<Str>{"3", "1"}));

  // A line still as listed opens and deletes as always.
  answers.messages.clear();
  deleteEntry("1");
  EXPECT_TRUE(told(text::kDeleteDone));
  EXPECT_EQ(deletionMark(1), "del");
}

TEST_F(SharedFolderTest, OverwriteOfAnEntryChangedOrRemovedElsewhereWritesNothing) {
  openHistoryWindow();
  doubleClickEntry("2");
  ASSERT_EQ(CURRENT_ENTRY, "2");
  renamedElsewhere(2, "他のパソコン"_sj);
  commit("EDIT8", "山田"_sj);
  overwriteOpened();
  EXPECT_TRUE(told(text::kOverwriteChangedElsewhere));
  EXPECT_EQ(storedName(2), "他のパソコン"_sj);
  EXPECT_EQ(text("EDIT8"), "山田"_sj);
  EXPECT_GT(entry::EDIT_COUNT, 0);

  // Opened again, the entry is overwritten, and again after that: the
  // program's own overwrite is the version it expects next.
  answers.messages.clear();
  openHistoryWindow();
  doubleClickEntry("2");
  commit("EDIT8", "山田"_sj);
  overwriteOpened();
  commit("EDIT8", "山田　一郎"_sj);
  overwriteOpened();
  EXPECT_FALSE(told(text::kOverwriteChangedElsewhere));
  EXPECT_EQ(storedName(2), "山田　一郎"_sj);

  // A backup of three entries put back in place: entry 3 is gone, and the
  // files are not extended to reach it.
  openHistoryWindow();
  doubleClickEntry("3");
  HistoryFiles restored;
  restored.addNumbered(1);
  restored.write();
  overwriteOpened();
  EXPECT_TRUE(told(text::kOverwriteChangedElsewhere));
  EXPECT_EQ(cwd.read("EKG_DATA/EKGDATA_1").size(), 2000u);
  EXPECT_EQ(cwd.read("EKG_DATA/EKGDATA_2").size(), 2000u);
}

TEST_F(SharedFolderTest, ReadOnlyDataFolderIsReadAndRefusesWrites) {
  if (!makeDataFolderReadOnly()) GTEST_SKIP() << "EKG_DATA cannot be made read-only here";
  const Str before = cwd.read("EKG_DATA/EKGDATA_1");
  openHistoryWindow();
  EXPECT_EQ(entriesListed(), (std::vector<Str>{"3", "2", "1"}));
  deleteEntry("1");
  EXPECT_TRUE(told(text::kDeleteFailed));
  EXPECT_TRUE(told(text::kFaultNotWritable));
  doubleClickEntry("2");
  EXPECT_EQ(text("EDIT8"), "受検者2"_sj);

  answers.messages.clear();
  click("BUTTON9");
  commit("EDIT8", "新しい人"_sj);
  registerNew();
  EXPECT_TRUE(told(text::kRegisterFailed));
  EXPECT_TRUE(told(text::kFaultNotWritable));
  EXPECT_EQ(text("EDIT8"), "新しい人"_sj);
  EXPECT_FALSE(fw::programEnding());
  EXPECT_EQ(cwd.read("EKG_DATA/EKGDATA_1"), before);
}

TEST_F(SharedFolderTest, FullDiskKeepsTheTypedExamineeAndNoHalfEntry) {
  fillTheDisk();
  const long entries = history::attributeCount();
  commit("EDIT8", "満杯"_sj);
  commit("EDIT98", "メモ"_sj);
  registerNew();
  EXPECT_TRUE(told(text::kFaultDiskFull));
  EXPECT_FALSE(fw::programEnding());
  EXPECT_EQ(text("EDIT8"), "満杯"_sj);
  EXPECT_EQ(text("EDIT98"), "メモ"_sj);
  fw::failWritesAfterForTesting(-1);
  EXPECT_EQ(history::attributeCount(), entries);
  EXPECT_EQ(cwd.read("EKG_DATA/EKGDATA_1").size(), 2000u * entries);

  // Space made again: the same "登 録" stores the examinee. (A backup still
  // copying the filler would keep its space taken.)
  history::waitForBackupForTesting();
  if (!mounted_.empty()) std::filesystem::remove(mounted_ + "/filler");
  answers.messages.clear();
  registerNew();
  EXPECT_FALSE(told(text::kRegisterFailed));
  EXPECT_EQ(history::attributeCount(), entries + 1);
  EXPECT_EQ(storedName(entries + 1), "満杯"_sj);
}

}  // namespace
}  // namespace history_test
#endif  // _WIN32
