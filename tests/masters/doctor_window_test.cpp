// The doctor list window FORM6 driven as the operator drives it.
#include <gtest/gtest.h>

#include <string>

#include "framework/form/dialogs.h"
#include "framework/form/testing.h"
#include "tests/masters/support.h"

namespace masters_test {
namespace {

using fw::testing::click;

class DoctorWindow : public MastersWindow {
 protected:
  // BUTTON6 answered Yes: FORM6 opens and its start event runs.
  void openDoctorWindow() {
    answers->messageAnswers.push_back(fw::mb::ResYes);
    click(fw::ctl("BUTTON6"));
    fw::waitForEvents();
    ASSERT_TRUE(fw::isOpen(masters::FORM6));
  }
  fw::Control& form6(const char* name) { return masters::FORM6->control(name); }

  void registerDoctor(const fw::Str& name) {
    form6("EDIT96").setText(name);
    click(form6("BUTTON29"));
    fw::waitForEvents();
  }
  void select(int index) {
    fw::testing::selectItem(form6("LIST2"), index);
    fw::waitForEvents();
  }
  void press(const char* button) {
    click(form6(button));
    fw::waitForEvents();
  }
  std::string hokenni() const { return dir.read("EKG_SYS/HOKENNI"); }
  void expectOnlyMessage(const fw::Str& text, const fw::Str& title, int buttons, int icon) {
    ASSERT_EQ(answers->messages.size(), 1u);
    EXPECT_EQ(answers->messages[0].text, text);
    EXPECT_EQ(answers->messages[0].title, title);
    EXPECT_EQ(answers->messages[0].buttons, buttons);
    EXPECT_EQ(answers->messages[0].icon, icon);
  }
};

TEST_F(DoctorWindow, OpeningAsksThenDisablesTheMainWindow) {
  answers->messageAnswers.push_back(fw::mb::ResNo);
  click(fw::ctl("BUTTON6"));
  fw::waitForEvents();
  EXPECT_FALSE(fw::isOpen(masters::FORM6));
  EXPECT_TRUE(fw::mainWindow().enabled());
  expectOnlyMessage("担当医を登録しますか？   "_sj, "担当医の登録"_sj, fw::mb::YesNo,
                    fw::mb::Question);

  answers->messages.clear();
  openDoctorWindow();
  EXPECT_FALSE(fw::mainWindow().enabled());
  EXPECT_TRUE(masters::FORM6->visible());
  EXPECT_EQ(masters::FORM6->caption(), "担当医の登録"_sj);
  EXPECT_EQ(form6("BUTTON29").text(), "登録(新規/編集)"_sj);
  EXPECT_EQ(form6("BUTTON30").text(), "DEFAULT ON");
  EXPECT_EQ(form6("BUTTON31").text(), "DEFAULT OFF");
  EXPECT_EQ(form6("BUTTON32").text(), "デフォルトを表示"_sj);
  EXPECT_EQ(form6("BUTTON33").text(), "戻 る"_sj);
  EXPECT_EQ(form6("LIST2").itemCount(), 0);
  EXPECT_FALSE(dir.exists("EKG_SYS/HOKENNI"));
}

TEST_F(DoctorWindow, RegisterTwoMakeTheSecondDefaultAndShowIt) {
  openDoctorWindow();
  registerDoctor("田中"_sj);
  registerDoctor("　鈴木 "_sj);
  EXPECT_EQ(hokenni(), "\"田中\"\r\n\"鈴木\"\r\n"_sj);
  EXPECT_EQ(form6("EDIT96").text(), "");

  select(1);
  EXPECT_EQ(form6("EDIT96").text(), "鈴木"_sj);
  press("BUTTON30");
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI_DF"), settingRecord("1"));
  ASSERT_EQ(form6("LIST2").itemCount(), 2);
  EXPECT_EQ(form6("LIST2").itemText(0), "1   田中"_sj + std::string(41, ' '));
  EXPECT_EQ(form6("LIST2").itemText(1), "2   鈴木 (DEFAULT)"_sj);
  EXPECT_EQ(form6("LIST2").selectedIndex(), -1);

  // Registering another keeps the default.
  registerDoctor("佐藤"_sj);
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI_DF"), settingRecord("1"));
  EXPECT_EQ(form6("LIST2").itemText(1), "2   鈴木 (DEFAULT)"_sj);

  press("BUTTON32");
  EXPECT_FALSE(fw::isOpen(masters::FORM6));
  EXPECT_TRUE(fw::mainWindow().enabled());
  EXPECT_TRUE(fw::mainWindow().visible());
  EXPECT_EQ(fw::ctl("EDIT14").text(), "鈴木"_sj);
  fw::Control& combo3 = fw::ctl("COMBO3");
  ASSERT_EQ(combo3.itemCount(), 4);
  EXPECT_EQ(combo3.itemText(0), " ");
  EXPECT_EQ(combo3.itemText(2), "鈴木"_sj);
  EXPECT_EQ(answers->messages.size(), 1u);  // only the opening question
}

TEST_F(DoctorWindow, DeletingRemovesTheDefault) {
  dir.write("EKG_SYS/HOKENNI", "\"田中\"\r\n\"鈴木\"\r\n"_sj);
  dir.write("EKG_SYS/HOKENNI_DF", settingRecord("1"));
  openDoctorWindow();
  EXPECT_EQ(form6("LIST2").itemText(1), "2   鈴木 (DEFAULT)"_sj);
  answers->messages.clear();

  // No keeps everything.
  answers->messageAnswers.push_back(fw::mb::ResNo);
  fw::testing::doubleClickItem(form6("LIST2"), 0);
  fw::waitForEvents();
  EXPECT_EQ(hokenni(), "\"田中\"\r\n\"鈴木\"\r\n"_sj);
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI_DF"), settingRecord("1"));
  expectOnlyMessage(
      "選択した項目を削除してよろしいですか ?     \r\n( 注意：削除によってデフォルト表示は解除されます ）"_sj,
      "DELETE", fw::mb::YesNo, fw::mb::Information);

  answers->messageAnswers.push_back(fw::mb::ResYes);
  fw::testing::doubleClickItem(form6("LIST2"), 0);
  fw::waitForEvents();
  EXPECT_EQ(hokenni(), "\"鈴木\"\r\n"_sj);
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI_DF"), settingRecord("-1"));
  ASSERT_EQ(form6("LIST2").itemCount(), 1);
  EXPECT_EQ(form6("LIST2").itemText(0), "1   鈴木"_sj + std::string(41, ' '));
  EXPECT_EQ(form6("EDIT96").text(), "");
}

TEST_F(DoctorWindow, DeletingTheOnlyEntryLeavesTheEmptyLine) {
  dir.write("EKG_SYS/HOKENNI", "\"田中\"\r\n"_sj);
  openDoctorWindow();
  answers->messageAnswers.push_back(fw::mb::ResYes);
  fw::testing::doubleClickItem(form6("LIST2"), 0);
  fw::waitForEvents();
  EXPECT_EQ(hokenni(), "\"\"\r\n");
  EXPECT_EQ(form6("LIST2").itemCount(), 0);

  press("BUTTON33");
  EXPECT_TRUE(fw::mainWindow().enabled());
  ASSERT_EQ(fw::ctl("COMBO3").itemCount(), 1);
  EXPECT_EQ(fw::ctl("COMBO3").itemText(0), " ");
  EXPECT_EQ(fw::ctl("EDIT14").text(), "");
}

TEST_F(DoctorWindow, DefaultButtonsWithoutOrWithTheWrongChoice) {
  dir.write("EKG_SYS/HOKENNI", "\"田中\"\r\n\"鈴木\"\r\n"_sj);
  dir.write("EKG_SYS/HOKENNI_DF", settingRecord("1"));
  openDoctorWindow();
  answers->messages.clear();

  press("BUTTON30");
  press("BUTTON31");
  ASSERT_EQ(answers->messages.size(), 2u);
  for (const fw::MessageBoxRequest& m : answers->messages) {
    EXPECT_EQ(m.text, "項目が選択されていません。   "_sj);
    EXPECT_EQ(m.title, "NOT SELECT!");
    EXPECT_EQ(m.buttons, fw::mb::OK);
    EXPECT_EQ(m.icon, fw::mb::Information);
  }
  answers->messages.clear();

  // DEFAULT OFF on an entry that is not the default only beeps.
  select(0);
  press("BUTTON31");
  EXPECT_TRUE(answers->messages.empty());
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI_DF"), settingRecord("1"));
  EXPECT_EQ(form6("LIST2").selectedIndex(), -1);

  // On the default it removes the mark.
  select(1);
  press("BUTTON31");
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI_DF"), settingRecord("-1"));
  EXPECT_EQ(form6("LIST2").itemText(1), "2   鈴木"_sj + std::string(41, ' '));
}

TEST_F(DoctorWindow, DefaultOffOnANameHoldingTheMarkTextKeepsTheRealDefault) {
  // The mark is looked up by position, not by the text of the line: a doctor
  // whose name reads like the mark is not the default.
  dir.write("EKG_SYS/HOKENNI", "\"山田(DEFAULT)\"\r\n\"鈴木\"\r\n"_sj);
  dir.write("EKG_SYS/HOKENNI_DF", settingRecord("1"));
  openDoctorWindow();
  select(0);
  press("BUTTON31");
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI_DF"), settingRecord("1"));
  EXPECT_EQ(form6("LIST2").itemText(1), "2   鈴木 (DEFAULT)"_sj);
  EXPECT_EQ(form6("LIST2").selectedIndex(), -1);
}

TEST_F(DoctorWindow, ShowDefaultPastTheEndOfTheListLeavesTheDoctor) {
  // A list shortened by hand behind a stored default.
  dir.write("EKG_SYS/HOKENNI", "\"田中\"\r\n\"鈴木\"\r\n"_sj);
  dir.write("EKG_SYS/HOKENNI_DF", settingRecord("5"));
  fw::ctl("EDIT14").setText("手入力"_sj);
  openDoctorWindow();
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(form6("LIST2").itemText(i).find("(DEFAULT)"), fw::Str::npos);
  }
  press("BUTTON32");
  EXPECT_FALSE(fw::isOpen(masters::FORM6));
  EXPECT_TRUE(fw::mainWindow().enabled());
  EXPECT_TRUE(fw::mainWindow().visible());
  EXPECT_EQ(fw::ctl("COMBO3").itemCount(), 3);
  EXPECT_EQ(fw::ctl("EDIT14").text(), "手入力"_sj);
}

TEST_F(DoctorWindow, EmptyEntriesAreRefusedAndWriteNothing) {
  dir.write("EKG_SYS/HOKENNI", "\"田中\"\r\n"_sj);
  openDoctorWindow();
  answers->messages.clear();

  registerDoctor("　 "_sj);
  expectOnlyMessage("未入力または、未選択です！  "_sj, "NO DATA", fw::mb::OK,
                    fw::mb::Information);
  EXPECT_EQ(hokenni(), "\"田中\"\r\n"_sj);
  answers->messages.clear();

  // A chosen entry emptied: refused, and the change mode stays so that the
  // next text replaces the entry.
  select(0);
  registerDoctor("");
  expectOnlyMessage("未入力です !    "_sj, "NO DATA", fw::mb::OK, fw::mb::Information);
  EXPECT_EQ(hokenni(), "\"田中\"\r\n"_sj);
  registerDoctor("山田"_sj);
  EXPECT_EQ(hokenni(), "\"山田\"\r\n"_sj);
  EXPECT_EQ(form6("LIST2").itemText(0), "1   山田"_sj + std::string(41, ' '));
}

TEST_F(DoctorWindow, The501stDoctorIsRefusedAndNothingChanges) {
  std::string full;
  for (int i = 1; i <= 500; ++i) full += "\"D" + std::to_string(i) + "\"\r\n";
  dir.write("EKG_SYS/HOKENNI", full);
  openDoctorWindow();
  ASSERT_EQ(form6("LIST2").itemCount(), 500);
  answers->messages.clear();

  registerDoctor("新人"_sj);
  expectOnlyMessage(
      "担当医は500件まで登録できます。\r\nこれ以上は登録できません。不要な担当医を削除してから登録して下さい。"_sj,
      "担当医の登録"_sj, fw::mb::OK, fw::mb::Information);
  EXPECT_EQ(hokenni(), full);
  EXPECT_EQ(form6("LIST2").itemCount(), 500);
  EXPECT_EQ(form6("EDIT96").text(), "新人"_sj);
  EXPECT_TRUE(fw::isOpen(masters::FORM6));

}

TEST_F(DoctorWindow, NameWithADoubleQuoteIsRefused) {
  openDoctorWindow();
  answers->messages.clear();
  registerDoctor("田\"中"_sj);
  expectOnlyMessage("担当医師名に「\"」(ダブルクォーテーション)や改行は使用できません。  "_sj,
                    "担当医の登録"_sj, fw::mb::OK, fw::mb::Information);
  EXPECT_FALSE(dir.exists("EKG_SYS/HOKENNI"));
}

TEST_F(DoctorWindow, WindowIsLeftOnlyThroughItsButtons) {
  openDoctorWindow();
  registerDoctor("田中"_sj);
  // FORM6 has no close box: a close request leaves it open, and with it
  // the way back to the main window.
  fw::testing::requestClose(*masters::FORM6);
  fw::waitForEvents();
  ASSERT_TRUE(fw::isOpen(masters::FORM6));
  EXPECT_FALSE(fw::mainWindow().enabled());

  press("BUTTON33");
  EXPECT_FALSE(fw::isOpen(masters::FORM6));
  EXPECT_TRUE(fw::mainWindow().enabled());
  EXPECT_TRUE(fw::mainWindow().visible());
  EXPECT_EQ(fw::ctl("COMBO3").itemCount(), 2);
  EXPECT_EQ(fw::ctl("EDIT14").text(), "");
}

}  // namespace
}  // namespace masters_test
