// "単票印刷" whose job cannot be handed over: the operator is told, instead
// of taking the skipped printer steps for a printed chart.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/print_options.h"
#include "common/print_texts.h"
#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/printer.h"
#include "framework/form/program.h"
#include "framework/form/responder.h"
#include "framework/form/testing.h"
#include "framework/form/window.h"
#include "printing/procedures.h"
#include "tests/printing/printing_fixture.h"
#include "tests/support/temp_dir.h"

namespace printing {
namespace {

using namespace fw::literals;

class SinglePrintDelivery : public PrintingTest {
 protected:
  void SetUp() override {
    PrintingTest::SetUp();
    if (HasFatalFailure()) return;
    fw::ctl("EDIT8").setText("山田"_sj);
  }
  void print() {
    answers.messageAnswers = {fw::mb::ResYes, fw::mb::ResOK};
    answers.printAnswers = {true};
    fw::testing::click(fw::ctl("BUTTON10"));
    fw::waitForEvents();
  }

  tessivo::test::TempCwd dir;
  fw::ScriptedResponder answers;
};

TEST_F(SinglePrintDelivery, ADocumentThatCannotStartIsReportedAfterTheWindowIsBack) {
  fw::setPdfOutput(dir.path() + "/no-such-folder/chart.pdf");
  print();
  ASSERT_EQ(answers.messages.size(), 2u);
  EXPECT_EQ(answers.messages[1].title, "単票印刷"_sj);
  EXPECT_EQ(answers.messages[1].text, common::text::kJobNotDelivered);
  EXPECT_EQ(answers.messages[1].buttons, fw::mb::OK);
  EXPECT_EQ(answers.messages[1].icon, fw::mb::Information);
  EXPECT_TRUE(fw::mainWindow().enabled());
}

TEST_F(SinglePrintDelivery, ADeliveredChartOrACancelIsNotReported) {
  fw::setPdfOutput(dir.path() + "/chart.pdf");
  print();
  EXPECT_EQ(answers.messages.size(), 1u);
  EXPECT_TRUE(std::filesystem::exists(dir.path() + "/chart.pdf"));

  answers.messages.clear();
  answers.messageAnswers = {fw::mb::ResYes};
  answers.printAnswers = {false};
  fw::testing::click(fw::ctl("BUTTON10"));
  fw::waitForEvents();
  EXPECT_EQ(answers.messages.size(), 1u);
}

}  // namespace
}  // namespace printing
