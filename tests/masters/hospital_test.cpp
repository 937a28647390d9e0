// The default hospital name (CHECK12, BUTTON5) and its older doctor twin (CHECK13).
#include <gtest/gtest.h>

#include <string>

#include "entry/main_window.h"
#include "framework/form/dialogs.h"
#include "framework/form/testing.h"
#include "tests/masters/support.h"

namespace masters_test {
namespace {

using Hospital = MastersWindow;

TEST_F(Hospital, SwitchOnShowsTheStoredNameSwitchOffKeepsIt) {
  dir.write("EKG_SYS/BYOUINMEI_DAT", settingRecord("　山田医院"_sj));
  fw::Control& check = fw::ctl("CHECK12");
  fw::testing::click(check);
  fw::waitForEvents();
  EXPECT_EQ(dir.read("EKG_SYS/BYOUINMEI"), settingRecord("1"));
  EXPECT_EQ(fw::ctl("EDIT13").text(), "山田医院"_sj);
  EXPECT_TRUE(check.fontBold());

  fw::testing::click(check);
  fw::waitForEvents();
  EXPECT_EQ(dir.read("EKG_SYS/BYOUINMEI"), settingRecord("0"));
  EXPECT_EQ(fw::ctl("EDIT13").text(), "山田医院"_sj);
  EXPECT_FALSE(check.fontBold());
}

TEST_F(Hospital, SwitchOnWithoutAStoredNameLeavesTheField) {
  fw::ctl("EDIT13").setText("手入力"_sj);
  masters::CHECK12_ON();  // the box is clear: acts as switched off
  fw::ctl("CHECK12").setValue(1);
  masters::CHECK12_ON();
  EXPECT_EQ(fw::ctl("EDIT13").text(), "手入力"_sj);
  EXPECT_EQ(dir.read("EKG_SYS/BYOUINMEI_DAT"), "");
}

TEST_F(Hospital, NameEnteredThroughTheDialog) {
  dir.write("EKG_SYS/BYOUINMEI", settingRecord("1"));
  dir.write("EKG_SYS/BYOUINMEI_DAT", settingRecord("旧医院"_sj));
  answers->messageAnswers.push_back(fw::mb::ResYes);
  answers->inputAnswers.push_back(" 新クリニック　"_sj);
  fw::testing::click(fw::ctl("BUTTON5"));
  fw::waitForEvents();

  ASSERT_EQ(answers->messages.size(), 1u);
  EXPECT_EQ(answers->messages[0].text, "デフォルトで表示するための病医院名を入力しますか？   "_sj);
  EXPECT_EQ(answers->messages[0].title, "病医院名の登録"_sj);
  EXPECT_EQ(answers->messages[0].buttons, fw::mb::YesNo);
  EXPECT_EQ(answers->messages[0].icon, fw::mb::Question);
  ASSERT_EQ(answers->inputs.size(), 1u);
  EXPECT_EQ(answers->inputs[0].title, "病医院名の登録"_sj);
  EXPECT_EQ(answers->inputs[0].prompt, "病医院名を入力して下さい。"_sj);
  EXPECT_EQ(answers->inputs[0].defaultText, "旧医院"_sj);

  EXPECT_EQ(dir.read("EKG_SYS/BYOUINMEI_DAT"), settingRecord("新クリニック"_sj));
  EXPECT_EQ(fw::ctl("EDIT13").text(), "新クリニック"_sj);
}

TEST_F(Hospital, NoCancelAndSwitchOffChangeNothingOnTheWindow) {
  dir.write("EKG_SYS/BYOUINMEI_DAT", settingRecord("旧医院"_sj));
  // No: no dialog.
  answers->messageAnswers.push_back(fw::mb::ResNo);
  masters::BUTTON5_ON();
  EXPECT_TRUE(answers->inputs.empty());
  // Cancel: nothing written.
  answers->messageAnswers.push_back(fw::mb::ResYes);
  answers->inputAnswers.push_back(fw::Str(1, '\x1b'));
  masters::BUTTON5_ON();
  EXPECT_EQ(dir.read("EKG_SYS/BYOUINMEI_DAT"), settingRecord("旧医院"_sj));
  // Switch off: the name is stored, the field is not touched; an empty
  // answer clears the stored name.
  answers->messageAnswers.push_back(fw::mb::ResYes);
  answers->inputAnswers.push_back("");
  masters::BUTTON5_ON();
  EXPECT_EQ(dir.read("EKG_SYS/BYOUINMEI_DAT"), settingRecord(""));
  EXPECT_EQ(fw::ctl("EDIT13").text(), "");
}

TEST_F(Hospital, StoredNameLongerThanTheDialogTakesIsOfferedCut) {
  // 70 bytes stored by hand: the dialog's default must stay under 65 bytes.
  std::string name;
  for (int i = 0; i < 35; ++i) name += "病"_sj;
  dir.write("EKG_SYS/BYOUINMEI_DAT", settingRecord(name));
  answers->messageAnswers.push_back(fw::mb::ResYes);
  answers->inputAnswers.push_back(fw::Str(1, '\x1b'));
  masters::BUTTON5_ON();
  ASSERT_EQ(answers->inputs.size(), 1u);
  EXPECT_EQ(answers->inputs[0].defaultText, name.substr(0, 64));
  // An odd limit never splits a character.
  std::string odd = "A" + name;
  dir.write("EKG_SYS/BYOUINMEI_DAT", settingRecord(odd));
  answers->messageAnswers.push_back(fw::mb::ResYes);
  answers->inputAnswers.push_back(fw::Str(1, '\x1b'));
  masters::BUTTON5_ON();
  EXPECT_EQ(answers->inputs.at(1).defaultText, odd.substr(0, 63));
}

TEST_F(Hospital, ClearedDefaultIsShownBlankWhenTheSwitchIsTicked) {
  // An empty answer writes a blank name: the file now holds a value, unlike
  // a file that was never written, so ticking the switch shows it.
  answers->messageAnswers.push_back(fw::mb::ResYes);
  answers->inputAnswers.push_back("　"_sj);
  masters::BUTTON5_ON();
  ASSERT_EQ(dir.read("EKG_SYS/BYOUINMEI_DAT"), settingRecord(""));
  fw::ctl("EDIT13").setText("手入力"_sj);
  fw::Control& check = fw::ctl("CHECK12");
  fw::testing::click(check);
  fw::waitForEvents();
  EXPECT_EQ(fw::ctl("EDIT13").text(), "");
}

TEST_F(Hospital, AnswerLongerThanTheDialogTakesIsStoredCut) {
  dir.write("EKG_SYS/BYOUINMEI", settingRecord("1"));
  std::string name = "A";
  for (int i = 0; i < 40; ++i) name += "病"_sj;  // 81 bytes
  answers->messageAnswers.push_back(fw::mb::ResYes);
  answers->inputAnswers.push_back(name);
  masters::BUTTON5_ON();
  // 64 bytes would end inside a character: 63 are kept.
  EXPECT_EQ(dir.read("EKG_SYS/BYOUINMEI_DAT"), settingRecord(name.substr(0, 63)));
  EXPECT_EQ(fw::ctl("EDIT13").text(), name.substr(0, 63));

  const std::string ascii(70, 'x');
  answers->messageAnswers.push_back(fw::mb::ResYes);
  answers->inputAnswers.push_back(ascii);
  masters::BUTTON5_ON();
  EXPECT_EQ(dir.read("EKG_SYS/BYOUINMEI_DAT"), settingRecord(std::string(64, 'x')));
}

TEST_F(Hospital, SwitchFileWithANumberTooLargeToReadCountsAsOn) {
  dir.write("EKG_SYS/BYOUINMEI", settingRecord("1e999"));
  answers->messageAnswers.push_back(fw::mb::ResYes);
  answers->inputAnswers.push_back("山田医院"_sj);
  masters::BUTTON5_ON();
  EXPECT_EQ(fw::ctl("EDIT13").text(), "山田医院"_sj);

  dir.write("EKG_SYS/BYOUINMEI", settingRecord("-1e999"));
  answers->messageAnswers.push_back(fw::mb::ResYes);
  answers->inputAnswers.push_back("別医院"_sj);
  masters::BUTTON5_ON();
  EXPECT_EQ(dir.read("EKG_SYS/BYOUINMEI_DAT"), settingRecord("別医院"_sj));
  EXPECT_EQ(fw::ctl("EDIT13").text(), "山田医院"_sj);
}

TEST_F(Hospital, UntickedSwitchKeepsTheNameUntilTheNextClear) {
  dir.write("EKG_SYS/BYOUINMEI_DAT", settingRecord("山田医院"_sj));
  fw::Control& check = fw::ctl("CHECK12");
  fw::testing::click(check);
  fw::waitForEvents();
  fw::testing::click(check);
  fw::waitForEvents();
  ASSERT_EQ(check.value(), 0);
  EXPECT_EQ(fw::ctl("EDIT13").text(), "山田医院"_sj);
  fw::Control& category = fw::ctl("COMBO2");  // clearing resets it to item 0
  for (int i = 0; i < 17; ++i) category.addItem(std::to_string(i));
  entry::ZENBU_KESU();
  EXPECT_EQ(fw::ctl("EDIT13").text(), "");
}

}  // namespace
}  // namespace masters_test
