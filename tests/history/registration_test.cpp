// Registration through the real main window and FORM3: the checks in their
// order, the records written, the window afterwards and the changed-data
// counter.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "common/history_format.h"
#include "entry/state.h"
#include "framework/core/clock.h"
#include "history/registration.h"
#include "framework/form/dialogs.h"
#include "framework/form/testing.h"
#include "history/store/store.h"
#include "tests/entry/entry_fixture.h"

namespace history_test {
namespace {

namespace mb = ::fw::mb;
using common::AttributeField;
using common::ClinicalField;
using entry::CURRENT_ENTRY;
using entry::EDIT_COUNT;
using fw::Str;
using namespace fw::literals;

class RegistrationTest : public entry_test::MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    fw::setClock([] { return fw::LocalTime{2026, 12, 8, 10, 30, 0}; });
    start();
  }

  // Fills a few fields and presses "登 録", answering the boxes in order.
  void registerWith(std::initializer_list<int> replies) {
    answers.messageAnswers = replies;
    click("BUTTON1");
  }

  std::string attributeBytes() { return cwd.read("EKG_DATA/EKGDATA_1"); }
  std::string clinicalBytes() { return cwd.read("EKG_DATA/EKGDATA_2"); }
};

TEST_F(RegistrationTest, NewRegistrationStoresThePairAndClearsTheWindow) {
  commit("EDIT1", "12a");
  commit("EDIT7", "123");
  commit("EDIT8", "山田　太郎"_sj);
  commit("EDIT14", "田中"_sj);
  click("CHECK3");
  ASSERT_GT(EDIT_COUNT, 0);
  registerWith({mb::ResYes});

  // No FORM3 without an opened entry; the question names the examinee.
  ASSERT_EQ(answers.messages.size(), 1u);
  expectMessage(0, "新規登録"_sj,
                "氏　名：山田　太郎\r\n実施日：   年   月   日\r\n\r\n"
                "現在の入力内容を履歴ファイルに新規登録します。　よろしいですか？   "_sj,
                mb::YesNo, mb::Question);
  EXPECT_FALSE(fw::isOpen(history::FORM3));

  const std::optional<history::Entry> e = history::readEntry(1);
  ASSERT_TRUE(e);
  EXPECT_EQ(e->attributes[AttributeField::ExamNo], "12a");
  EXPECT_EQ(e->attributes[AttributeField::ChartNo], "0000000123");
  EXPECT_EQ(e->attributes[AttributeField::Name], "山田　太郎"_sj);
  EXPECT_EQ(e->attributes[AttributeField::SexCode], "1");
  EXPECT_EQ(e->attributes[AttributeField::RequestKind], "-1");
  EXPECT_EQ(e->attributes[AttributeField::RegistrationDate], "2026/12/08");
  EXPECT_EQ(e->clinical[ClinicalField::Doctor], "田中"_sj);
  EXPECT_EQ(attributeBytes().size(), 2000u);
  EXPECT_EQ(clinicalBytes().size(), 2000u);

  // The window shows its defaults again; the next "登 録" registers anew.
  EXPECT_EQ(text("EDIT8"), "");
  EXPECT_EQ(c("CHECK3").value(), 0);
  EXPECT_EQ(EDIT_COUNT, 0);
  EXPECT_TRUE(CURRENT_ENTRY.empty());
  commit("EDIT8", "鈴木"_sj);
  registerWith({mb::ResYes});
  commit("EDIT8", "佐藤"_sj);
  registerWith({mb::ResYes});
  EXPECT_EQ(history::attributeCount(), 3);
  EXPECT_EQ(history::readEntry(3)->attributes[AttributeField::Name], "佐藤"_sj);
}

TEST_F(RegistrationTest, ChecksRefuseInTheirOrderAndWriteNothing) {
  struct Case {
    const char* examNo;
    const char* chartNo;
    const char* name;
    const char* title;
    const char* message;
  };
  const Case cases[] = {
      // Six full-width digits are 12 bytes: too long before they are full-width.
      {"１２３４５６", "", "山田", "番号", "番号の入力可能ケタ数は、10ケタまでです！  　確認して下さい。"},
      {"１２", "", "山田", "番号", "番号は半角数字で入力して下さい！ 　確認して下さい。"},
      {"0", "", "山田", "番号", "番号は「０」より大きい数値を入力して下さい！ 　確認して下さい。"},
      {"abc", "", "山田", "番号", "番号は「０」より大きい数値を入力して下さい！ 　確認して下さい。"},
      {"", "12345678901", "山田", "カルテ番号",
       "カルテ番号の入力可能ケタ数は、10ケタまでです！  　確認して下さい。"},
      {"", "0", "山田", "カルテ番号",
       "カルテ番号は「０」より大きい数値を入力して下さい！ 　確認して下さい。"},
      {"", "", "　", "氏名", "氏名が入力されていません。　確認して下さい。"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.message);
    // Set the boxes directly: the commit rules would refuse these already.
    c("EDIT1").setText(fw::sj(k.examNo));
    c("EDIT7").setText(fw::sj(k.chartNo));
    c("EDIT8").setText(fw::sj(k.name));
    answers.messages.clear();
    registerWith({mb::ResYes, mb::ResOK});
    ASSERT_EQ(answers.messages.size(), 2u);
    expectMessage(1, fw::sj(k.title), fw::sj(k.message), mb::OK, mb::Information);
    EXPECT_FALSE(std::filesystem::exists("EKG_DATA/EKGDATA_1") &&
                 std::filesystem::file_size("EKG_DATA/EKGDATA_1") > 0);
  }
  // Chart number 0 was padded and shown before check 6 refused it.
  EXPECT_EQ(text("EDIT7"), "");
  c("EDIT7").setText("0");
  registerWith({mb::ResYes, mb::ResOK});
  EXPECT_EQ(text("EDIT7"), "0000000000");
}

TEST_F(RegistrationTest, DecliningWritesNothingAndKeepsTheWindow) {
  commit("EDIT8", "山田"_sj);
  const int32_t changes = EDIT_COUNT;
  registerWith({mb::ResNo});
  EXPECT_FALSE(std::filesystem::exists("EKG_DATA/EKGDATA_1") &&
               std::filesystem::file_size("EKG_DATA/EKGDATA_1") > 0);
  EXPECT_EQ(text("EDIT8"), "山田"_sj);
  EXPECT_EQ(EDIT_COUNT, changes);
}

TEST_F(RegistrationTest, OverwriteThroughForm3RewritesEntryNAndMakesItLive) {
  commit("EDIT8", "山田"_sj);
  registerWith({mb::ResYes});
  commit("EDIT8", "鈴木"_sj);
  registerWith({mb::ResYes});
  ASSERT_TRUE(history::markDeleted(1));

  // Entry 1 opened into the window, then changed.
  CURRENT_ENTRY = "1";
  commit("EDIT8", "山田　花子"_sj);
  click("BUTTON1");
  ASSERT_TRUE(fw::isOpen(history::FORM3));
  EXPECT_FALSE(fw::mainWindow().enabled());
  // Pictures for a person to look at, when asked for.
  if (const char* dir = std::getenv("TESSIVO_SNAPSHOT_DIR")) {
    fw::mainWindow().saveScreenshot(std::string(dir) + "/registration-main.png");
    history::FORM3->saveScreenshot(std::string(dir) + "/registration-FORM3.png");
  }

  answers.messages.clear();
  answers.messageAnswers = {mb::ResYes};
  fw::testing::click(history::FORM3->control("BUTTON12"));
  fw::waitForEvents();
  expectMessage(0, "上書き登録"_sj,
                "氏　名：山田　花子\r\n実施日：   年   月   日\r\n\r\n"
                "現在の入力内容をファイルに上書き登録します。　よろしいですか？   "_sj,
                mb::YesNo, mb::Question);
  EXPECT_FALSE(fw::isOpen(history::FORM3));
  EXPECT_TRUE(fw::mainWindow().enabled());
  EXPECT_EQ(history::attributeCount(), 2);
  const std::optional<history::Entry> e = history::readEntry(1);
  EXPECT_EQ(e->attributes[AttributeField::Name], "山田　花子"_sj);
  EXPECT_EQ(e->attributes[AttributeField::DeletionMark], "");
  EXPECT_EQ(e->clinical[ClinicalField::RegistrationDate], "2026/12/08");
  // The window keeps its content and the entry stays opened.
  EXPECT_EQ(text("EDIT8"), "山田　花子"_sj);
  EXPECT_EQ(CURRENT_ENTRY, "1");
  EXPECT_EQ(EDIT_COUNT, 0);
}

// FORM3's four lines are black over a white shadow, as in the other
// windows' headings: neither grey (the dark half's 0) nor silver (its 7).
TEST_F(RegistrationTest, Form3TextsAreBlackOverAWhiteShadow) {
  commit("EDIT8", "山田"_sj);
  CURRENT_ENTRY = "1";
  click("BUTTON1");
  ASSERT_TRUE(fw::isOpen(history::FORM3));
  std::map<uint32_t, int> colours;
  for (int y = 18; y < 130; ++y)
    for (int x = 43; x < 640; ++x) ++colours[history::FORM3->picturePixel(x, y)];
  // The letters are smoothed at their edges: their cores are black and the
  // shadow's white.
  EXPECT_GT(colours[fw::rgb(0, 0, 0)], 1000);
  EXPECT_GT(colours[fw::rgb(255, 255, 255)], 100);
  fw::testing::click(history::FORM3->control("BUTTON14"));
  fw::waitForEvents();
}

TEST_F(RegistrationTest, DeclinedOrRefusedThroughForm3KeepsTheChangedDataGuard) {
  commit("EDIT8", "山田"_sj);
  registerWith({mb::ResYes});
  CURRENT_ENTRY = "1";
  commit("EDIT8", "鈴木"_sj);
  for (int button : {12, 13}) {
    click("BUTTON1");
    answers.messageAnswers = {mb::ResNo};
    fw::testing::click(history::FORM3->control("BUTTON" + std::to_string(button)));
    fw::waitForEvents();
    EXPECT_GT(EDIT_COUNT, 0) << "BUTTON" << button;
  }
  click("BUTTON1");
  fw::testing::click(history::FORM3->control("BUTTON14"));
  fw::waitForEvents();
  EXPECT_GT(EDIT_COUNT, 0);
  EXPECT_EQ(history::readEntry(1)->attributes[AttributeField::Name], "山田"_sj);
}

TEST_F(RegistrationTest, DifferingCountsAreToldOnceAndPairsStayByPosition) {
  givenFile("EKG_DATA/EKGDATA_1", std::string(4000, ' '));
  givenFile("EKG_DATA/EKGDATA_2", std::string(2000, ' '));
  for (const char* name : {"山田", "鈴木"}) {
    commit("EDIT8", fw::sj(name));
    answers.messages.clear();
    registerWith({mb::ResYes, mb::ResOK});
  }
  EXPECT_EQ(history::attributeCount(), 4);
  EXPECT_EQ(history::clinicalCount(), 4);
  EXPECT_EQ(history::readEntry(3)->attributes[AttributeField::Name], "山田"_sj);
  EXPECT_EQ(answers.messages.size(), 1u);  // the second registration: no notice
}

TEST(DateText, BlankPartsAreThreeBlanks) {
  EXPECT_EQ(history::dateText("2024", "", "７"_sj), "2024年   月７日"_sj);
}

}  // namespace
}  // namespace history_test
