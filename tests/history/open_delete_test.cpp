// Opening a listed entry into the main window and deleting it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <algorithm>
#include <filesystem>

#include "common/history_format.h"
#include "entry/record.h"
#include "framework/form/program.h"
#include "history/open_delete.h"
#include "history/store/store.h"
#include "tests/history/history_fixture.h"
#include "tests/support/sample_examinee.h"

namespace history_test {
namespace {

// Pictures for a person to look at, when TESSIVO_SNAPSHOT_DIR names a folder.
void snapshot(fw::Window& window, const char* file) {
  if (const char* dir = std::getenv("TESSIVO_SNAPSHOT_DIR")) {
    EXPECT_TRUE(window.saveScreenshot(std::string(dir) + "/" + file));
  }
}

using entry::CURRENT_ENTRY;
using entry::EDIT_COUNT;

class OpenDeleteTest : public HistoryTest {
 protected:
  static int redPixels(int x1, int y1, int x2, int y2) {
    int n = 0;
    for (int y = y1; y <= y2; ++y) {
      for (int x = x1; x <= x2; ++x) n += fw::mainWindow().picturePixel(x, y) == fw::rgb(255, 0, 0);
    }
    return n;
  }
  // The marks of the main window's picture, in picture pixels.
  static int amRing() { return redPixels(433, 125, 500, 155); }
  static int pmRing() { return redPixels(433, 158, 500, 190); }
  // The two sex rings overlap in y: each is looked at away from the other.
  static int maleRing() { return redPixels(1084, 214, 1127, 240); }
  static int femaleRing() { return redPixels(1084, 251, 1127, 279); }
  static int outpatientRing() { return redPixels(518, 306, 610, 351); }
  static int inpatientRing() { return redPixels(618, 306, 694, 351); }
  static int requestTick() { return redPixels(697, 296, 735, 340); }
  static int ringOne() { return redPixels(74, 470, 120, 512); }
  static int ringTwo() { return redPixels(74, 517, 120, 558); }
  static int tickAt(int x) { return redPixels(x, 511, x + 34, 546); }

  // Opens the history window and double-clicks the line of `entry`.
  void openEntry(const Str& entry, int answer = mb::ResYes) {
    openHistoryWindow();
    doubleClickEntry(entry, answer);
  }
  void doubleClickEntry(const Str& entry, int answer = mb::ResYes) {
    const std::vector<Str> shown = entriesListed();
    const auto at = std::find(shown.begin(), shown.end(), entry);
    ASSERT_NE(at, shown.end()) << "entry " << entry << " is not listed";
    answers.messageAnswers = {answer};
    fw::testing::doubleClickItem(form2("LIST1"), static_cast<int>(at - shown.begin()));
    fw::waitForEvents();
  }

  static common::ExamineeRecord everyMark() {
    // The sample examinee in the afternoon, a woman, with the texts and
    // boxes the sample leaves empty filled.
    common::ExamineeRecord r = tessivo::test::sampleExaminee();
    r.EXAM_NO = "1001";
    r.NAME = "山田　花子"_sj;
    r.EXAM_AM = 0;
    r.EXAM_PM = 1;
    r.BIRTH_MONTH = "５"_sj;
    r.BIRTH_DAY = "１２"_sj;
    r.AGE = "54";
    r.SEX_MALE = 0;
    r.SEX_FEMALE = 1;
    r.REQUEST_KIND = 9;
    r.WEIGHT = "60";
    r.PREGNANCY_MONTHS = "3";
    r.MASTER_DOUBLE = 0;
    r.STRESS_OTHER = "トレッドミル"_sj;
    r.MINNESOTA_CODE = "1-1";
    r.MEMO = "次回は午前"_sj;
    return r;
  }
};

TEST_F(OpenDeleteTest, OpeningFillsEveryFieldAndMarkFromTheEntry) {
  givenFile("EKG_SYS/HOKENNI", entry_test::doctorList({"田中"_sj, "鈴木"_sj}));
  givenFile("EKG_SYS/HOKENNI_DF", entry_test::settingRecord("0"));
  givenFile("EKG_SYS/BYOUINMEI", entry_test::settingRecord("1"));
  givenFile("EKG_SYS/BYOUINMEI_DAT", entry_test::settingRecord("山田医院"_sj));
  entry::MAINFORM_START();
  files.add(examinee("1", "a")).add(everyMark());
  files.write();
  // Marks of the window's earlier content must not stay behind.
  click("CHECK1");
  click("CHECK9");
  answers.messageAnswers = {mb::ResYes};
  openHistoryWindow();
  doubleClickEntry("2");

  expectMessage(1, "開　く"_sj,
                "氏　名：山田　花子\r\n実施日：2024年１２月２４日  \r\n\r\n"
                "選択した受検者の履歴ファイルを開きます。　よろしいですか？　   "_sj,
                mb::YesNo, mb::Question);
  EXPECT_FALSE(fw::isOpen(history::FORM2));
  EXPECT_TRUE(fw::mainWindow().visible());
  EXPECT_TRUE(fw::mainWindow().enabled());
  EXPECT_EQ(CURRENT_ENTRY, "2");
  EXPECT_EQ(EDIT_COUNT, 0);

  const common::ExamineeRecord shown = entry::readFromMainWindow();
  const common::ExamineeRecord stored = everyMark();
  EXPECT_EQ(shown.EXAM_NO, stored.EXAM_NO);
  EXPECT_EQ(shown.EXAM_MONTH, stored.EXAM_MONTH);
  EXPECT_EQ(shown.EXAM_MINUTE, "05");
  EXPECT_EQ(shown.NAME, stored.NAME);
  EXPECT_EQ(shown.AGE, "54");
  EXPECT_EQ(shown.HOSPITAL, "さくら医院"_sj);  // the entry's, not the default
  EXPECT_EQ(shown.DOCTOR, "佐藤"_sj);
  EXPECT_EQ(shown.PREGNANCY_MONTHS, "3");
  EXPECT_EQ(shown.STRESS_OTHER, "トレッドミル"_sj);
  EXPECT_EQ(shown.MEMO, "次回は午前"_sj);
  EXPECT_EQ(shown.REQUEST_KIND, 9);
  EXPECT_EQ(shown.EXAM_AM, 0);
  EXPECT_EQ(shown.EXAM_PM, 1);
  EXPECT_EQ(shown.SEX_FEMALE, 1);
  EXPECT_EQ(shown.ECG_STRESS, 1);
  EXPECT_EQ(shown.MASTER_HALF, 0);
  EXPECT_TRUE(c("CHECK2").fontBold());
  EXPECT_FALSE(c("CHECK1").fontBold());
  EXPECT_TRUE(c("CHECK4").fontBold());

  EXPECT_EQ(amRing(), 0);
  EXPECT_GT(pmRing(), 0);
  EXPECT_GT(femaleRing(), 0);
  EXPECT_EQ(maleRing(), 0);
  EXPECT_GT(requestTick(), 0);
  EXPECT_EQ(ringOne(), 0);
  EXPECT_GT(ringTwo(), 0);
  EXPECT_EQ(tickAt(564), 0);
  EXPECT_GT(tickAt(914), 0);

  // The boxes got their text without a line break: no commit ran.
  fw::waitForEvents();
  EXPECT_EQ(EDIT_COUNT, 0);
  EXPECT_EQ(text("EDIT3"), "１２"_sj);
  snapshot(fw::mainWindow(), "main-window-opened.png");
}

TEST_F(OpenDeleteTest, OpeningDrawsOnlyTheMarksOfSetCodes) {
  common::ExamineeRecord plain = examinee("1", "a");  // blank sex, request kind 0
  plain.ECG_REST = 1;
  common::ExamineeRecord master = examinee("2", "b");
  master.EXAM_AM = 1;
  master.SEX_MALE = 1;
  master.INPATIENT = 1;
  master.ECG_STRESS = 1;
  master.MASTER_QUARTER = 1;
  files.add(plain).add(master);
  files.write();

  openEntry("1");
  EXPECT_EQ(c("CHECK3").value() + c("CHECK4").value(), 0);
  EXPECT_EQ(maleRing() + femaleRing(), 0);
  EXPECT_EQ(c("COMBO2").selectedIndex(), 0);
  EXPECT_EQ(requestTick(), 0);
  EXPECT_GT(ringOne(), 0);

  openEntry("2");
  EXPECT_GT(amRing(), 0);
  EXPECT_GT(maleRing(), 0);
  EXPECT_GT(inpatientRing(), 0);
  EXPECT_EQ(outpatientRing(), 0);
  EXPECT_TRUE(c("CHECK6").fontBold());
  EXPECT_EQ(c("CHECK10").value(), 1);
  EXPECT_GT(tickAt(648), 0);
  EXPECT_EQ(ringOne(), 0);
  EXPECT_GT(ringTwo(), 0);
  EXPECT_EQ(CURRENT_ENTRY, "2");
}

TEST_F(OpenDeleteTest, EntryWithoutItsClinicalRecordKeepsTheClearedClinicalFields) {
  givenFile("EKG_SYS/HOKENNI", entry_test::doctorList({"田中"_sj}));
  givenFile("EKG_SYS/HOKENNI_DF", entry_test::settingRecord("0"));
  entry::MAINFORM_START();
  common::ExamineeRecord r = examinee("1", "a");
  r.DOCTOR = "佐藤"_sj;
  r.HOSPITAL = "さくら医院"_sj;
  files.add(r).add(r);
  files.write();
  // The second append stopped after the attribute record.
  HistoryFiles::writeFile("EKG_DATA/EKGDATA_2",
                          HistoryFiles::readFile("EKG_DATA/EKGDATA_2").substr(0, 2000));
  openEntry("2");
  EXPECT_EQ(text("EDIT13"), "さくら医院"_sj);
  EXPECT_EQ(text("EDIT14"), "田中"_sj);
  openEntry("1");
  EXPECT_EQ(text("EDIT14"), "佐藤"_sj);
}

TEST_F(OpenDeleteTest, WithoutASelectionNothingIsOpenedOrDeleted) {
  files.addNumbered(2);
  files.write();
  openHistoryWindow();
  ASSERT_EQ(form2("LIST1").selectedIndex(), -1);
  CURRENT_ENTRY = "7";
  history::LIST1_DBLCLICK();
  EXPECT_EQ(answers.beeps, 1);
  EXPECT_EQ(CURRENT_ENTRY, "");
  EXPECT_TRUE(answers.messages.empty());

  press("BUTTON15");
  expectMessage(0, "開　く"_sj, "履歴からファイルを開く対象者が選択されていません。   "_sj,
                mb::OK, mb::Information);
  press("BUTTON11");
  expectMessage(1, "削　除"_sj, "削除対象者が選択されていません。   "_sj, mb::OK,
                mb::Information);
  EXPECT_TRUE(fw::isOpen(history::FORM2));
  EXPECT_EQ(entriesListed(), (std::vector<Str>{"2", "1"}));
}

TEST_F(OpenDeleteTest, AnsweringNoKeepsEverythingButBlanksTheEntry) {
  files.addNumbered(2);
  files.write();
  const Str before = HistoryFiles::readFile("EKG_DATA/EKGDATA_1");
  openEntry("1", mb::ResNo);
  EXPECT_TRUE(fw::isOpen(history::FORM2));
  EXPECT_EQ(CURRENT_ENTRY, "");
  selectEntry("1");
  answers.messageAnswers = {mb::ResNo};
  press("BUTTON15");
  answers.messageAnswers = {mb::ResNo};
  press("BUTTON11");
  expectMessage(2, "削　除"_sj,
                "氏名：受検者1\r\n\r\n選択した受検者の履歴ファイルを削除します。　よろしいですか？　   "_sj,
                mb::YesNo, mb::Question);
  EXPECT_EQ(CURRENT_ENTRY, "");
  EXPECT_EQ(HistoryFiles::readFile("EKG_DATA/EKGDATA_1"), before);
  EXPECT_EQ(text("EDIT1"), "");
}

TEST_F(OpenDeleteTest, DeletingAfterANameSearchListsEverythingElse) {
  files.add(examinee("1", "山田　太郎"_sj, "0000000001"))
      .add(examinee("2", "田中花子"_sj, "0000000002"))
      .add(examinee("3", "鈴木"_sj, "0000000003"))
      .add(examinee("4", "山田　次郎"_sj, "0000000004"));
  files.write();
  const Str attributesBefore = HistoryFiles::readFile("EKG_DATA/EKGDATA_1");
  const Str clinicalBefore = HistoryFiles::readFile("EKG_DATA/EKGDATA_2");
  openHistoryWindow();
  answers.messageAnswers = {mb::ResYes};
  answers.inputAnswers = {"山田"_sj};
  press("BUTTON16");
  ASSERT_EQ(entriesListed(), (std::vector<Str>{"4", "1"}));

  selectEntry("1");
  answers.messageAnswers = {mb::ResYes, mb::ResOK};
  press("BUTTON11");
  expectMessage(1, "削　除"_sj,
                "氏名：山田　太郎\r\n\r\n選択した受検者の履歴ファイルを削除します。　よろしいですか？　   "_sj,
                mb::YesNo, mb::Question);
  expectMessage(2, "削　除"_sj, "削除が完了しました。     "_sj, mb::OK, mb::Information);
  EXPECT_EQ(entriesListed(), (std::vector<Str>{"4", "3", "2"}));
  EXPECT_EQ(items("COMBO4"), lineNumbers(3));
  EXPECT_EQ(CURRENT_ENTRY, "");

  // Only the deletion mark of record 1 changed; the clinical file not at all.
  Str expected = attributesBefore;
  expected.replace(310, 10, "del       ");
  EXPECT_EQ(HistoryFiles::readFile("EKG_DATA/EKGDATA_1"), expected);
  EXPECT_EQ(HistoryFiles::readFile("EKG_DATA/EKGDATA_2"), clinicalBefore);

  // After a chart-number search the chart-number list comes back.
  answers.messageAnswers = {mb::ResYes};
  answers.inputAnswers = {"3"};
  press("BUTTON27");
  selectEntry("3");
  answers.messageAnswers = {mb::ResYes, mb::ResOK};
  press("BUTTON11");
  EXPECT_EQ(entriesListed(), (std::vector<Str>{"4", "2"}));
  EXPECT_EQ(items("LIST1")[0].substr(7, 12), "0000000004  ");
  EXPECT_EQ(HistoryFiles::readFile("EKG_DATA/EKGDATA_2"), clinicalBefore);

  // The numbers of deleted entries are never given again.
  EXPECT_EQ(history::appendEntry(common::attributesOf(examinee("5", "x"), "2024/05/08"),
                                 common::clinicalOf(examinee("5", "x"), "2024/05/08")),
            5);
}

TEST_F(OpenDeleteTest, DeletedEntryOpenedAndOverwrittenIsLiveAgain) {
  files.add(examinee("1", "a")).add(examinee("2", "消えた人"_sj), true).add(examinee("3", "c"));
  files.write();
  openHistoryWindow();
  fw::testing::mouseDoubleClick(*history::FORM2, 1190, 15);
  fw::waitForEvents();
  ASSERT_EQ(entriesListed(), (std::vector<Str>{"2"}));
  doubleClickEntry("2");
  EXPECT_EQ(text("EDIT8"), "消えた人"_sj);
  EXPECT_EQ(CURRENT_ENTRY, "2");

  // What "上書き登録" stores: the window's record at CURRENT_ENTRY.
  const common::ExamineeRecord r = entry::readFromMainWindow();
  history::overwriteEntry(2, common::attributesOf(r, "2024/05/08"),
                          common::clinicalOf(r, "2024/05/08"));
  openHistoryWindow();
  EXPECT_EQ(entriesListed(), (std::vector<Str>{"3", "2", "1"}));
  for (const char* name : {"BUTTON11", "BUTTON34", "COMBO4", "COMBO5"}) {
    EXPECT_TRUE(form2(name).enabled()) << name;
  }
}

// The files were cut back (a backup restored) while the list still shows the
// later entries: opening must not read past their end.
TEST_F(OpenDeleteTest, EntryNoLongerInTheFilesIsRefusedAndListedAgain) {
  files.addNumbered(5);
  files.write();
  c("EDIT8").setText("入力中"_sj);
  openHistoryWindow();
  ASSERT_EQ(entriesListed().size(), 5u);
  HistoryFiles shorter;
  shorter.addNumbered(3);
  shorter.write();

  answers.messageAnswers = {mb::ResYes, mb::ResOK};
  doubleClickEntry("5");
  answers.messageAnswers.clear();
  ASSERT_EQ(answers.messages.size(), 2u);
  expectMessage(1, "開　く"_sj,
                "選択した受検者の履歴ファイルを読み込めませんでした。   \r\n履歴リストを表示し直します。"_sj,
                mb::OK, mb::Information);
  EXPECT_FALSE(fw::programEnding());
  EXPECT_TRUE(fw::isOpen(history::FORM2));
  EXPECT_EQ(entriesListed(), (std::vector<Str>{"3", "2", "1"}));
  EXPECT_EQ(items("COMBO5"), lineNumbers(3));
  EXPECT_EQ(CURRENT_ENTRY, "");
  EXPECT_EQ(text("EDIT8"), "入力中"_sj);

  // Deleting an entry that is gone writes nothing either.
  HistoryFiles shortest;
  shortest.addNumbered(1);
  shortest.write();
  selectEntry("3");
  answers.messageAnswers = {mb::ResYes, mb::ResOK};
  press("BUTTON11");
  expectMessage(3, "削　除"_sj,
                "選択した受検者の履歴ファイルが見つからないため、削除できませんでした。   \r\n"
                "履歴リストを表示し直します。"_sj,
                mb::OK, mb::Information);
  EXPECT_EQ(HistoryFiles::readFile("EKG_DATA/EKGDATA_1").size(), 2000u);
  EXPECT_EQ(entriesListed(), (std::vector<Str>{"1"}));
}

TEST_F(OpenDeleteTest, DeletingWithTheAttributeFileGoneIsAMessage) {
  files.addNumbered(2);
  files.write();
  openHistoryWindow();
  std::filesystem::remove("EKG_DATA/EKGDATA_1");
  selectEntry("2");
  answers.messageAnswers = {mb::ResYes, mb::ResOK};
  press("BUTTON11");
  expectMessage(1, "削　除"_sj,
                "選択した受検者の履歴ファイルが見つからないため、削除できませんでした。   \r\n"
                "履歴リストを表示し直します。"_sj,
                mb::OK, mb::Information);
  EXPECT_FALSE(fw::programEnding());
  EXPECT_TRUE(fw::isOpen(history::FORM2));
  EXPECT_TRUE(entriesListed().empty());
  EXPECT_EQ(CURRENT_ENTRY, "");
}

}  // namespace
}  // namespace history_test
