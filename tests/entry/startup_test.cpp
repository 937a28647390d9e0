// Start of the program, the start event with its settings files, the end
// dialog and the program trap.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>

#include "entry/messages.h"
#include "entry/startup.h"
#include "common/print_options.h"
#include "entry/state.h"
#include "framework/core/error.h"
#include "framework/form/dialogs.h"
#include "framework/form/internal/dialog_instance_lock.h"
#include "tests/entry/entry_fixture.h"

namespace entry_test {
namespace {

namespace mb = fw::mb;

using StartTest = MainWindowTest;

TEST_F(StartTest, FirstStartCreatesDirectoriesAndEmptySettingsFiles) {
  start();
  for (const char* name : {"INSA_FO", "INSA_CO", "BYOUINMEI", "BYOUINMEI_DAT", "TANTOUIMEI",
                           "TANTOUI_DAT", "HOKENNI_DF"}) {
    const std::string file = std::string("EKG_SYS/") + name;
    EXPECT_TRUE(cwd.exists(file)) << file;
    EXPECT_EQ(cwd.read(file), "") << file;
  }
  EXPECT_TRUE(cwd.exists("EKG_DATA"));
  EXPECT_FALSE(cwd.exists("EKG_SYS/HOKENNI"));
  EXPECT_EQ(common::PRINT_FONT, "1");
  EXPECT_EQ(common::PRINT_COLOUR, "1");
  EXPECT_EQ(c("CHECK12").value(), 0);
  EXPECT_EQ(text("EDIT13"), "");
  EXPECT_EQ(text("EDIT14"), "");
  EXPECT_EQ(c("COMBO2").selectedIndex(), -1);
  EXPECT_EQ(c("COMBO3").itemCount(), 0);
  EXPECT_TRUE(answers.messages.empty());
  for (int i = 1; i <= 23; ++i) {
    const std::string box = "EDIT" + std::to_string(i);
    EXPECT_EQ(text(box.c_str()), "") << box;
  }
  EXPECT_EQ(text("EDIT98"), "");
  for (int i = 1; i <= 13; ++i) {
    const std::string box = "CHECK" + std::to_string(i);
    EXPECT_EQ(c(box.c_str()).value(), 0) << box;
  }
  EXPECT_EQ(fw::mainWindow().caption(), "Tessivo");
}

TEST_F(StartTest, FixedListsHoldTheirItemsByteForByte) {
  start();
  fw::Control& era = c("COMBO1");
  ASSERT_EQ(era.itemCount(), 6);
  EXPECT_EQ(era.itemText(0), "     ");
  EXPECT_EQ(era.itemText(1), " 令和"_sj);
  EXPECT_EQ(era.itemText(5), " 明治"_sj);
  fw::Control& kind = c("COMBO2");
  ASSERT_EQ(kind.itemCount(), 17);
  EXPECT_EQ(kind.itemText(4), " BG健"_sj);
  EXPECT_EQ(kind.itemText(9), " 生保"_sj);
  EXPECT_EQ(kind.itemText(10), "  診 "_sj);
  EXPECT_EQ(kind.itemText(16), "  子 "_sj);

  // Every item byte for byte, leading and trailing blanks included.
  const char* const eras[] = {"     ", " 令和", " 平成", " 昭和", " 大正", " 明治"};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(era.itemText(i), fw::sj(eras[i])) << i;
  const char* const kinds[] = {"     ", " 一般", " 出稼", " 中央", " BG健", " 愛職",
                               " YS健", " 訪問", " 介護", " 生保", "  診 ", "  愛 ",
                               "  病 ", "  健 ", "  労 ", "  母 ", "  子 "};
  for (int i = 0; i < 17; ++i) EXPECT_EQ(kind.itemText(i), fw::sj(kinds[i])) << i;
}

TEST_F(StartTest, DoctorListSkipsEmptyItemsAndDefaultPicksItsEntry) {
  givenFile("EKG_SYS/HOKENNI", doctorList({"田中"_sj, "", "鈴木"_sj}));
  givenFile("EKG_SYS/HOKENNI_DF", settingRecord("1"));
  start();
  fw::Control& picker = c("COMBO3");
  ASSERT_EQ(picker.itemCount(), 3);
  EXPECT_EQ(picker.itemText(0), " ");
  EXPECT_EQ(picker.itemText(1), "田中"_sj);
  EXPECT_EQ(picker.itemText(2), "鈴木"_sj);
  EXPECT_EQ(text("EDIT14"), "鈴木"_sj);
}

TEST_F(StartTest, DefaultZeroIsTheFirstRealDoctorNotTheBlank) {
  givenFile("EKG_SYS/HOKENNI", doctorList({"田中"_sj, "鈴木"_sj}));
  givenFile("EKG_SYS/HOKENNI_DF", settingRecord("0"));
  start();
  EXPECT_EQ(text("EDIT14"), "田中"_sj);
}

// A default that points past the list (the list edited by hand) leaves the
// doctor empty instead of abandoning the start half-way.
TEST_F(StartTest, DefaultPastTheEndOfTheListIsIgnored) {
  givenFile("EKG_SYS/HOKENNI", doctorList({"田中"_sj}));
  givenFile("EKG_SYS/HOKENNI_DF", settingRecord("5"));
  givenFile("EKG_SYS/INSA_FO", settingRecord("2"));
  start();
  EXPECT_EQ(text("EDIT14"), "");
  EXPECT_TRUE(answers.messages.empty());
  answers.messageAnswers = {mb::ResOK};
  click("BUTTON9");
  EXPECT_EQ(text("EDIT14"), "");
}

TEST_F(StartTest, HospitalDefaultTicksCheck12AndFillsHospital) {
  givenFile("EKG_SYS/BYOUINMEI", settingRecord("1"));
  givenFile("EKG_SYS/BYOUINMEI_DAT", settingRecord("　山田医院"_sj));
  start();
  EXPECT_EQ(c("CHECK12").value(), 1);
  EXPECT_TRUE(c("CHECK12").fontBold());
  EXPECT_EQ(text("EDIT13"), "山田医院"_sj);
}

TEST_F(StartTest, OlderDoctorDefaultIsOverriddenByTheDoctorList) {
  givenFile("EKG_SYS/TANTOUIMEI", settingRecord("1"));
  givenFile("EKG_SYS/TANTOUI_DAT", settingRecord("佐藤"_sj));
  start();
  EXPECT_EQ(c("CHECK13").value(), 1);
  EXPECT_EQ(text("EDIT14"), "佐藤"_sj);

  givenFile("EKG_SYS/HOKENNI", doctorList({"田中"_sj}));
  givenFile("EKG_SYS/HOKENNI_DF", settingRecord("0"));
  entry::MAINFORM_START();
  EXPECT_EQ(text("EDIT14"), "田中"_sj);
}

TEST_F(StartTest, PrintOptionsAreReadAndAShortFileDoesNotEndTheProgram) {
  givenFile("EKG_SYS/INSA_FO", settingRecord("2"));
  givenFile("EKG_SYS/INSA_CO", "2");  // one byte instead of 256
  start();
  EXPECT_FALSE(fw::programEnding());
  EXPECT_EQ(common::PRINT_FONT, "2");
  EXPECT_EQ(common::PRINT_COLOUR, "2");
}

// Switch and default files edited by hand: a number too large to hold is
// read as a very large one, not as a reason to end every start.
TEST_F(StartTest, HugeNumbersInSettingsFilesDoNotEndTheStart) {
  givenFile("EKG_SYS/BYOUINMEI", settingRecord("1e999"));
  givenFile("EKG_SYS/BYOUINMEI_DAT", settingRecord("山田医院"_sj));
  givenFile("EKG_SYS/TANTOUIMEI", settingRecord("-1e999"));
  givenFile("EKG_SYS/TANTOUI_DAT", settingRecord("佐藤"_sj));
  givenFile("EKG_SYS/HOKENNI", doctorList({"田中"_sj}));
  givenFile("EKG_SYS/HOKENNI_DF", settingRecord("9e999"));
  start();
  EXPECT_FALSE(fw::programEnding());
  EXPECT_TRUE(answers.messages.empty());
  EXPECT_EQ(c("CHECK12").value(), 1);
  EXPECT_EQ(text("EDIT13"), "山田医院"_sj);
  EXPECT_EQ(c("CHECK13").value(), 0);
  EXPECT_EQ(text("EDIT14"), "");
  EXPECT_EQ(c("COMBO3").itemCount(), 2);

  answers.messageAnswers = {mb::ResOK};
  click("BUTTON9");
  EXPECT_FALSE(fw::programEnding());
  EXPECT_EQ(text("EDIT14"), "");
}

// A second copy stops at the single-instance rule, before its start event
// could read or create any settings file of the first copy.
TEST_F(StartTest, SecondCopyShowsPrevInstanceAndEnds) {
  const QString savedName = QCoreApplication::applicationName();
  QCoreApplication::setApplicationName(QStringLiteral("tessivo_entry_%1").arg(getpid()));
  fw::internal::InstanceLock firstCopy;
  ASSERT_TRUE(firstCopy.tryAcquire(fw::internal::instanceLockPath()));

  EXPECT_THROW(entry::startProgram(), fw::ProgramEnd);
  QCoreApplication::setApplicationName(savedName);
  ASSERT_EQ(answers.messages.size(), 1u);
  expectMessage(0, "PREVINSTANCE !", "既に同じアプリケ－ションが起動されています。"_sj, mb::OK,
                mb::Information);
  EXPECT_TRUE(fw::programEnding());
  EXPECT_FALSE(cwd.exists("EKG_SYS/INSA_FO"));
  EXPECT_FALSE(cwd.exists("EKG_SYS/HOKENNI_DF"));
}

TEST_F(StartTest, StartEventIsRepeatable) {
  givenFile("EKG_SYS/HOKENNI", doctorList({"田中"_sj, "鈴木"_sj}));
  start();
  entry::MAINFORM_START();
  EXPECT_EQ(c("COMBO3").itemCount(), 3);
  EXPECT_EQ(c("COMBO1").itemCount(), 6);
  EXPECT_EQ(c("COMBO2").itemCount(), 17);
}

TEST_F(StartTest, EndWithoutChangesAsksOnceAndNoKeepsRunning) {
  start();
  answers.messageAnswers = {mb::ResNo};
  click("BUTTON3");
  ASSERT_EQ(answers.messages.size(), 1u);
  expectMessage(0, entry::text::kEndTitle, entry::text::kEndQuestion, mb::YesNo, mb::Question);
  EXPECT_EQ(answers.messages[0].title, "終　了"_sj);
  EXPECT_EQ(answers.messages[0].text, "Tessivoを終了します。　　\r\nよろしいですか？　"_sj);
  EXPECT_FALSE(fw::programEnding());
}

TEST_F(StartTest, ClosingWithChangesAsksTwiceAndNoKeepsEverything) {
  start();
  commit("EDIT8", "山田"_sj);
  ASSERT_EQ(entry::EDIT_COUNT, 1);

  answers.messageAnswers = {mb::ResYes, mb::ResNo};
  fw::testing::requestClose(fw::mainWindow());
  fw::waitForEvents();
  ASSERT_EQ(answers.messages.size(), 2u);
  expectMessage(1, "終　了"_sj, "データが変更されています。\r\nこのまま終了してよろしいいですか？"_sj,
                mb::YesNo, mb::Question);
  ASSERT_TRUE(fw::mainWindowExists());
  EXPECT_FALSE(fw::programEnding());
  EXPECT_EQ(text("EDIT8"), "山田"_sj);
  EXPECT_EQ(entry::EDIT_COUNT, 1);

  // No to the first question: only that one is asked.
  answers.messageAnswers = {mb::ResNo};
  fw::testing::requestClose(fw::mainWindow());
  fw::waitForEvents();
  EXPECT_EQ(answers.messages.size(), 3u);
  ASSERT_TRUE(fw::mainWindowExists());
  EXPECT_EQ(text("EDIT8"), "山田"_sj);
}

TEST_F(StartTest, YesToBothQuestionsEndsTheProgram) {
  start();
  commit("EDIT8", "山田"_sj);
  answers.messageAnswers = {mb::ResYes, mb::ResYes};
  click("BUTTON3");
  EXPECT_EQ(answers.messages.size(), 2u);
  EXPECT_TRUE(fw::programEnding());
}

TEST_F(StartTest, YesToBothQuestionsOfTheCloseBoxEndsTheProgram) {
  start();
  commit("EDIT8", "山田"_sj);
  answers.messageAnswers = {mb::ResYes, mb::ResYes};
  fw::testing::requestClose(fw::mainWindow());
  fw::waitForEvents();
  EXPECT_EQ(answers.messages.size(), 2u);
  EXPECT_TRUE(fw::programEnding() || !fw::mainWindowExists());
}

TEST_F(StartTest, TrapPassesOverErrors27And63) {
  start();
  for (int number : {fw::err::Subscript, fw::err::DeviceUnavailable}) {
    EXPECT_NO_THROW(entry::programTrap(fw::RuntimeError(number, std::source_location::current())));
  }
  EXPECT_TRUE(answers.messages.empty());
  EXPECT_FALSE(fw::programEnding());
}

TEST_F(StartTest, TrapReportsOtherErrorsAndEnds) {
  start();
  EXPECT_THROW(entry::programTrap(fw::RuntimeError(fw::err::DiskFull,
                                                   std::source_location::current())),
               fw::ProgramEnd);
  ASSERT_EQ(answers.messages.size(), 1u);
  expectMessage(0, "ERROR", "エラ－が発生しました！実行プログラムを閉じます！"_sj, mb::OK,
                mb::Exclamation);
  EXPECT_TRUE(fw::programEnding());
}

// An error in an event procedure reaches the trap through the dispatcher:
// error 27 abandons only that procedure.
TEST_F(StartTest, Error27InAProcedureAbandonsOnlyThatProcedure) {
  start();
  bool after = false;
  fw::unregisterProcedure("BUTTON10_ON");
  fw::registerProcedure("BUTTON10_ON", [&](fw::EventArgs&) {
    fw::raise(fw::err::Subscript);
    after = true;
  });
  click("BUTTON10");
  EXPECT_FALSE(after);
  EXPECT_TRUE(answers.messages.empty());
  commit("EDIT3", "5");
  EXPECT_EQ(text("EDIT3"), "５"_sj);
}

}  // namespace
}  // namespace entry_test
