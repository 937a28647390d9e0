// A printed page measured on the PDF the print run produced: positions are
// taken from the printable area in inches, whatever the printer resolution.
#include <gtest/gtest.h>

#include <QPageLayout>
#include <functional>
#include <sstream>
#include <string>

#include "framework/core/numbers.h"
#include "framework/core/str.h"
#include "framework/form/internal/print_device.h"
#include "framework/form/printer.h"
#include "tests/framework/print/pdf_probe.h"
#include "tests/support/temp_dir.h"

namespace fw {
namespace {

using tessivo::test::PdfPage;
using tessivo::test::readPdfWords;

constexpr double kPointsPerInch = 72.0;

class PdfPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!tessivo::test::haveTool("pdftotext")) GTEST_SKIP() << "pdftotext (poppler-utils) missing";
  }
  void TearDown() override {
    setPdfOutput("");
    internal::setPdfResolution(0);
  }

  // One A4 landscape page in scale mode 5, through the program's print path.
  PdfPage printPage(const std::function<void(Printer&)>& draw, int dotsPerInch = 0) {
    const std::string pdf = dir.path() + "/page" + std::to_string(dotsPerInch) + ".pdf";
    setPdfOutput(pdf);
    internal::setPdfResolution(dotsPerInch);
    Printer printer;
    printer.choose("", kPaperA4, kLandscape);
    PrintRange range;
    EXPECT_TRUE(printer.dialog(range));
    printer.startDocument("PRINTER");
    printer.newPage();
    printer.setScaleMode(5);
    printer.setFontName("ＭＳ ゴシック"_sj);
    printer.setFontSize(12);
    draw(printer);
    printer.endPage();
    printer.endDocument();
    printer.release();
    lastPdf = pdf;
    auto pages = readPdfWords(pdf);
    EXPECT_EQ(pages.size(), 1u);
    return pages.empty() ? PdfPage{} : pages.front();
  }

  // The printable area's top-left corner in points, as the device lays out
  // the page (from the same device set-up the printer uses).
  QPointF printableOrigin() {
    setPdfOutput(dir.path() + "/layout.pdf");
    auto device = internal::makePrintDevice("");
    const QMarginsF margins = internal::applyPaper(*device, kPaperA4, kLandscape);
    return {margins.left(), margins.top()};
  }

  tessivo::test::TempCwd dir;
  std::string lastPdf;
};

TEST_F(PdfPageTest, TextStartsAtItsPositionFromThePrintableAreaAtEveryResolution) {
  const QPointF origin = printableOrigin();
  // Qt's PDF device keeps margins: the check must not pass by accident with
  // the origin on the paper's edge.
  ASSERT_GT(origin.x(), 1.0);
  ASSERT_GT(origin.y(), 1.0);
  std::vector<tessivo::test::PdfWord> seen;
  for (int dpi : {300, 600, 1200}) {
    SCOPED_TRACE(dpi);
    PdfPage page = printPage(
        [](Printer& p) {
          p.setPosition(568, 83);
          p.print("TESSIVO");
        },
        dpi);
    EXPECT_NEAR(page.width, 841.9, 1.0);  // A4 landscape
    EXPECT_NEAR(page.height, 595.3, 1.0);
    const auto* word = page.find("TESSIVO");
    ASSERT_NE(word, nullptr);
    EXPECT_NEAR(word->xMin, origin.x() + 0.568 * kPointsPerInch, 0.5);
    EXPECT_NEAR(word->yMin, origin.y() + 0.083 * kPointsPerInch, 0.75);
    seen.push_back(*word);
  }
  // Same size on every device, to a fraction of a 300 dpi dot.
  for (const auto& w : seen) {
    EXPECT_NEAR(w.xMax - w.xMin, seen[0].xMax - seen[0].xMin, 0.25);
    EXPECT_NEAR(w.yMax - w.yMin, seen[0].yMax - seen[0].yMin, 0.25);
  }
}

TEST_F(PdfPageTest, TwoPrintsStackOneLineApartAtTheLeftEdge) {
  double yAfterFirst = 0;
  PdfPage page = printPage([&](Printer& p) {
    p.setPosition(2000, 1000);
    p.print("FIRST");
    yAfterFirst = p.currentY();
    EXPECT_EQ(p.currentX(), 0);
    p.print("SECOND");
  });
  const QPointF origin = printableOrigin();
  const auto* first = page.find("FIRST");
  const auto* second = page.find("SECOND");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_NEAR(second->xMin, origin.x(), 0.5);
  const double lineHeightPoints = (yAfterFirst - 1000) * kPointsPerInch / 1000;
  // One line of 12 pt type: more than the type size, less than one and a half.
  EXPECT_GT(lineHeightPoints, 12.0);
  EXPECT_LT(lineHeightPoints, 18.0);
  EXPECT_NEAR(second->yMin - first->yMin, lineHeightPoints, 0.25);
}

TEST_F(PdfPageTest, CrAndLfInsideTheTextMoveLikeTheEndOfAPrint) {
  PdfPage page = printPage([](Printer& p) {
    p.setPosition(3000, 2000);
    p.print("ONE\r\nTWO");
    p.print("THREE");
  });
  const auto* one = page.find("ONE");
  const auto* two = page.find("TWO");
  const auto* three = page.find("THREE");
  ASSERT_TRUE(one && two && three);
  EXPECT_NEAR(two->xMin, three->xMin, 0.5);
  EXPECT_LT(two->xMin, one->xMin - 100);
  EXPECT_NEAR(two->yMin - one->yMin, three->yMin - two->yMin, 0.25);
}

TEST_F(PdfPageTest, NumberTextKeepsItsLeadingBlank) {
  const Str number = str(5);
  ASSERT_EQ(number, " 5");
  PdfPage page = printPage([&](Printer& p) {
    p.setPosition(1000, 1000);
    p.print("5");
    p.setPosition(1000, 2000);
    p.print(number);
  });
  std::vector<const tessivo::test::PdfWord*> fives;
  for (const auto& w : page.words)
    if (w.text == "5") fives.push_back(&w);
  ASSERT_EQ(fives.size(), 2u);
  // One half-width blank of 12 pt Gothic: 6 pt.
  EXPECT_NEAR(fives[1]->xMin - fives[0]->xMin, 6.0, 0.3);
}

// Every run chooses its own paper: a landscape run leaves nothing behind for
// the portrait choice made afterwards on the same object, nor for a new
// object that keeps the driver's default.
TEST_F(PdfPageTest, PaperAndOrientationDoNotCarryOverToTheNextRun) {
  auto run = [&](Printer& p, const std::string& name, bool choose, int orientation) {
    const std::string pdf = dir.path() + "/" + name + ".pdf";
    setPdfOutput(pdf);
    if (choose) p.choose("", kPaperA4, orientation);
    PrintRange range;
    EXPECT_TRUE(p.dialog(range));
    p.startDocument("PRINTER");
    p.newPage();
    EXPECT_EQ(p.scaleMode(), 1) << "nothing left from an earlier run";
    EXPECT_EQ(p.foreColor(), 0u);
    p.setScaleMode(5);
    p.setForeColor(rgb(0, 0, 255));
    p.setPosition(100, 100);
    p.print("PAGE");
    p.endPage();
    p.endDocument();
    p.release();
    auto pages = readPdfWords(pdf);
    EXPECT_EQ(pages.size(), 1u);
    return pages.empty() ? PdfPage{} : pages.front();
  };
  Printer p;
  const PdfPage landscape = run(p, "first", true, kLandscape);
  EXPECT_GT(landscape.width, landscape.height);
  // The program's closing choice on the released object, then its next run.
  const PdfPage portrait = run(p, "second", true, kPortrait);
  EXPECT_NEAR(portrait.width, 595.3, 1.0);
  EXPECT_NEAR(portrait.height, 841.9, 1.0);
  Printer fresh;
  const PdfPage byDefault = run(fresh, "third", false, 0);
  EXPECT_LT(byDefault.width, byDefault.height);
}

TEST_F(PdfPageTest, PaletteColoursArriveExactly) {
  if (!tessivo::test::haveTool("pdftoppm")) GTEST_SKIP() << "pdftoppm missing";
  printPage([](Printer& p) {
    p.line(1000, 1000, 2000, 2000, 5, 2);  // shape palette 5: red
    p.line(3000, 1000, 4000, 2000, 2, 2);  // shape palette 2: dark blue
    p.color(6, 0, 0, 4, 9);                // colour statement, bright half: yellow
    p.line(5000, 1000, 6000, 2000, -1, 2);
    // A ring as the chart draws it, for the eye.
    for (int i = 0; i < 6; ++i) p.circle(8000, 4000, 200 + i, 5, 0.4f, 0, 0, false);
    p.setPosition(7700, 3900);
    p.print("A.M."_sj);
  });
  const std::string png = dir.path() + "/print-sample.png";
  const QImage image = tessivo::test::renderPdfPage(lastPdf, 1, 72, png);
  ASSERT_FALSE(image.isNull());
  const QPointF origin = printableOrigin();
  auto at = [&](double xThousandths, double yThousandths) {
    return image.pixelColor(int(origin.x() + xThousandths * 0.072),
                            int(origin.y() + yThousandths * 0.072));
  };
  EXPECT_EQ(at(1500, 1500), QColor(255, 0, 0));
  EXPECT_EQ(at(3500, 1500), QColor(0, 0, 128));
  EXPECT_EQ(at(5500, 1500), QColor(255, 255, 0));
}

// The check mark goes into the PDF as it is: a lossy (JPEG) copy surrounds
// the strokes with off-white specks that some printers put on the chart.
TEST_F(PdfPageTest, CheckMarkPictureIsEmbeddedLosslessly) {
  if (!tessivo::test::haveTool("pdfimages")) GTEST_SKIP() << "pdfimages missing";
  for (const char* name : {"CHECK_1", "CHECK_2"}) {
    SCOPED_TRACE(name);
    const Bitmap check = Bitmap::load(name);
    printPage([&](Printer& p) { p.drawBitmap(1000, 1000, 435.6, 288.2, check, 1, 1, 198, 131); });
    // "page num type width height color comp bpc enc ..." for every picture.
    const std::string list = tessivo::test::runCommand("pdfimages -list '" + lastPdf + "'");
    int pictures = 0;
    std::istringstream lines(list);
    for (std::string line; std::getline(lines, line);) {
      std::istringstream fields(line);
      std::string page, num, type, width, height, color, comp, bpc, enc;
      fields >> page >> num >> type >> width >> height >> color >> comp >> bpc >> enc;
      if (type != "image") continue;
      ++pictures;
      EXPECT_NE(enc, "jpeg") << line;
      EXPECT_EQ(width + "x" + height, "198x131") << line;
    }
    EXPECT_EQ(pictures, 1) << list;
  }
}

}  // namespace
}  // namespace fw
