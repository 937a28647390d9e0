// The change log of an entry from the history list's context menu: its
// versions newest first, and an earlier one (also of a deleted entry)
// brought back byte for byte.
#include "history/change_log_window.h"

#include <gtest/gtest.h>

#include "framework/form/testing.h"
#include "history/store/store.h"
#include "history/texts.h"
#include "tests/history/history_fixture.h"

namespace {

using namespace history_test;
constexpr int kChangeLogItem = 2;

class ChangeLogWindowTest : public HistoryTest {
 protected:
  void register_(const char* number, const Str& name) {
    const common::ExamineeRecord r = examinee(number, name);
    history::appendEntry(common::attributesOf(r, "2024/05/07"), common::clinicalOf(r, "2024/05/07"));
  }
  std::string entryBytes(long n) {
    return cwd.read("EKG_DATA/EKGDATA_1").substr((n - 1) * 2000, 2000) +
           cwd.read("EKG_DATA/EKGDATA_2").substr((n - 1) * 2000, 2000);
  }
  void openChangeLogOf(const Str& entry) {
    selectEntry(entry);
    fw::testing::chooseMenuItem(form2("LIST1"), kChangeLogItem);
    fw::waitForEvents();
    ASSERT_TRUE(fw::isOpen(history::FORM10));
    EXPECT_FALSE(history::FORM2->enabled());
  }
  std::vector<Str> versionLines() {
    fw::Control& list = history::FORM10->control("LIST10");
    std::vector<Str> out;
    for (int i = 0; i < list.itemCount(); ++i) out.push_back(list.itemText(i));
    return out;
  }
  // Brings back the version on line `index`, answering Yes and OK.
  void bringBack(int index) {
    fw::testing::selectItem(history::FORM10->control("LIST10"), index);
    answers.messageAnswers = {mb::ResYes, mb::ResOK};
    fw::testing::click(history::FORM10->control("BUTTON50"));
    fw::waitForEvents();
  }
};

TEST_F(ChangeLogWindowTest, AnEarlierVersionComesBackByteForByte) {
  register_("1", "山田太郎"_sj);
  const std::string before = entryBytes(1);
  const common::ExamineeRecord wrong = examinee("9", "別人"_sj);
  history::overwriteEntry(1, common::attributesOf(wrong, "2024/05/08"),
                          common::clinicalOf(wrong, "2024/05/08"));
  openHistoryWindow();
  openChangeLogOf("1");
  const std::vector<Str> lines = versionLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find("上書き"_sj), Str::npos);
  EXPECT_NE(lines[0].find("別人"_sj), Str::npos);
  EXPECT_NE(lines[0].find("＜今の内容＞"_sj), Str::npos);
  EXPECT_NE(lines[1].find("登録"_sj), Str::npos);
  EXPECT_NE(lines[1].find("山田太郎"_sj), Str::npos);

  // The version shown now is not brought back over itself.
  fw::testing::selectItem(history::FORM10->control("LIST10"), 0);
  answers.messageAnswers = {mb::ResOK};
  fw::testing::click(history::FORM10->control("BUTTON50"));
  fw::waitForEvents();
  EXPECT_EQ(answers.messages.back().text, history::text::kChangeLogAlreadyCurrent);

  bringBack(1);
  EXPECT_EQ(answers.messages.back().text, history::text::kRestoreDone);
  EXPECT_EQ(entryBytes(1), before);
  EXPECT_FALSE(fw::isOpen(history::FORM10));
  EXPECT_TRUE(history::FORM2->enabled());
  openChangeLogOf("1");
  EXPECT_NE(versionLines()[0].find("戻し"_sj), Str::npos);
  EXPECT_EQ(versionLines().size(), 3u);
  fw::testing::click(history::FORM10->control("BUTTON51"));
  fw::waitForEvents();
  EXPECT_FALSE(fw::isOpen(history::FORM10));
}

TEST_F(ChangeLogWindowTest, ADeletedEntryIsRestoredFromTheDeletedEntriesView) {
  register_("1", "a"_sj);
  register_("2", "消えた人"_sj);
  const std::string before = entryBytes(2);
  ASSERT_TRUE(history::markDeleted(2));
  openHistoryWindow();
  fw::testing::mouseDoubleClick(*history::FORM2, 1190, 15);
  fw::waitForEvents();
  ASSERT_EQ(entriesListed(), (std::vector<Str>{"2"}));
  openChangeLogOf("2");
  ASSERT_EQ(versionLines().size(), 2u);
  EXPECT_NE(versionLines()[0].find("（削除）"_sj), Str::npos);
  bringBack(1);
  EXPECT_EQ(entryBytes(2), before);
  EXPECT_EQ(entriesListed(), (std::vector<Str>{"2", "1"}));
}

TEST_F(ChangeLogWindowTest, AnEntryFromBeforeTheLogSaysSo) {
  files.add(examinee("1", "old"));
  files.write();
  openHistoryWindow();
  selectEntry("1");
  answers.messageAnswers = {mb::ResOK};
  fw::testing::chooseMenuItem(form2("LIST1"), kChangeLogItem);
  fw::waitForEvents();
  EXPECT_FALSE(fw::isOpen(history::FORM10));
  EXPECT_EQ(answers.messages.back().text, history::text::kChangeLogNone);
  EXPECT_TRUE(history::FORM2->enabled());
}

}  // namespace
