// The position check from FORM4: grid, chart and numbered crosses on a PDF
// read back with pdftotext, and the page offset command.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "common/correction_file.h"
#include "common/page_offset_file.h"
#include "common/print_options.h"
#include "entry/record.h"
#include "framework/core/cp932.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/printer.h"
#include "framework/form/program.h"
#include "framework/form/recording_surface.h"
#include "framework/form/responder.h"
#include "framework/form/testing.h"
#include "framework/form/window.h"
#include "framework/form/window_commands.h"
#include "printing/position_check.h"
#include "printing/procedures.h"
#include "tests/framework/print/pdf_probe.h"
#include "tests/printing/printing_fixture.h"
#include "tests/support/temp_dir.h"

namespace printing {
namespace {

using namespace fw::literals;
using tessivo::test::TempCwd;

// Standard output of a shell command.
std::string run(const std::string& command) { return tessivo::test::runCommand(command); }

struct Word {
  std::string text;
  double x, y;
};
std::vector<Word> words(const std::string& pdf) {
  const std::string html = run("pdftotext -bbox '" + pdf + "' -");
  static const std::regex word(
      "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"[0-9.]+\" yMax=\"[0-9.]+\">([^<]*)</word>");
  std::vector<Word> out;
  for (std::sregex_iterator it(html.begin(), html.end(), word), end; it != end; ++it)
    out.push_back({(*it)[3], std::stod((*it)[1]), std::stod((*it)[2])});
  return out;
}

// Whether a word of that text starts at the page position (thousandths of an
// inch from the printable corner, which lies at `margin` points).
bool wordAt(const std::vector<Word>& found, const std::string& text, PagePoint at,
            double marginX, double marginY) {
  for (const Word& w : found) {
    if (w.text == text && std::abs(w.x - (marginX + at.x * 0.072)) < 0.5 &&
        std::abs(w.y - (marginY + at.y * 0.072)) < 0.5)
      return true;
  }
  return false;
}

class PositionCheck : public PrintingTest {
 protected:
  void SetUp() override {
    PrintingTest::SetUp();
    if (HasFatalFailure()) return;
    pdf = dir.path() + "/check.pdf";
    fw::setPdfOutput(pdf);
    const fw::PageGeometry g = fw::pageGeometry("", fw::kPaperA4, fw::kLandscape);
    marginX = g.printableLeft * 72 / 25.4;
    marginY = g.printableTop * 72 / 25.4;
    fw::testing::click(fw::ctl("BUTTON21"));
    fw::waitForEvents();
    ASSERT_TRUE(fw::isOpen(FORM4));
  }
  TempCwd dir;
  fw::ScriptedResponder answers;
  std::string pdf;
  double marginX = 0, marginY = 0;
};

TEST_F(PositionCheck, EveryRowNumberSitsAtItsCorrectedAnchorAndTheGridIsInMillimetres) {
  std::array<fw::Str, kChartItemCount + 1> vertical, horizontal;
  vertical.fill("0");
  horizontal.fill("0");
  vertical[10] = "-2";
  horizontal[10] = "1.5";
  common::writeCorrections(vertical, horizontal);
  answers.printAnswers = {true};

  ASSERT_TRUE(fw::testing::pressShortcut(*FORM4, kCheckPrintShortcut));
  fw::waitForEvents();
  ASSERT_EQ(answers.printDialogs.size(), 1u);
  const std::vector<Word> found = words(pdf);
  ASSERT_FALSE(found.empty());
  // A picture for a person to look at, when asked for.
  tessivo::test::keepForLooking(pdf, "position_check", "-r 100 -png -singlefile");
  EXPECT_NE(run("pdfinfo '" + pdf + "'").find("PRINTER"), std::string::npos);

  // The main window is empty: the sample examinee, every item filled.
  const common::ExamineeRecord sample = checkSampleExaminee();
  const CorrectionTable table = common::readCorrections();
  for (int k = 1; k <= kChartItemCount; ++k) {
    SCOPED_TRACE(k);
    const PagePoint base = baseAnchor(k, sample);
    const PagePoint anchor = correctedPosition(table, k, base.x, base.y);
    EXPECT_TRUE(wordAt(found, crossLabel(k), crossLabelPosition(anchor), marginX, marginY));
  }
  // Row 10 moved 60 right and 80 up: the name and its cross together.
  // (A ten-byte name: 24 pt at 1250, 3640.)
  EXPECT_TRUE(wordAt(found, "見本", {1250 + 60, 3640 - 80}, marginX, marginY));
  EXPECT_TRUE(wordAt(found, "[10]", crossLabelPosition({1250 + 60, 3640 - 80}), marginX, marginY));

  // Grid numbers every 10 mm along both edges, at real millimetres.
  for (int mm : {10, 50, 100, 190, 280}) {
    SCOPED_TRACE(mm);
    EXPECT_TRUE(wordAt(found, std::to_string(mm), topGridNumberPosition(mm), marginX, marginY));
  }
  for (int mm : {10, 100, 190}) {
    SCOPED_TRACE(mm);
    EXPECT_TRUE(wordAt(found, std::to_string(mm), leftGridNumberPosition(mm), marginX, marginY));
  }
  EXPECT_NEAR(topGridNumberPosition(100).x - topGridNumberPosition(0).x, 100 / 25.4 * 1000, 1e-9);
}

TEST_F(PositionCheck, GridAndCrossesAreLightAndTheChartIsDrawnAsAPrintWould) {
  fw::RecordingSurface page;
  page.setScaleMode(kChartScaleMode);
  PrintOptions options;
  options.pageDxMillimetres = 2;
  CheckSheet sheet{287, 200, "LBP"};
  drawPositionCheck(page, checkSampleExaminee(), CorrectionTable{}, options, sheet);
  int lines = 0, fine = 0;
  for (const fw::DrawCall& call : page.calls) {
    if (call.type != fw::DrawCall::Line) continue;
    ++lines;
    if (call.colour == kGridFine) ++fine;
    const int r = call.colour & 0xFF, g = (call.colour >> 8) & 0xFF, b = call.colour >> 16;
    EXPECT_GT(0.3 * r + 0.59 * g + 0.11 * b, 140) << std::hex << call.colour;
  }
  // 288 + 201 grid lines (four in five fine) and two arms for each of 34 crosses.
  EXPECT_EQ(lines, 288 + 201 + 2 * kChartItemCount);
  EXPECT_EQ(fine, 288 + 201 - 58 - 41);
  // The chart itself in the print colour, moved by the queue's offset.
  bool nameFound = false;
  for (const fw::DrawCall& call : page.texts()) {
    if (call.text == "見本　太郎"_sj) {
      nameFound = true;
      EXPECT_EQ(call.x, 1250 + 80);
      EXPECT_EQ(call.colour, fw::rgb(0, 0, 0));
    }
  }
  EXPECT_TRUE(nameFound);
}

TEST_F(PositionCheck, PageOffsetCommandStoresForTheChosenQueueOnlyWhenConfirmed) {
  const std::vector<fw::Str> commands = fw::windowCommands(*FORM4);
  ASSERT_EQ(commands.size(), 2u);
  fw::Responder script;
  std::vector<fw::Str> inputs;
  int confirm = fw::mb::ResNo;
  script.printDialog = [](fw::PrintDialogRequest& request) {
    request.printerName = "LBP";
    return true;
  };
  script.inputBox = [&](const fw::InputBoxRequest&) {
    fw::Str next = inputs.front();
    inputs.erase(inputs.begin());
    return next;
  };
  script.messageBox = [&](const fw::MessageBoxRequest&) { return confirm; };
  fw::setResponder(&script);

  inputs = {"1.5", "-2"};
  ASSERT_TRUE(fw::testing::chooseCommand(*FORM4, commands[1]));
  fw::waitForEvents();
  EXPECT_FALSE(dir.exists("EKG_SYS/P_OFFSET"));

  inputs = {"1.5", "\x1b"};  // the second box cancelled
  confirm = fw::mb::ResYes;
  ASSERT_TRUE(fw::testing::pressShortcut(*FORM4, kPageOffsetShortcut));
  fw::waitForEvents();
  EXPECT_FALSE(dir.exists("EKG_SYS/P_OFFSET"));

  inputs = {"1.5", "-2"};
  ASSERT_TRUE(fw::testing::pressShortcut(*FORM4, kPageOffsetShortcut));
  fw::waitForEvents();
  fw::setResponder(nullptr);
  EXPECT_TRUE(inputs.empty());
  const common::PageOffset stored = common::pageOffsetFor("LBP");
  EXPECT_EQ(stored.dyMillimetres(), 1.5);
  EXPECT_EQ(stored.dxMillimetres(), -2);
  // Choosing the command printed nothing.
  EXPECT_FALSE(std::filesystem::exists(pdf));
}

}  // namespace
}  // namespace printing
