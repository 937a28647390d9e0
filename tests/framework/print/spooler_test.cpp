// Print runs through the real spooler: a private CUPS server with a PDF
// queue (tools/cups_test_server.sh) receives the job, and its output file
// is measured. The dialog is answered by the responder.
// Linux only: CUPS is the spooler under test.
#ifndef _WIN32
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <QPageLayout>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include "framework/core/str.h"
#include "framework/form/internal/print_device.h"
#include "framework/form/printer.h"
#include "framework/form/responder.h"
#include "tests/framework/print/pdf_probe.h"
#include "tests/support/temp_dir.h"

namespace fw {
namespace {

namespace fs = std::filesystem;
using tessivo::test::PdfPage;
using tessivo::test::PdfWord;
using tessivo::test::runCommand;

constexpr double kPointsPerInch = 72.0;
constexpr double kA4LongPoints = 841.89, kA4ShortPoints = 595.28;

std::string env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

// Completed jobs named "PRINTER" in the server's page log: one line per job
// (the PDF queue reports the whole job at once).
int jobsNamedPrinter(const std::string& queue) {
  std::ifstream log(env("TESSIVO_CUPS_DIR") + "/log/page_log");
  int n = 0;
  for (std::string line; std::getline(log, line);)
    if (line.rfind(queue + " ", 0) == 0 && line.find(" PRINTER ") != std::string::npos) ++n;
  return n;
}

int jobsInSpooler() {
  const std::string all = runCommand("lpstat -W all -o 2>/dev/null");
  return int(std::count(all.begin(), all.end(), '\n'));
}

bool waitUntilIdle() {
  for (int i = 0; i < 300; ++i) {
    if (runCommand("lpstat -W not-completed -o 2>/dev/null").empty()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return false;
}

class SpoolerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (env("CUPS_SERVER").empty() || env("TESSIVO_CUPS_OUTPUT_DIR").empty())
      GTEST_SKIP() << "the private CUPS server is not running: start it with "
                      "tools/cups_test_server.sh (bash tools/dev.sh test does)";
    // Started for this run and gone since: the printing tests cannot prove
    // anything, which must not pass for success.
    if (runCommand("lpstat -r 2>/dev/null").find("is running") == std::string::npos)
      FAIL() << "the private CUPS server at " << env("CUPS_SERVER") << " does not answer";
    // ctest runs each test as its own process, in parallel: the tests of
    // this file take turns at the queues.
    lockFd = ::open((env("TESSIVO_CUPS_DIR") + "/spooler-tests.lock").c_str(), O_CREAT | O_RDWR,
                    0666);
    ASSERT_GE(lockFd, 0);
    ASSERT_EQ(::flock(lockFd, LOCK_EX), 0);
    ASSERT_TRUE(waitUntilIdle());
  }
  void TearDown() override {
    if (lockFd >= 0) ::close(lockFd);
  }

  std::string outputOf(const std::string& queue) {
    return env("TESSIVO_CUPS_OUTPUT_DIR") + "/" + queue + ".pdf";
  }

  // The chart's print sequence; the dialog picks `queue`. Returns whether
  // the dialog was confirmed.
  bool printChart(bool confirm, const std::string& queue) {
    ScriptedResponder answers;
    answers.printAnswers = {confirm};
    Printer p;
    p.choose("", kPaperA4, kLandscape);
    PrintRange range;
    if (!queue.empty()) {
      Responder* scripted = responder();
      Responder pickQueue = *scripted;
      pickQueue.printDialog = [&](PrintDialogRequest& request) {
        dialogSawPrinter = request.printerName;
        request.printerName = queue;
        return scripted->printDialog(request);
      };
      setResponder(&pickQueue);
      const bool ok = p.dialog(range);
      setResponder(scripted);
      if (!ok) return false;
    } else if (!p.dialog(range)) {
      return false;
    }
    p.startDocument("PRINTER");
    p.newPage();
    p.setScaleMode(5);
    p.setFontName("ＭＳ ゴシック"_sj);
    p.setFontSize(12);
    p.setPosition(568, 83);
    p.print("TESSIVO");
    p.setPosition(6000, 5000);
    p.print("CHART");
    p.endPage();
    p.endDocument();
    p.release();
    return true;
  }

  // The job's output, with the word boxes turned back into landscape page
  // coordinates when the filter laid the landscape page onto portrait paper.
  PdfPage landscapeResult(const std::string& queue) {
    auto pages = tessivo::test::readPdfWords(outputOf(queue));
    EXPECT_EQ(pages.size(), 1u) << "one sheet";
    if (pages.empty()) return {};
    PdfPage page = pages.front();
    turned = page.width < page.height;
    if (turned) {
      // Turned by a quarter: decide the direction from the first word, which
      // was drawn near the top-left corner.
      const PdfWord* first = page.find("TESSIVO");
      counterClockwise = first && first->yMin > page.height / 2;
      for (PdfWord& w : page.words) {
        PdfWord turned = w;
        if (counterClockwise) {
          turned.xMin = page.height - w.yMax;
          turned.xMax = page.height - w.yMin;
          turned.yMin = w.xMin;
          turned.yMax = w.xMax;
        } else {
          turned.xMin = w.yMin;
          turned.xMax = w.yMax;
          turned.yMin = page.width - w.xMax;
          turned.yMax = page.width - w.xMin;
        }
        w = turned;
      }
      std::swap(page.width, page.height);
    }
    return page;
  }

  static QPointF printableOrigin(const std::string& queue) {
    auto device = internal::makePrintDevice(queue);
    const QMarginsF margins = internal::applyPaper(*device, kPaperA4, kLandscape);
    return {margins.left(), margins.top()};
  }

  // The sheet's printable area from the queue's PPD ("llx lly urx ury" in
  // PDF points, y upward), as the landscape page sees it once turned.
  QPointF sheetOrigin(const std::string& queue) {
    std::ifstream ppd(env("TESSIVO_CUPS_DIR") + "/ppd/" + queue + ".ppd");
    double llx = 0, lly = 0, urx = 0, ury = 0;
    for (std::string line; std::getline(ppd, line);)
      if (line.rfind("*ImageableArea A4/", 0) == 0)
        std::sscanf(line.c_str() + line.find('"'), "\"%lf %lf %lf %lf", &llx, &lly, &urx, &ury);
    EXPECT_GT(urx, 0) << "no A4 imageable area in the PPD of " << queue;
    if (counterClockwise) return {lly, llx};
    return {kA4LongPoints - ury, kA4ShortPoints - urx};
  }

  void expectChartPage(const std::string& queue) {
    const PdfPage page = landscapeResult(queue);
    EXPECT_NEAR(page.width, kA4LongPoints, 1.0) << "A4 landscape";
    EXPECT_NEAR(page.height, kA4ShortPoints, 1.0);
    const QPointF origin = printableOrigin(queue);
    std::cout << "[          ] " << queue << ": printable area starts " << origin.x() << " pt, "
              << origin.y() << " pt from the landscape page's top-left corner"
              << (turned ? (counterClockwise ? "; sheet turned counter-clockwise"
                                             : "; sheet turned clockwise")
                         : "")
              << "\n";
    if (turned) {
      // The origin is the first printable dot of the sheet the printer feeds.
      const QPointF sheet = sheetOrigin(queue);
      EXPECT_NEAR(origin.x(), sheet.x(), 0.5);
      EXPECT_NEAR(origin.y(), sheet.y(), 0.5);
    }
    const PdfWord* first = page.find("TESSIVO");
    const PdfWord* second = page.find("CHART");
    ASSERT_TRUE(first && second) << runCommand("pdftotext -bbox '" + outputOf(queue) + "' -");
    EXPECT_NEAR(first->xMin, origin.x() + 0.568 * kPointsPerInch, 0.75);
    EXPECT_NEAR(first->yMin, origin.y() + 0.083 * kPointsPerInch, 0.75);
    EXPECT_NEAR(second->xMin, origin.x() + 6.0 * kPointsPerInch, 0.75);
    EXPECT_NEAR(second->yMin, origin.y() + 5.0 * kPointsPerInch, 0.75);
  }

  std::string dialogSawPrinter;
  bool turned = false, counterClockwise = false;
  int lockFd = -1;
};

TEST_F(SpoolerTest, ConfirmedDialogPrintsOneA4LandscapeSheetNamedPrinter) {
  fs::remove(outputOf("TessivoPDF"));
  const int before = jobsNamedPrinter("TessivoPDF");
  ASSERT_TRUE(printChart(true, ""));
  ASSERT_TRUE(waitUntilIdle());
  EXPECT_EQ(jobsNamedPrinter("TessivoPDF"), before + 1);
  expectChartPage("TessivoPDF");
  tessivo::test::TempDir pictures;
  const std::string sample = pictures.file("spooler-sample.png");
  EXPECT_FALSE(tessivo::test::renderPdfPage(outputOf("TessivoPDF"), 1, 60, sample).isNull());
}

TEST_F(SpoolerTest, CancelledDialogLeavesNoJob) {
  const int before = jobsInSpooler();
  EXPECT_FALSE(printChart(false, ""));
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_EQ(jobsInSpooler(), before);
}

// A printer whose own default paper is Letter must not turn the chart into
// a Letter page (scaled or shifted): the A4 landscape choice made before the
// dialog still holds after it.
TEST_F(SpoolerTest, PrinterWithLetterDefaultStillGetsA4Landscape) {
  fs::remove(outputOf("TessivoLetter"));
  ASSERT_TRUE(printChart(true, "TessivoLetter"));
  EXPECT_EQ(dialogSawPrinter, "TessivoPDF");  // the default destination was offered
  ASSERT_TRUE(waitUntilIdle());
  expectChartPage("TessivoLetter");
}

}  // namespace
}  // namespace fw
#endif  // _WIN32
