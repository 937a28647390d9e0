// Input on the main window: commits with Enter, refusals with their exact
// messages, the check-box groups, the pickers, today's date and clearing.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>

#include "entry/state.h"
#include "framework/form/dialogs.h"
#include "history/window_state.h"
#include "tests/entry/entry_fixture.h"

namespace entry_test {
namespace {

namespace mb = fw::mb;
using entry::EDIT_COUNT;

class InputTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    start();
  }

  // Red pixels of the main window's picture in the rectangle (inclusive).
  static int redPixels(int x1, int y1, int x2, int y2) {
    int n = 0;
    for (int y = y1; y <= y2; ++y) {
      for (int x = x1; x <= x2; ++x) n += fw::mainWindow().picturePixel(x, y) == kRed;
    }
    return n;
  }
  static constexpr uint32_t kRed = fw::rgb(255, 0, 0);
  // Rings and the mark beside the request list, in picture pixels.
  static int ringOne() { return redPixels(74, 470, 120, 512); }
  static int ringTwo() { return redPixels(74, 517, 120, 558); }
  static int outpatientRing() { return redPixels(518, 306, 610, 351); }
  static int inpatientRing() { return redPixels(618, 306, 694, 351); }
  static int requestKindMark() { return redPixels(697, 296, 735, 340); }
};

TEST_F(InputTest, TypingWithoutEnterIsNotACommit) {
  fw::testing::typeText(c("EDIT3"), "5");
  fw::testing::focus(c("EDIT4"));
  fw::waitForEvents();
  EXPECT_EQ(text("EDIT3"), "5");
  EXPECT_EQ(EDIT_COUNT, 0);

  fw::testing::focus(c("EDIT3"));
  fw::testing::pressEnter(c("EDIT3"));
  fw::waitForEvents();
  EXPECT_EQ(text("EDIT3"), "５"_sj);
  EXPECT_EQ(EDIT_COUNT, 1);
}

TEST_F(InputTest, MonthAndMinuteBoxesNormaliseAndMoveOn) {
  commit("EDIT3", "05");
  EXPECT_EQ(text("EDIT3"), "５"_sj);
  EXPECT_TRUE(c("EDIT4").hasFocus());
  commit("EDIT4", "12");
  EXPECT_EQ(text("EDIT4"), "12");
  commit("EDIT5", "0");
  EXPECT_EQ(text("EDIT5"), "０"_sj);
  commit("EDIT6", "5");
  EXPECT_EQ(text("EDIT6"), "05");
  EXPECT_TRUE(c("EDIT7").hasFocus());
  commit("EDIT12", "　45 "_sj);
  EXPECT_EQ(text("EDIT12"), "45");
  EXPECT_EQ(EDIT_COUNT, 5);
  EXPECT_TRUE(answers.messages.empty());
}

TEST_F(InputTest, ChartNumberIsFilledToTenDigits) {
  commit("EDIT7", "123");
  EXPECT_EQ(text("EDIT7"), "0000000123");
  EXPECT_TRUE(c("EDIT8").hasFocus());
  commit("EDIT7", "");
  EXPECT_EQ(text("EDIT7"), "");
  EXPECT_EQ(EDIT_COUNT, 2);
}

TEST_F(InputTest, NumberRefusalsShowTheirMessageEmptyTheBoxAndCount) {
  commit("EDIT7", "12345678901");
  expectMessage(0, "カルテ番号"_sj, "カルテ番号の入力可能ケタ数は、10ケタまでです！  "_sj, mb::OK,
                mb::Information);
  EXPECT_EQ(text("EDIT7"), "");
  EXPECT_TRUE(c("EDIT7").hasFocus());
  EXPECT_EQ(EDIT_COUNT, 1);

  commit("EDIT1", "12345678901");
  expectMessage(1, "番号"_sj, "番号の入力可能ケタ数は、10ケタまでです！  "_sj, mb::OK,
                mb::Information);
  commit("EDIT1", "１２"_sj);
  expectMessage(2, "番号"_sj, "番号は半角数字で入力して下さい！"_sj, mb::OK, mb::Information);
  commit("EDIT1", "0");
  expectMessage(3, "番号"_sj, "番号は「０」より大きい数値を入力して下さい！"_sj, mb::OK,
                mb::Information);
  commit("EDIT1", "abc");
  EXPECT_EQ(answers.messages.size(), 5u);
  EXPECT_EQ(text("EDIT1"), "");
  EXPECT_EQ(EDIT_COUNT, 5);

  commit("EDIT1", "12a");
  EXPECT_EQ(answers.messages.size(), 5u);
  EXPECT_EQ(text("EDIT1"), "12a");
  EXPECT_TRUE(c("EDIT2").hasFocus());
  EXPECT_EQ(EDIT_COUNT, 6);
}

// A number too large to hold is still a number: typing one must not reach the
// program trap, which would end the program and lose the unregistered input.
TEST_F(InputTest, NumberTooLargeToHoldDoesNotEndTheProgram) {
  commit("EDIT8", "山田"_sj);
  commit("EDIT1", "1e999");
  EXPECT_FALSE(fw::programEnding());
  EXPECT_TRUE(answers.messages.empty());
  EXPECT_EQ(text("EDIT1"), "1e999");
  EXPECT_TRUE(c("EDIT2").hasFocus());

  commit("EDIT7", "-1e999");
  ASSERT_EQ(answers.messages.size(), 1u);
  expectMessage(0, "カルテ番号"_sj, "カルテ番号は「０」より大きい数値を入力して下さい！"_sj,
                mb::OK, mb::Information);
  EXPECT_EQ(text("EDIT7"), "");

  commit("EDIT9", "令和9e999"_sj);
  commit("EDIT2", "令和&H100000000"_sj);
  EXPECT_FALSE(fw::programEnding());
  EXPECT_EQ(text("EDIT9"), "令和9e999"_sj);
  EXPECT_EQ(text("EDIT8"), "山田"_sj);
  EXPECT_EQ(EDIT_COUNT, 5);
}

TEST_F(InputTest, YearBoxesConvertEraYearsAndRefuseNonsense) {
  commit("EDIT9", "令和3"_sj);
  EXPECT_EQ(text("EDIT9"), "令和３"_sj);
  commit("EDIT2", "2024");
  EXPECT_EQ(text("EDIT2"), "2024");
  EXPECT_EQ(EDIT_COUNT, 2);

  commit("EDIT9", "令和"_sj);
  expectMessage(0, "CAUTION!", "年数の形式に誤りがあります。"_sj, mb::OK, mb::Information);
  // The box keeps what was typed, line break included; nothing is counted.
  EXPECT_EQ(text("EDIT9"), "令和\r\n"_sj);
  EXPECT_EQ(EDIT_COUNT, 2);
}

// The refused text keeps its line break; each further Enter in the box is
// one more commit and brings exactly one more message.
TEST_F(InputTest, RefusedYearIsReportedOncePerEnter) {
  commit("EDIT2", "令和"_sj);
  ASSERT_EQ(answers.messages.size(), 1u);
  for (size_t enter = 2; enter <= 3; ++enter) {
    fw::testing::pressEnter(c("EDIT2"));
    fw::waitForEvents();
    EXPECT_EQ(answers.messages.size(), enter);
  }
  EXPECT_EQ(text("EDIT2"), "令和\r\n\r\n\r\n"_sj);
  EXPECT_EQ(EDIT_COUNT, 0);
}

TEST_F(InputTest, FocusSetsTheInputMethodOfEachKindOfBox) {
  fw::testing::focus(c("EDIT2"));  // era names are typed in the year box
  fw::waitForEvents();
  EXPECT_EQ(c("EDIT2").imeMode(), 4);
  fw::testing::focus(c("EDIT1"));
  fw::waitForEvents();
  EXPECT_EQ(c("EDIT1").imeMode(), 2);

  c("EDIT98").setFontSize(9);
  fw::testing::focus(c("EDIT98"));
  fw::waitForEvents();
  EXPECT_EQ(c("EDIT98").fontSize(), 20);
  EXPECT_EQ(c("EDIT98").imeMode(), 4);
  EXPECT_EQ(EDIT_COUNT, 0);
}

TEST_F(InputTest, EraPickerPutsTheEraBeforeTheYear) {
  choose("COMBO1", 3);  // " 昭和"
  EXPECT_EQ(text("EDIT9"), "昭和"_sj);
  EXPECT_EQ(c("COMBO1").selectedIndex(), 0);
  EXPECT_TRUE(c("EDIT9").hasFocus());
  fw::testing::typeText(c("EDIT9"), "5\r\n");
  fw::waitForEvents();
  EXPECT_EQ(text("EDIT9"), "昭和５"_sj);

  choose("COMBO1", 1);
  choose("COMBO1", 0);  // the blank item empties the year
  EXPECT_EQ(text("EDIT9"), "");
  EXPECT_EQ(EDIT_COUNT, 4);
}

TEST_F(InputTest, RequestKindAndOutpatientExcludeEachOther) {
  click("CHECK5");
  EXPECT_EQ(c("CHECK5").value(), 1);
  EXPECT_TRUE(c("CHECK5").fontBold());
  EXPECT_EQ(c("COMBO2").selectedIndex(), 0);

  choose("COMBO2", 9);  // " 生保"
  EXPECT_EQ(c("CHECK5").value(), 0);
  EXPECT_FALSE(c("CHECK5").fontBold());
  EXPECT_EQ(c("CHECK6").value(), 0);
  EXPECT_TRUE(c("EDIT14").hasFocus());

  click("CHECK6");
  EXPECT_EQ(c("COMBO2").selectedIndex(), 0);
  click("CHECK5");
  EXPECT_EQ(c("CHECK6").value(), 0);
  EXPECT_EQ(c("CHECK5").value(), 1);
  EXPECT_EQ(EDIT_COUNT, 4);
}

TEST_F(InputTest, RequestKindClearsInpatientAndItsRing) {
  click("CHECK6");
  ASSERT_GT(inpatientRing(), 0);
  choose("COMBO2", 9);  // " 生保"
  EXPECT_EQ(c("CHECK6").value(), 0);
  EXPECT_FALSE(c("CHECK6").fontBold());
  EXPECT_EQ(inpatientRing(), 0);
  EXPECT_GT(requestKindMark(), 0);
  EXPECT_EQ(EDIT_COUNT, 2);
}

TEST_F(InputTest, RequestKindWhileOutpatientIsTickedClearsItsRing) {
  click("CHECK5");
  ASSERT_GT(outpatientRing(), 0);
  choose("COMBO2", 2);
  EXPECT_EQ(c("CHECK5").value(), 0);
  EXPECT_EQ(outpatientRing(), 0);
  EXPECT_GT(requestKindMark(), 0);
}

TEST_F(InputTest, OutpatientResetsAChosenRequestKindAndItsMark) {
  choose("COMBO2", 13);
  ASSERT_GT(requestKindMark(), 0);
  click("CHECK5");
  EXPECT_EQ(c("COMBO2").selectedIndex(), 0);
  EXPECT_EQ(requestKindMark(), 0);
  EXPECT_GT(outpatientRing(), 0);
  EXPECT_TRUE(c("EDIT14").hasFocus());

  // The blank category erases the mark without touching 外来.
  choose("COMBO2", 0);
  EXPECT_EQ(c("CHECK5").value(), 1);
  EXPECT_EQ(requestKindMark(), 0);
  EXPECT_EQ(EDIT_COUNT, 3);
}

// Ticking 外来 or 入院 takes the request category and its mark away. The
// check box and a click on the drawn word must leave the same picture as
// ticking it with no category chosen: no piece of the mark, the words and
// the ring whole.
TEST_F(InputTest, RequestKindMarkGoesTheSameWayByCheckBoxAndByClickArea) {
  enum class Way { CheckBoxAlone, CheckBox, ClickArea };
  struct Choice {
    const char* box;
    int x, y;  // on the drawn word
  };
  for (const Choice& choice : {Choice{"CHECK5", 560, 330}, Choice{"CHECK6", 660, 330}}) {
    SCOPED_TRACE(choice.box);
    auto pictureAfter = [&](Way way) {
      MainWindowTest::TearDown();
      InputTest::SetUp();
      if (way != Way::CheckBoxAlone) choose("COMBO2", 9);
      if (way == Way::ClickArea) {
        fw::testing::mouseClick(fw::mainWindow(), choice.x, choice.y);
        fw::waitForEvents();
      } else {
        click(choice.box);
      }
      EXPECT_EQ(c(choice.box).value(), 1);
      EXPECT_EQ(c("COMBO2").selectedIndex(), 0);
      std::vector<uint32_t> pixels;
      for (int y = 290; y <= 360; ++y)
        for (int x = 500; x <= 740; ++x) pixels.push_back(fw::mainWindow().picturePixel(x, y));
      return pixels;
    };
    const std::vector<uint32_t> reference = pictureAfter(Way::CheckBoxAlone);
    EXPECT_TRUE(pictureAfter(Way::CheckBox) == reference) << "by the check box";
    EXPECT_TRUE(pictureAfter(Way::ClickArea) == reference) << "by the drawn word";
    EXPECT_EQ(redPixels(693, 296, 735, 305), 0) << "a piece of the mark stayed";
  }
}

TEST_F(InputTest, PairsAreExclusiveAndShowTheChoiceBold) {
  click("CHECK1");
  click("CHECK2");
  EXPECT_EQ(c("CHECK1").value(), 0);
  EXPECT_FALSE(c("CHECK1").fontBold());
  EXPECT_TRUE(c("CHECK2").fontBold());
  EXPECT_TRUE(c("EDIT5").hasFocus());
  click("CHECK2");
  EXPECT_EQ(c("CHECK2").value(), 0);
  EXPECT_FALSE(c("CHECK2").fontBold());

  click("CHECK3");
  click("CHECK4");
  EXPECT_EQ(c("CHECK3").value(), 0);
  EXPECT_EQ(c("CHECK4").value(), 1);
  EXPECT_TRUE(c("EDIT13").hasFocus());
  EXPECT_EQ(EDIT_COUNT, 5);
}

TEST_F(InputTest, MasterTestChoiceMakesItAPostExerciseEcg) {
  click("CHECK7");
  EXPECT_EQ(c("CHECK7").value(), 1);
  click("CHECK9");
  EXPECT_EQ(c("CHECK7").value(), 0);
  EXPECT_EQ(c("CHECK8").value(), 1);
  EXPECT_EQ(c("CHECK9").value(), 1);
  click("CHECK10");
  EXPECT_EQ(c("CHECK9").value(), 0);
  EXPECT_EQ(c("CHECK10").value(), 1);
  click("CHECK10");  // taking the variant back keeps the stress ECG
  EXPECT_EQ(c("CHECK8").value(), 1);
  click("CHECK8");
  EXPECT_EQ(c("CHECK8").value(), 0);
  EXPECT_EQ(EDIT_COUNT, 5);
}

TEST_F(InputTest, MasterHalfAfterRestMovesTheCircleFromOneToTwo) {
  click("CHECK7");
  ASSERT_GT(ringOne(), 0);
  EXPECT_EQ(ringTwo(), 0);
  click("CHECK9");
  EXPECT_EQ(c("CHECK7").value(), 0);
  EXPECT_EQ(c("CHECK8").value(), 1);
  EXPECT_EQ(ringOne(), 0);
  EXPECT_GT(ringTwo(), 0);
  EXPECT_EQ(EDIT_COUNT, 2);
}

TEST_F(InputTest, StressOtherTextSetsTheStressEcg) {
  click("CHECK7");
  click("CHECK11");
  commit("EDIT20", "エルゴメーター"_sj);
  EXPECT_EQ(c("CHECK8").value(), 1);
  EXPECT_EQ(c("CHECK7").value(), 0);
  EXPECT_EQ(c("CHECK11").value(), 0);
  EXPECT_TRUE(c("EDIT21").hasFocus());

  click("CHECK7");  // resting ECG empties the description
  EXPECT_EQ(text("EDIT20"), "");
  EXPECT_EQ(c("CHECK8").value(), 0);

  // An empty description clears the stress ECG but leaves the resting one.
  commit("EDIT20", "");
  EXPECT_EQ(c("CHECK7").value(), 1);
  EXPECT_EQ(c("CHECK8").value(), 0);
}

TEST_F(InputTest, TodaysDateWritesMonthsBelowTenFullWidth) {
  fw::setClock([] { return fw::LocalTime{2024, 3, 9, 10, 0, 0}; });
  answers.messageAnswers = {mb::ResYes};
  click("BUTTON8");
  expectMessage(0, "今日の日付にする"_sj, "今日の日付を表示しますか？   "_sj, mb::YesNo,
                mb::Question);
  EXPECT_EQ(text("EDIT2"), "2024");
  EXPECT_EQ(text("EDIT3"), "３"_sj);
  EXPECT_EQ(text("EDIT4"), "９"_sj);
  EXPECT_EQ(EDIT_COUNT, 1);

  fw::setClock([] { return fw::LocalTime{2024, 12, 25, 10, 0, 0}; });
  answers.messageAnswers = {mb::ResYes};
  click("BUTTON8");
  EXPECT_EQ(text("EDIT3"), "12");
  EXPECT_EQ(text("EDIT4"), "25");

  answers.messageAnswers = {mb::ResNo};
  fw::setClock([] { return fw::LocalTime{2025, 1, 1, 10, 0, 0}; });
  click("BUTTON8");
  EXPECT_EQ(text("EDIT2"), "2024");
  EXPECT_EQ(EDIT_COUNT, 2);
}

TEST_F(InputTest, ClearOnAnUnchangedWindowAsksOnlyOnce) {
  answers.messageAnswers = {mb::ResOK};
  click("BUTTON9");
  ASSERT_EQ(answers.messages.size(), 1u);
  expectMessage(0, "クリア(新規登録)"_sj, "現在の全ての入力データを消去します！     "_sj,
                mb::OKCancel, mb::Information);
  EXPECT_EQ(c("COMBO2").selectedIndex(), 0);
  EXPECT_EQ(EDIT_COUNT, 0);
}

TEST_F(InputTest, ClearWithChangesAsksTwiceAndNoKeepsTheInput) {
  commit("EDIT8", "山田"_sj);
  click("CHECK3");
  answers.messageAnswers = {mb::ResOK, mb::ResNo};
  click("BUTTON9");
  ASSERT_EQ(answers.messages.size(), 2u);
  expectMessage(1, "クリア(新規登録)"_sj,
                "データが変更されています。\r\nこのまま現在の全ての入力データを消去してよろしいですか？"_sj,
                mb::YesNo, mb::Question);
  EXPECT_EQ(text("EDIT8"), "山田"_sj);
  EXPECT_EQ(EDIT_COUNT, 2);

  answers.messageAnswers = {mb::ResCancel};
  click("BUTTON9");
  EXPECT_EQ(answers.messages.size(), 3u);
  EXPECT_EQ(text("EDIT8"), "山田"_sj);

  entry::CURRENT_ENTRY = "3";
  answers.messageAnswers = {mb::ResOK, mb::ResYes};
  click("BUTTON9");
  EXPECT_EQ(text("EDIT8"), "");
  EXPECT_EQ(c("CHECK3").value(), 0);
  EXPECT_EQ(EDIT_COUNT, 0);
  EXPECT_EQ(entry::CURRENT_ENTRY, "");
}

TEST_F(InputTest, ClearRestoresHospitalAndDoctorDefaults) {
  givenFile("EKG_SYS/HOKENNI", doctorList({"田中"_sj, "鈴木"_sj}));
  givenFile("EKG_SYS/HOKENNI_DF", settingRecord("1"));
  givenFile("EKG_SYS/BYOUINMEI", settingRecord("1"));
  givenFile("EKG_SYS/BYOUINMEI_DAT", settingRecord("山田医院"_sj));
  entry::MAINFORM_START();
  commit("EDIT13", "別の病院"_sj);
  choose("COMBO3", 1);
  EXPECT_EQ(text("EDIT14"), "田中"_sj);
  EXPECT_EQ(c("COMBO3").selectedIndex(), 0);

  answers.messageAnswers = {mb::ResOK, mb::ResYes};
  click("BUTTON9");
  EXPECT_EQ(text("EDIT13"), "山田医院"_sj);
  EXPECT_EQ(text("EDIT14"), "鈴木"_sj);
  EXPECT_EQ(EDIT_COUNT, 0);
}

TEST_F(InputTest, HistoryButtonAsksAboutChangesFirst) {
  click("BUTTON2");
  EXPECT_TRUE(answers.messages.empty());  // nothing changed: no question
  ASSERT_TRUE(fw::isOpen(history::FORM2));
  fw::testing::click(history::FORM2->control("BUTTON4"));
  fw::waitForEvents();
  ASSERT_FALSE(fw::isOpen(history::FORM2));

  commit("EDIT8", "山田"_sj);
  answers.messageAnswers = {mb::ResNo};
  click("BUTTON2");
  ASSERT_EQ(answers.messages.size(), 1u);
  expectMessage(0, "履　歴"_sj, "データが変更されています。\r\nこのまま履歴を表示しますか？"_sj,
                mb::YesNo, mb::Question);
  EXPECT_FALSE(fw::isOpen(history::FORM2));

  answers.messageAnswers = {mb::ResNo};
  click("BUTTON38");
  expectMessage(1, "複数印刷"_sj, "データが変更されています。\r\nこのまま複数印刷を行いますか？"_sj,
                mb::YesNo, mb::Question);
  EXPECT_EQ(answers.messages.size(), 2u);
}

// A name with a character that Shift_JIS lacks would be stored with '?' in
// its place: the box refuses it, keeps what was typed before and says why;
// Enter then commits the name as it stands.
TEST_F(InputTest, NameBoxRefusesACharacterShiftJisLacks) {
  fw::testing::typeText(c("EDIT8"), "山田"_sj);
  fw::testing::typeUtf8(c("EDIT8"), "𠮷");
  QGuiApplication::clipboard()->setText(QString::fromUtf8("吉𠮷"));
  fw::testing::paste(c("EDIT8"));
  fw::waitForEvents();
  EXPECT_EQ(text("EDIT8"), "山田"_sj);
  ASSERT_EQ(answers.messages.size(), 1u);
  EXPECT_EQ(answers.messages[0].shownText, fw::refusedCharactersNotice({"𠮷"}));
  EXPECT_EQ(answers.messages[0].icon, mb::Information);
  EXPECT_EQ(EDIT_COUNT, 0);

  fw::testing::pressEnter(c("EDIT8"));
  fw::waitForEvents();
  EXPECT_EQ(text("EDIT8"), "山田"_sj);
  EXPECT_EQ(EDIT_COUNT, 1);
  EXPECT_TRUE(c("EDIT9").hasFocus());
}

TEST_F(InputTest, ScreenshotsOfTheMainWindow) {
  tessivo::test::TempDir pictures;
  EXPECT_TRUE(fw::mainWindow().saveScreenshot(pictures.file("after-start.png")));
  commit("EDIT1", "12");
  commit("EDIT7", "123");
  commit("EDIT8", "山田　太郎"_sj);
  choose("COMBO1", 3);
  fw::testing::typeText(c("EDIT9"), "45\r\n");
  fw::waitForEvents();
  click("CHECK1");
  click("CHECK3");
  choose("COMBO2", 9);
  click("CHECK9");
  EXPECT_EQ(text("EDIT1"), "12");
  EXPECT_EQ(text("EDIT9"), "昭和45"_sj);
  EXPECT_EQ(c("COMBO2").selectedIndex(), 9);
  EXPECT_TRUE(fw::mainWindow().saveScreenshot(pictures.file("after-choices.png")));
}

}  // namespace
}  // namespace entry_test
