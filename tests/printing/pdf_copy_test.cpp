// PDF copies of printed charts: the switch, the copy beside the paper job
// with the same text, safe names, and a copy that cannot be written.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "common/print_options.h"
#include "entry/state.h"
#include "framework/core/clock.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/printer.h"
#include "framework/form/program.h"
#include "framework/form/responder.h"
#include "framework/form/testing.h"
#include "framework/form/window.h"
#include "framework/form/window_commands.h"
#include "tests/history/history_files.h"
#include "printing/chart_preview.h"
#include "printing/pdf_copy.h"
#include "printing/pdf_copy_switch.h"
#include "printing/procedures.h"
#include "tests/framework/print/pdf_probe.h"
#include "tests/support/temp_dir.h"

namespace history_test {
namespace {

namespace fs = std::filesystem;
using namespace fw::literals;

// Standard output of a shell command.
std::string run(const std::string& command) { return tessivo::test::runCommand(command); }

std::vector<std::string> copiesMade() {
  std::vector<std::string> found;
  if (!fs::exists("EKG_DATA/PDF")) return found;
  for (const auto& e : fs::recursive_directory_iterator("EKG_DATA/PDF")) {
    if (e.is_regular_file()) found.push_back(fs::relative(e.path(), ".").string());
  }
  return found;
}

// A switch file as the settings files are written: the value in 256 bytes.
std::string setting(const std::string& value) {
  std::string record = value + std::string(100 - value.size(), ' ');
  return record + std::string(156, '\0');
}

class PdfCopyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories("EKG_SYS");
    fs::create_directories("EKG_DATA");
    ASSERT_TRUE(fw::initForTests());
    fw::unregisterAllProcedures();
    printing::registerProcedures();
    paper = dir.path() + "/paper.pdf";
    fw::setPdfOutput(paper);
    fw::setClock([] { return fw::LocalTime{2024, 5, 7, 14, 3, 9}; });
    common::PRINT_FONT = "1";
    common::PRINT_COLOUR = "1";
    entry::CURRENT_ENTRY.clear();
  }
  void TearDown() override {
    fw::setPdfOutput("");
    fw::setClock({});
    entry::CURRENT_ENTRY.clear();
    fw::resetForTests();
  }
  void printChart() {
    fw::ctl("EDIT8").setText("山田　太郎"_sj);
    fw::ctl("EDIT1").setText("12/34"_sj);
    answers.messageAnswers = {fw::mb::ResYes, fw::mb::ResOK};
    answers.printAnswers = {true};
    fw::testing::click(fw::ctl("BUTTON10"));
    fw::waitForEvents();
  }
  int failureMessages() const {
    int n = 0;
    for (const auto& m : answers.messages) n += m.text.find("PDF"_sj) != fw::Str::npos;
    return n;
  }

  tessivo::test::TempCwd dir;
  fw::ScriptedResponder answers;
  std::string paper;
};

TEST_F(PdfCopyTest, SwitchedOnASinglePrintLeavesOneCopyWithThePapersText) {
  HistoryFiles::writeFile("EKG_SYS/PDF_HOZON", setting("1"));
  printChart();
  ASSERT_TRUE(fs::exists(paper));
  const std::vector<std::string> made = copiesMade();
  ASSERT_EQ(made.size(), 1u);
  // Not opened from the history: named by the examinee number, made safe.
  EXPECT_EQ(made[0], "EKG_DATA/PDF/2024/05/20240507_140309_N12_34.pdf");
  const std::string paperText = run("pdftotext -layout '" + paper + "' -");
  ASSERT_NE(paperText.find("山田"), std::string::npos);
  EXPECT_EQ(run("pdftotext -layout '" + made[0] + "' -"), paperText);
  EXPECT_EQ(failureMessages(), 0);

  // Printed again in the same second, opened as entry 7: a name of its own.
  entry::CURRENT_ENTRY = "7";
  printChart();
  EXPECT_TRUE(fs::exists("EKG_DATA/PDF/2024/05/20240507_140309_E7.pdf"));
  entry::CURRENT_ENTRY.clear();
  printChart();
  EXPECT_TRUE(fs::exists("EKG_DATA/PDF/2024/05/20240507_140309_N12_34_2.pdf"));
}

TEST_F(PdfCopyTest, SwitchedOffOrMissingOrEmptyMakesNoCopy) {
  printChart();  // no switch file
  HistoryFiles::writeFile("EKG_SYS/PDF_HOZON", "");
  printChart();
  HistoryFiles::writeFile("EKG_SYS/PDF_HOZON", setting("0"));
  printChart();
  EXPECT_TRUE(fs::exists(paper));
  EXPECT_TRUE(copiesMade().empty());
  EXPECT_EQ(dir.read("EKG_SYS/PDF_HOZON"), setting("0"));
}

TEST_F(PdfCopyTest, AnUnwritableCopyPrintsOnPaperAndIsToldOnce) {
  HistoryFiles::writeFile("EKG_SYS/PDF_HOZON", setting("1"));
  HistoryFiles::writeFile("EKG_DATA/PDF", "a file where the folder should be");
  printChart();
  EXPECT_TRUE(fs::exists(paper));
  EXPECT_NE(run("pdftotext '" + paper + "' -").find("山田"), std::string::npos);
  EXPECT_EQ(failureMessages(), 1);
  EXPECT_TRUE(fw::mainWindow().enabled());
}

// The operator's switch on the main window's menu: it says what is set,
// stores only a change, and a folder that takes no settings file is told.
TEST_F(PdfCopyTest, TheMenuSwitchTurnsCopiesOnAndOff) {
  printing::addMainWindowCommands();
  const fw::Str caption = printing::pdfSwitchCaption();
  const auto choose = [&](int answer) {
    answers.messages.clear();
    answers.messageAnswers = {answer, fw::mb::ResOK};
    ASSERT_TRUE(fw::testing::chooseCommand(fw::mainWindow(), caption));
    fw::waitForEvents();
    ASSERT_FALSE(answers.messages.empty());
    EXPECT_EQ(answers.messages[0].buttons, fw::mb::YesNo);
  };

  choose(fw::mb::ResNo);  // off, and left off: no file made
  EXPECT_NE(answers.messages[0].text.find("現在は保存していません。"_sj), fw::Str::npos);
  EXPECT_FALSE(dir.exists("EKG_SYS/PDF_HOZON"));

  choose(fw::mb::ResYes);
  EXPECT_EQ(dir.read("EKG_SYS/PDF_HOZON"), setting("1"));
  printChart();
  EXPECT_EQ(copiesMade().size(), 1u);

  choose(fw::mb::ResNo);
  EXPECT_NE(answers.messages[0].text.find("現在は保存しています。"_sj), fw::Str::npos);
  EXPECT_EQ(dir.read("EKG_SYS/PDF_HOZON"), setting("0"));
  printChart();
  EXPECT_EQ(copiesMade().size(), 1u);

  fs::remove("EKG_SYS/PDF_HOZON");
  fs::create_directory("EKG_SYS/PDF_HOZON");  // nothing can be written there
  choose(fw::mb::ResYes);
  ASSERT_EQ(answers.messages.size(), 2u);
  EXPECT_NE(answers.messages[1].text.find("保存できませんでした"_sj), fw::Str::npos);
  EXPECT_EQ(answers.messages[1].icon, fw::mb::Information);
  EXPECT_TRUE(fw::mainWindow().enabled());
}

TEST(PdfCopyName, AnyExamineeNumberMakesASafeName) {
  const fw::LocalTime t{2024, 12, 31, 23, 59, 58};
  EXPECT_EQ(printing::pdfCopyName(t, 42, "x"), "EKG_DATA\\PDF\\2024\\12\\20241231_235958_E42.pdf");
  EXPECT_EQ(printing::pdfCopyName(t, 0, "..\\a/b:c*"),
            "EKG_DATA\\PDF\\2024\\12\\20241231_235958_N___a_b_c_.pdf");
  EXPECT_EQ(printing::pdfCopyName(t, 0, ""), "EKG_DATA\\PDF\\2024\\12\\20241231_235958_N0.pdf");
  EXPECT_EQ(printing::pdfCopyName(t, 0, "番号"_sj), "EKG_DATA\\PDF\\2024\\12\\20241231_235958_N____.pdf");
  EXPECT_EQ(printing::pdfCopyName(t, 0, std::string(30, '9')),
            "EKG_DATA\\PDF\\2024\\12\\20241231_235958_N" + std::string(20, '9') + ".pdf");
}

}  // namespace
}  // namespace history_test
