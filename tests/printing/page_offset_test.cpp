// The whole-page offset of a printer queue, in the drawing and in the prints.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <regex>
#include <string>

#include "common/correction_file.h"
#include "common/page_offset_file.h"
#include "common/print_options.h"
#include "entry/record.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/printer.h"
#include "framework/form/program.h"
#include "framework/form/recording_surface.h"
#include "framework/form/responder.h"
#include "framework/form/testing.h"
#include "framework/form/window.h"
#include "printing/chart_layout.h"
#include "printing/procedures.h"
#include "tests/support/sample_examinee.h"
#include "tests/framework/print/pdf_probe.h"
#include "tests/printing/printing_fixture.h"
#include "tests/support/temp_dir.h"

namespace printing {
namespace {

using namespace fw::literals;
using tessivo::test::TempCwd;

std::vector<fw::DrawCall> drawn(const common::ExamineeRecord& record,
                                const CorrectionTable& corrections, double dx, double dy) {
  fw::RecordingSurface page;
  page.setScaleMode(kChartScaleMode);
  PrintOptions options;
  options.pageDxMillimetres = dx;
  options.pageDyMillimetres = dy;
  drawChart(page, record, corrections, options, ChartDrawing{});
  return page.calls;
}

common::ExamineeRecord everyItem() {
  common::ExamineeRecord r = tessivo::test::sampleExaminee();
  r.EXAM_PM = r.SEX_FEMALE = r.OUTPATIENT = r.INPATIENT = r.ECG_REST = 1;
  r.MASTER_HALF = r.MASTER_QUARTER = 1;
  r.STRESS_OTHER = "階段"_sj;
  return r;
}

TEST(PageOffsetDrawing, MovesEveryDrawingByTheOffsetWithinTheLimits) {
  CorrectionTable corrections;
  corrections.horizontal[10] = "-2";
  corrections.vertical[10] = "1.5";
  const auto plain = drawn(everyItem(), corrections, 0, 0);
  const auto moved = drawn(everyItem(), corrections, 2, -1.5);
  ASSERT_EQ(plain.size(), moved.size());
  ASSERT_GT(plain.size(), 40u);
  for (std::size_t i = 0; i < plain.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_DOUBLE_EQ(moved[i].x - plain[i].x, 80);
    EXPECT_DOUBLE_EQ(moved[i].y - plain[i].y, -60);
  }

  // An item already at the edge of the printable range stays there: the
  // offset is part of the correction the limits apply to.
  CorrectionTable atEdge;
  atEdge.vertical[1] = "-30";
  int examNumbers = 0;
  for (const fw::DrawCall& call : drawn(everyItem(), atEdge, 0, -1.5)) {
    if (call.text != "12a") continue;
    ++examNumbers;
    EXPECT_EQ(call.y, 100);
  }
  EXPECT_EQ(examNumbers, 1);
  EXPECT_EQ(correctedPosition(atEdge, 1, 9390, 1000, 100, 0).x, 11000);
}

// Standard output of a shell command.
std::string run(const std::string& command) { return tessivo::test::runCommand(command); }

struct Box {
  double x, y;
};
// Every word of the page with its top-left corner in points, in reading order.
std::vector<std::pair<std::string, Box>> words(const std::string& pdf) {
  const std::string html = run("pdftotext -bbox '" + pdf + "' -");
  static const std::regex word(
      "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"[0-9.]+\" yMax=\"[0-9.]+\">([^<]*)</word>");
  std::vector<std::pair<std::string, Box>> out;
  for (std::sregex_iterator it(html.begin(), html.end(), word), end; it != end; ++it)
    out.push_back({(*it)[3], {std::stod((*it)[1]), std::stod((*it)[2])}});
  return out;
}

class PageOffsetPrint : public PrintingTest {
 protected:
  void SetUp() override {
    PrintingTest::SetUp();
    if (HasFatalFailure()) return;
    entry::writeToMainWindow(tessivo::test::sampleExaminee());
  }
  // The single chart print through the named queue; the words of its page.
  std::vector<std::pair<std::string, Box>> printTo(const std::string& queue,
                                                   const std::string& name) {
    const std::string pdf = dir.path() + "/" + name + ".pdf";
    fw::setPdfOutput(pdf);
    fw::Responder answers;
    answers.messageBox = [](const fw::MessageBoxRequest&) { return fw::mb::ResYes; };
    answers.printDialog = [queue](fw::PrintDialogRequest& request) {
      request.printerName = queue;
      return true;
    };
    answers.keyDown = [](int) { return false; };
    answers.beep = [] {};
    fw::setResponder(&answers);
    fw::testing::click(fw::ctl("BUTTON10"));
    fw::waitForEvents();
    fw::setResponder(nullptr);
    return words(pdf);
  }
  TempCwd dir;
};

TEST_F(PageOffsetPrint, OnlyTheQueueWithTheOffsetMovesAndNoFileMeansTodaysChart) {
  const auto today = printTo("LBP", "today");
  ASSERT_GT(today.size(), 15u);
  // Printing does not leave an offset file behind.
  EXPECT_FALSE(dir.exists("EKG_SYS/P_OFFSET"));

  common::writePageOffset("LBP", "-1.5", "2");
  const auto offsetQueue = printTo("LBP", "lbp");
  const auto otherQueue = printTo("Office", "office");
  ASSERT_EQ(offsetQueue.size(), today.size());
  ASSERT_EQ(otherQueue.size(), today.size());
  for (std::size_t i = 0; i < today.size(); ++i) {
    SCOPED_TRACE(today[i].first);
    EXPECT_EQ(offsetQueue[i].first, today[i].first);
    // 80 and -60 thousandths of an inch, in points.
    EXPECT_NEAR(offsetQueue[i].second.x - today[i].second.x, 80 * 0.072, 0.05);
    EXPECT_NEAR(offsetQueue[i].second.y - today[i].second.y, -60 * 0.072, 0.05);
    EXPECT_NEAR(otherQueue[i].second.x, today[i].second.x, 0.01);
    EXPECT_NEAR(otherQueue[i].second.y, today[i].second.y, 0.01);
  }
}

}  // namespace
}  // namespace printing
