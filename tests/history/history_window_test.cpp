// The history window: its list and list size, searches in the list, RESET,
// the deleted-entries view, Esc, and the way back to the main window.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <filesystem>

#include "history/history_window.h"
#include "tests/history/history_fixture.h"

namespace history_test {
namespace {

// Pictures for a person to look at, when TESSIVO_SNAPSHOT_DIR names a folder.
void snapshot(fw::Window& window, const char* file) {
  if (const char* dir = std::getenv("TESSIVO_SNAPSHOT_DIR")) {
    EXPECT_TRUE(window.saveScreenshot(std::string(dir) + "/" + file));
  }
}

using history::LIST_LIMIT;
using history::Column;
using history::LIST_MODE;

TEST_F(HistoryTest, OpensOverTheHiddenMainWindowWithTheNewestEntries) {
  files.addNumbered(120);
  files.write();
  openHistoryWindow();
  fw::Window& form = *history::FORM2;
  EXPECT_TRUE(form.visible());
  EXPECT_FALSE(fw::mainWindow().visible());
  EXPECT_FALSE(fw::mainWindow().enabled());
  EXPECT_EQ(LIST_MODE, Column::Number);
  EXPECT_EQ(LIST_LIMIT, 50);

  // No list-size setting yet: 50 lines, entries 120 … 71, ranges 1 … 50.
  const std::vector<Str> shown = entriesListed();
  ASSERT_EQ(shown.size(), 50u);
  EXPECT_EQ(shown.front(), "120");
  EXPECT_EQ(shown.back(), "71");
  EXPECT_EQ(items("LIST1").front().substr(0, 19), "   1   120         ");
  EXPECT_EQ(items("COMBO4"), lineNumbers(50));
  EXPECT_EQ(items("COMBO5"), lineNumbers(50));
  EXPECT_EQ(form2("COMBO6").text(), "50");
  EXPECT_EQ(items("COMBO6"), (std::vector<Str>{"50", "100", "200", "300", "400", "500", "1000",
                                               "1500", "2000"}));
  EXPECT_TRUE(answers.messages.empty());
}

TEST_F(HistoryTest, OnlyTheBackButtonClosesTheWindow) {
  files.addNumbered(3);
  files.write();
  entry::CURRENT_ENTRY = "2";
  openHistoryWindow();
  EXPECT_FALSE(history::FORM2->closeCommandEnabled());
  fw::testing::requestClose(*history::FORM2);
  fw::waitForEvents();
  ASSERT_TRUE(fw::isOpen(history::FORM2));

  press("BUTTON27");  // a chart-number list: LIST_MODE is the chart number
  answers.messageAnswers.clear();
  press("BUTTON4");
  EXPECT_FALSE(fw::isOpen(history::FORM2));
  EXPECT_TRUE(fw::mainWindow().visible());
  EXPECT_TRUE(fw::mainWindow().enabled());
  EXPECT_EQ(LIST_MODE, Column::Number);
  EXPECT_EQ(entry::CURRENT_ENTRY, "2");
}

TEST_F(HistoryTest, ListSizeIsStoredAndReadBack) {
  files.addNumbered(250);
  files.write();
  givenFile("EKG_SYS/RIRE_SAIDA_G", "");  // empty: 50 lines
  openHistoryWindow();
  EXPECT_EQ(entriesListed().size(), 50u);

  chooseSize(2);
  EXPECT_EQ(LIST_LIMIT, 200);
  EXPECT_EQ(entriesListed().size(), 200u);
  EXPECT_EQ(items("COMBO4").size(), 200u);
  EXPECT_EQ(cwd.read("EKG_SYS/RIRE_SAIDA_G"), entry_test::settingRecord("2"));

  press("BUTTON4");
  openHistoryWindow();
  EXPECT_EQ(form2("COMBO6").text(), "200");
  EXPECT_EQ(entriesListed().size(), 200u);
}

TEST_F(HistoryTest, ListSizeChangeListsNumbersButKeepsTheChartMode) {
  files.add(examinee("11", "a", "0000000005"))
      .add(examinee("12", "b", "0000000006"))
      .add(examinee("13", "c", "0000000005"));
  files.write();
  openHistoryWindow();
  answers.messageAnswers = {mb::ResYes};
  answers.inputAnswers = {"5"};
  press("BUTTON27");
  EXPECT_EQ(LIST_MODE, Column::ChartNumber);
  EXPECT_EQ(entriesListed(), (std::vector<Str>{"3", "1"}));
  EXPECT_EQ(items("LIST1")[0].substr(7, 12), "0000000005  ");

  chooseSize(1);
  EXPECT_EQ(LIST_MODE, Column::ChartNumber);
  EXPECT_EQ(entriesListed(), (std::vector<Str>{"3", "2", "1"}));
  EXPECT_EQ(items("LIST1")[0].substr(7, 12), "13          ");
}

TEST_F(HistoryTest, ResetAnsweredCancelKeepsTheListButNotTheChartMode) {
  files.add(examinee("11", "a", "0000000005")).add(examinee("12", "b", "0000000006"));
  files.write();
  openHistoryWindow();
  answers.messageAnswers = {mb::ResYes};
  answers.inputAnswers = {"6"};
  press("BUTTON27");
  ASSERT_EQ(entriesListed(), (std::vector<Str>{"2"}));
  fw::testing::selectItem(form2("COMBO4"), 0);
  fw::waitForEvents();

  answers.messageAnswers = {mb::ResCancel};
  press("BUTTON17");
  expectMessage(1, "RESET", "履歴リストを初期表示に戻します。    "_sj, mb::OKCancel,
                mb::Information);
  EXPECT_EQ(LIST_MODE, Column::Number);
  EXPECT_EQ(entriesListed(), (std::vector<Str>{"2"}));

  answers.messageAnswers = {mb::ResOK};
  press("BUTTON17");
  EXPECT_EQ(entriesListed(), (std::vector<Str>{"2", "1"}));
  EXPECT_EQ(items("LIST1")[0].substr(7, 12), "12          ");
  EXPECT_EQ(form2("COMBO4").selectedIndex(), -1);
  EXPECT_EQ(items("COMBO5"), lineNumbers(2));
}

TEST_F(HistoryTest, DeletedEntriesOnlyFromADoubleClickInTheCorner) {
  files.addNumbered(2);
  files.add(examinee("3", "x"), true);
  files.add(examinee("4", "y"));
  files.add(examinee("5", "z"), true);
  files.write();
  openHistoryWindow();
  EXPECT_EQ(entriesListed(), (std::vector<Str>{"4", "2", "1"}));
  fw::Window& form = *history::FORM2;

  for (auto [x, y] : {std::pair{1190, 40}, {1170, 15}, {1210, 15}, {1190, 5}, {1190, 30}}) {
    fw::testing::mouseDoubleClick(form, x, y);
    fw::waitForEvents();
    EXPECT_EQ(entriesListed(), (std::vector<Str>{"4", "2", "1"})) << x << "," << y;
  }
  EXPECT_TRUE(form2("BUTTON11").enabled());

  fw::testing::mouseDoubleClick(form, 1190, 15);
  fw::waitForEvents();
  EXPECT_EQ(entriesListed(), (std::vector<Str>{"5", "3"}));
  EXPECT_EQ(items("LIST1")[1].substr(0, 4), "   2");
  for (const char* name : {"BUTTON11", "BUTTON34", "COMBO4", "COMBO5"}) {
    EXPECT_FALSE(form2(name).enabled()) << name;
  }
  EXPECT_EQ(LIST_MODE, Column::Number);

  // A list-size change lists live entries but leaves the controls off; a
  // search gives them back.
  chooseSize(1);
  EXPECT_EQ(entriesListed(), (std::vector<Str>{"4", "2", "1"}));
  EXPECT_FALSE(form2("BUTTON11").enabled());
  answers.messageAnswers = {mb::ResNo};
  press("BUTTON18");
  for (const char* name : {"BUTTON11", "BUTTON34", "COMBO4", "COMBO5"}) {
    EXPECT_TRUE(form2(name).enabled()) << name;
  }
}

TEST_F(HistoryTest, SearchesListEveryMatchNewestFirst) {
  files.add(examinee("7", "山田　太郎"_sj))
      .add(examinee("8", "田中花子"_sj))
      .add(examinee("7", "鈴木"_sj))
      .add(examinee("7", "佐藤"_sj), true);
  files.write();
  openHistoryWindow();

  answers.messageAnswers = {mb::ResYes};
  answers.inputAnswers = {"７"_sj};
  press("BUTTON18");
  expectMessage(0, "番号で検索"_sj,
                "入力した番号の受検者を過去履歴から検索します\r\nよろしいですか？   "_sj, mb::YesNo,
                mb::Question);
  ASSERT_EQ(answers.inputs.size(), 1u);
  EXPECT_EQ(answers.inputs[0].title, "番号で検索"_sj);
  EXPECT_EQ(answers.inputs[0].prompt, "番号を入力して下さい。"_sj);
  EXPECT_EQ(answers.inputs[0].defaultText, "");
  EXPECT_EQ(entriesListed(), (std::vector<Str>{"3", "1"}));
  EXPECT_EQ(items("COMBO4"), lineNumbers(2));
  EXPECT_EQ(history::FORM2->imeMode(), fw::ime::Off);

  answers.messageAnswers = {mb::ResYes};
  answers.inputAnswers = {"田"_sj};
  press("BUTTON16");
  expectMessage(1, "氏名で検索"_sj,
                "入力した氏名の受検者を過去履歴から検索します(不完全一致可)。\r\nよろしいですか？   "_sj,
                mb::YesNo, mb::Question);
  EXPECT_EQ(entriesListed(), (std::vector<Str>{"2", "1"}));
  EXPECT_EQ(items("LIST1")[1].substr(0, 4), "   2");

  // Nothing found: the message, then the full list.
  answers.messageAnswers = {mb::ResYes, mb::ResOK};
  answers.inputAnswers = {"佐藤"_sj};
  press("BUTTON16");
  expectMessage(3, "氏名で検索"_sj, "入力した氏名の受検者は、ありませんでした。  "_sj, mb::OK,
                mb::Information);
  EXPECT_EQ(entriesListed(), (std::vector<Str>{"3", "2", "1"}));

  // Cancelled input: the full list shown first stays.
  answers.messageAnswers = {mb::ResYes};
  answers.inputAnswers = {"\x1b"};
  press("BUTTON16");
  EXPECT_EQ(answers.messages.size(), 5u);
  EXPECT_EQ(entriesListed(), (std::vector<Str>{"3", "2", "1"}));
}

TEST_F(HistoryTest, ChartNumberSearchWithoutMatchShowsTheChartNumberList) {
  files.add(examinee("1", "a", "0000000005"));
  files.write();
  openHistoryWindow();
  answers.messageAnswers = {mb::ResYes, mb::ResOK};
  answers.inputAnswers = {"9"};
  press("BUTTON27");
  expectMessage(1, "カルテ番号で検索"_sj, "入力したカルテ番号の受検者は、ありませんでした。  "_sj,
                mb::OK, mb::Information);
  EXPECT_EQ(entriesListed(), (std::vector<Str>{"1"}));
  EXPECT_EQ(items("LIST1")[0].substr(7, 12), "0000000005  ");
  EXPECT_EQ(LIST_MODE, Column::ChartNumber);
}

TEST_F(HistoryTest, HeldEscapeStopsTheListingWithABeep) {
  files.addNumbered(30);
  files.write();
  // Esc goes down after the list is built (one test: the listing asks at
  // its first record and then every 64) while the print range is filled:
  // the range stops where it was.
  int tests = 0;
  answers.keys = [&](int key) { return key == fw::kVkEscape && ++tests > 11; };
  openHistoryWindow();
  ASSERT_EQ(entriesListed().size(), 30u);
  EXPECT_EQ(items("COMBO4"), lineNumbers(10));
  EXPECT_EQ(answers.beeps, 1);
  answers.keys = nullptr;
  answers.messageAnswers = {mb::ResOK};
  press("BUTTON17");  // RESET fills the whole range again
  ASSERT_EQ(items("COMBO5"), lineNumbers(30));
  answers.messages.clear();

  holdEscape();
  answers.messageAnswers = {mb::ResOK};
  press("BUTTON17");
  EXPECT_TRUE(entriesListed().empty());
  EXPECT_GE(answers.beeps, 1);
  // The print range keeps what it offered: there are no lines to offer.
  EXPECT_EQ(items("COMBO4"), lineNumbers(30));

  // The same in a search: nothing listed before the stop, so the message.
  answers.messageAnswers = {mb::ResYes, mb::ResOK};
  answers.inputAnswers = {"1"};
  const int beeps = answers.beeps;
  press("BUTTON18");
  EXPECT_GT(answers.beeps, beeps);
  expectMessage(2, "番号で検索"_sj, "入力した番号の受検者は、ありませんでした。  "_sj, mb::OK,
                mb::Information);
}

TEST_F(HistoryTest, HelpBoxesGiveTheFocusBack) {
  openHistoryWindow();
  EXPECT_EQ(form2("EDIT24").text(),
            "各受検者の心電図カルテを再表示したい場合は、上記の履歴リストをダブルクリックまたはリストを選択の後、開くボタンをクリックして受検者のファイルを開いて下さい。また、削除ボタンによって各受検者の履歴ファイルを削除することができます。なお、リストの表示に時間を要する場合は、[Esc]keyによって表示を停止することができます。"_sj);
  for (const char* help : {"EDIT24", "EDIT97"}) {
    fw::testing::focus(form2(help));
    fw::waitForEvents();
    EXPECT_FALSE(form2(help).hasFocus()) << help;
  }
  EXPECT_EQ(form2("LIST1").fontSize(), 22);
  EXPECT_TRUE(form2("BUTTON34").fontBold());
}

TEST_F(HistoryTest, ScreenshotsOfTheHistoryWindow) {
  files.add(examinee("1001", "山田　太郎"_sj, "0000000123"))
      .add(examinee("1002", "田中花子"_sj, "0000000456"), true);
  common::ExamineeRecord full = examinee("1003", "ﾔﾏﾀﾞ ﾊﾅｺ"_sj, "0000000789");
  full.SEX_FEMALE = 1;
  full.BIRTH_YEAR = "昭和45"_sj;
  full.BIRTH_MONTH = "５"_sj;
  full.BIRTH_DAY = "１２"_sj;
  full.AGE = "54";
  full.EXAM_YEAR = "2024";
  full.EXAM_MONTH = "１２"_sj;
  full.EXAM_DAY = "２４"_sj;
  files.add(full).add(examinee("12a", "長い名前の受検者さんの名前です"_sj), true);
  files.addNumbered(8);
  files.write();
  openHistoryWindow();
  snapshot(*history::FORM2, "full-list.png");
  // A chart-number search without a match ends on the full chart-number list.
  answers.messageAnswers = {mb::ResYes, mb::ResOK};
  answers.inputAnswers = {"999"};
  press("BUTTON27");
  EXPECT_EQ(LIST_MODE, Column::ChartNumber);
  snapshot(*history::FORM2, "chart-number-list.png");
  fw::testing::mouseDoubleClick(*history::FORM2, 1190, 15);
  fw::waitForEvents();
  EXPECT_EQ(entriesListed(), (std::vector<Str>{"4", "2"}));
  snapshot(*history::FORM2, "deleted-view.png");
}

}  // namespace
}  // namespace history_test
