// The searches of the main window: 番号で検索, カルテ番号で検索, 氏名で検索.
#include <gtest/gtest.h>

#include "framework/form/responder.h"
#include "tests/history/history_fixture.h"

namespace history_test {
namespace {

using entry::EDIT_COUNT;

class AttributeSearchTest : public HistoryTest {
 protected:
  // Answers Yes and types `key` into the search of `button`.
  void search(const char* button, const Str& key) {
    answers.messageAnswers = {mb::ResYes, mb::ResOK};
    answers.inputAnswers = {key};
    click(button);
  }
  static int redPixels(int x1, int y1, int x2, int y2) {
    int n = 0;
    for (int y = y1; y <= y2; ++y) {
      for (int x = x1; x <= x2; ++x) n += fw::mainWindow().picturePixel(x, y) == fw::rgb(255, 0, 0);
    }
    return n;
  }
};

TEST_F(AttributeSearchTest, NoLeavesTheWindowAsItWas) {
  commit("EDIT8", "山田"_sj);
  answers.messageAnswers = {mb::ResNo};
  click("BUTTON7");
  expectMessage(0, "番号で検索"_sj,
                "入力した番号の受検者の属性を過去履歴から検索します。\r\nよろしいですか？   \r\n"
                "(但し、検索対象が履歴に複数ある場合は、最も新しいデータを   　　   \r\n"
                " 表示します）"_sj,
                mb::YesNo, mb::Question);
  EXPECT_TRUE(answers.inputs.empty());
  EXPECT_EQ(text("EDIT8"), "山田"_sj);
  EXPECT_EQ(EDIT_COUNT, 1);
  EXPECT_EQ(fw::mainWindow().imeMode(), fw::ime::Off);
}

TEST_F(AttributeSearchTest, NewestMatchCopiesOnlyTheIdentifyingAttributes) {
  givenFile("EKG_SYS/HOKENNI", entry_test::doctorList({"田中"_sj, "鈴木"_sj}));
  givenFile("EKG_SYS/HOKENNI_DF", entry_test::settingRecord("1"));
  givenFile("EKG_SYS/BYOUINMEI", entry_test::settingRecord("1"));
  givenFile("EKG_SYS/BYOUINMEI_DAT", entry_test::settingRecord("山田医院"_sj));
  entry::MAINFORM_START();

  common::ExamineeRecord older = examinee("12a", "山田　太郎"_sj, "0000000001");
  older.SEX_MALE = 1;
  common::ExamineeRecord newer = examinee("12A", "山田　花子"_sj, "0000000777");
  newer.SEX_FEMALE = 1;
  newer.BIRTH_YEAR = "昭和45"_sj;
  newer.BIRTH_MONTH = "05";  // stored as it is, never normalised again
  newer.BIRTH_DAY = "１２"_sj;
  newer.AGE = "54";
  newer.EXAM_YEAR = "2024";
  newer.HOSPITAL = "別の病院"_sj;
  newer.DOCTOR = "佐藤"_sj;
  newer.WEIGHT = "60";
  newer.ECG_REST = 1;
  files.add(older).add(newer).add(examinee("13", "x"));
  files.write();

  commit("EDIT2", "2024");
  commit("EDIT15", "70");
  click("CHECK7");
  entry::CURRENT_ENTRY = "3";

  search("BUTTON7", "１２ａ"_sj);
  ASSERT_EQ(answers.inputs.size(), 1u);
  EXPECT_EQ(answers.inputs[0].title, "番号で検索"_sj);
  EXPECT_EQ(answers.inputs[0].prompt, "番号を入力して下さい。"_sj);
  EXPECT_EQ(answers.inputs[0].defaultText, "");
  EXPECT_EQ(answers.messages.size(), 1u);  // found: only the question

  EXPECT_EQ(text("EDIT1"), "12A");
  EXPECT_EQ(text("EDIT7"), "0000000777");
  EXPECT_EQ(text("EDIT8"), "山田　花子"_sj);
  EXPECT_EQ(text("EDIT9"), "昭和45"_sj);
  EXPECT_EQ(text("EDIT10"), "05");
  EXPECT_EQ(text("EDIT11"), "１２"_sj);
  EXPECT_EQ(c("CHECK4").value(), 1);
  EXPECT_EQ(c("CHECK3").value(), 0);
  EXPECT_FALSE(c("CHECK4").fontBold());
  EXPECT_EQ(redPixels(1084, 214, 1127, 279), 0);  // no sex mark

  // Everything else is as clearing leaves it, with its defaults.
  for (const char* cleared : {"EDIT2", "EDIT3", "EDIT12", "EDIT15"}) {
    EXPECT_EQ(text(cleared), "") << cleared;
  }
  EXPECT_EQ(c("CHECK7").value(), 0);
  EXPECT_EQ(text("EDIT13"), "山田医院"_sj);
  EXPECT_EQ(text("EDIT14"), "鈴木"_sj);
  EXPECT_EQ(entry::CURRENT_ENTRY, "");  // the next 登 録 registers anew
  EXPECT_EQ(EDIT_COUNT, 0);
  fw::waitForEvents();
  EXPECT_EQ(EDIT_COUNT, 0);
}

TEST_F(AttributeSearchTest, DeletedOnlyMatchIsNotFound) {
  files.add(examinee("1", "鈴木"_sj), true).add(examinee("2", "佐藤"_sj));
  files.write();
  commit("EDIT8", "入力中"_sj);
  search("BUTTON35", "鈴木"_sj);
  expectMessage(1, "氏名で検索"_sj, "該当する氏名の受験者は、ありませんでした。   "_sj, mb::OK,
                mb::Information);
  EXPECT_EQ(text("EDIT8"), "");
  EXPECT_EQ(text("EDIT1"), "");

  search("BUTTON7", "1");
  expectMessage(3, "番号で検索"_sj, "該当する番号の受験者は、ありませんでした。   "_sj, mb::OK,
                mb::Information);
  search("BUTTON28", "77");
  expectMessage(5, "カルテ番号で検索"_sj, "該当するカルテ番号の受験者は、ありませんでした。   "_sj,
                mb::OK, mb::Information);
}

TEST_F(AttributeSearchTest, CancelOrBlanksLeaveAClearedWindowWithItsDefaults) {
  givenFile("EKG_SYS/BYOUINMEI", entry_test::settingRecord("1"));
  givenFile("EKG_SYS/BYOUINMEI_DAT", entry_test::settingRecord("山田医院"_sj));
  entry::MAINFORM_START();
  files.add(examinee("1", "a"));
  files.write();
  for (const Str& answer : {Str("\x1b"), "　 "_sj}) {
    commit("EDIT8", "入力中"_sj);
    commit("EDIT13", "別の病院"_sj);
    entry::CURRENT_ENTRY = "1";
    const int changes = EDIT_COUNT;
    answers.messages.clear();
    search("BUTTON28", answer);
    EXPECT_EQ(answers.messages.size(), 1u);  // the question only
    EXPECT_EQ(text("EDIT8"), "");
    EXPECT_EQ(text("EDIT13"), "山田医院"_sj);
    EXPECT_EQ(entry::CURRENT_ENTRY, "");
    EXPECT_EQ(EDIT_COUNT, changes);
  }
}

TEST_F(AttributeSearchTest, HeldEscapeStopsTheScanWithABeep) {
  files.addNumbered(40);
  files.write();
  holdEscape();
  search("BUTTON7", "1");
  EXPECT_GE(answers.beeps, 1);
  expectMessage(1, "番号で検索"_sj, "該当する番号の受験者は、ありませんでした。   "_sj, mb::OK,
                mb::Information);
  EXPECT_EQ(text("EDIT1"), "");
}

TEST_F(AttributeSearchTest, NameIsTypedWithTheInputMethodOn) {
  files.add(examinee("1", "山田"_sj));
  files.write();
  // Looks at the main window's input method while the input box is open.
  fw::Responder* scripted = fw::responder();
  fw::Responder watching = *scripted;
  std::vector<int> modes;
  watching.inputBox = [&](const fw::InputBoxRequest& r) {
    modes.push_back(fw::mainWindow().imeMode());
    return scripted->inputBox(r);
  };
  fw::setResponder(&watching);
  search("BUTTON35", "山田"_sj);
  search("BUTTON7", "1");
  fw::setResponder(scripted);
  EXPECT_EQ(modes, (std::vector<int>{fw::ime::Hiragana, fw::ime::Off}));
  EXPECT_EQ(fw::mainWindow().imeMode(), fw::ime::Off);
}

}  // namespace
}  // namespace history_test
