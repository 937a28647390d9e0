// Arguments the drawing services refuse, and the printer without a device.
// Every kind of surface refuses the same way, so a recording in a layout
// test fails where a real page would.
#include <gtest/gtest.h>

#include <QFile>
#include <functional>
#include <memory>

#include "framework/core/error.h"
#include "framework/form/internal/image_surface.h"
#include "framework/form/internal/print_device.h"
#include "framework/form/printer.h"
#include "framework/form/recording_surface.h"
#include "framework/form/responder.h"
#include "tests/support/temp_dir.h"
#include "tests/support/error_of.h"

namespace fw {
namespace {

using tessivo::test::errorOf;

std::vector<std::unique_ptr<Surface>> everyKind() {
  std::vector<std::unique_ptr<Surface>> kinds;
  kinds.push_back(std::make_unique<RecordingSurface>());
  kinds.push_back(internal::makeImageSurface(20, 20, rgb(255, 255, 255)));
  kinds.push_back(std::make_unique<Printer>());
  return kinds;
}

TEST(SurfaceArguments, RefusedValuesGiveTheirErrorNumbers) {
  for (auto& s : everyKind()) {
    SCOPED_TRACE(typeid(*s).name());
    EXPECT_EQ(errorOf([&] { s->setScaleMode(0); }), 0);
    EXPECT_EQ(errorOf([&] { s->setScaleMode(6); }), 0);
    EXPECT_EQ(errorOf([&] { s->setScaleMode(7); }), err::InvalidArgument);
    EXPECT_EQ(errorOf([&] { s->setScaleMode(-1); }), err::InvalidArgument);
    EXPECT_EQ(s->scaleMode(), 6);

    EXPECT_EQ(errorOf([&] { s->setForeColor(0xFFFFFF); }), 0);
    EXPECT_EQ(errorOf([&] { s->setForeColor(0x1000000); }), err::Overflow);
    EXPECT_EQ(errorOf([&] { s->setBackColor(0x1000000); }), err::Overflow);
    EXPECT_EQ(errorOf([&] { s->setFillColor(0xFFFFFFFF); }), err::Overflow);
    EXPECT_EQ(s->foreColor(), 0xFFFFFFu);

    EXPECT_EQ(errorOf([&] { s->color(15, 0, 0, 4, 9); }), 0);
    EXPECT_EQ(errorOf([&] { s->color(16, 0, 0, 4, 9); }), err::InvalidArgument);
    EXPECT_EQ(errorOf([&] { s->color(-1, 0, 0, 4, 9); }), err::InvalidArgument);
    EXPECT_EQ(errorOf([&] { s->color(1, 0, 0, 2, 9); }), err::InvalidArgument);  // no mode 2
    EXPECT_EQ(s->foreColor(), rgb(255, 255, 255));  // refused statements change nothing
  }
}

TEST(SurfaceArguments, ColourStatementModesPickThePaletteHalf) {
  RecordingSurface s;
  struct Row { int number, mode; uint32_t expected; };
  const Row rows[] = {
      {0, 4, rgb(0, 0, 0)},       {1, 4, rgb(0, 0, 255)},     {2, 4, rgb(255, 0, 0)},
      {7, 4, rgb(255, 255, 255)}, {0, 0, rgb(128, 128, 128)}, {1, 0, rgb(0, 0, 128)},
      {7, 0, rgb(192, 192, 192)}, {9, 0, rgb(0, 0, 128)},     {15, 5, rgb(255, 255, 255)},
      {8, 1, rgb(128, 128, 128)},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.number << " mode " << r.mode);
    s.color(r.number, 0, 0, r.mode, 9);
    EXPECT_EQ(s.foreColor(), r.expected);
  }
  // Only the bits of `which` change anything.
  s.setBackColor(rgb(1, 2, 3));
  s.color(2, 2, 0, 4, 8);
  EXPECT_EQ(s.foreColor(), rgb(128, 128, 128));
  EXPECT_EQ(s.backColor(), rgb(1, 2, 3));
  EXPECT_EQ(shapePaletteColour(5), rgb(255, 0, 0));
  EXPECT_EQ(errorOf([] { shapePaletteColour(16); }), err::InvalidArgument);
}

// A printer with an open page (into a PDF file), a window picture and a
// recording: the statements a layout test records must behave as on paper.
class SurfaceKindsAgree : public ::testing::Test {
 protected:
  void SetUp() override {
    setPdfOutput(dir.path() + "/agree.pdf");
    printer.choose("", kPaperA4, kLandscape);
    PrintRange range;
    ASSERT_TRUE(printer.dialog(range));
    printer.startDocument("PRINTER");
    printer.newPage();
    kinds = {&recording, window.get(), &printer};
  }
  void TearDown() override {
    printer.endPage();
    printer.endDocument();
    printer.release();
    setPdfOutput("");
  }
  tessivo::test::TempCwd dir;
  RecordingSurface recording;
  std::unique_ptr<Surface> window = internal::makeImageSurface(50, 50, rgb(255, 255, 255));
  Printer printer;
  std::vector<Surface*> kinds;
};

TEST_F(SurfaceKindsAgree, ColourModeStaysForLaterStatementsWithoutTheModeBit) {
  for (Surface* s : kinds) {
    SCOPED_TRACE(typeid(*s).name());
    s->color(0, 0, 0, 4, 9);
    // which = 1: the foreground only; the mode argument is not looked at and
    // the bright half chosen before still applies.
    s->color(1, 0, 0, 0, 1);
    EXPECT_EQ(s->foreColor(), rgb(0, 0, 255));
    s->color(1, 0, 0, 0, 9);
    s->color(2, 0, 0, 4, 1);
    EXPECT_EQ(s->foreColor(), rgb(128, 0, 0));
  }
}

TEST_F(SurfaceKindsAgree, RefusedDrawingArgumentsGiveTheSameErrors) {
  const Bitmap none;
  for (Surface* s : kinds) {
    SCOPED_TRACE(typeid(*s).name());
    EXPECT_EQ(errorOf([&] { s->setLineWidth(-1); }), err::InvalidArgument);
    EXPECT_EQ(errorOf([&] { s->setLineWidth(0); }), 0);
    EXPECT_EQ(errorOf([&] { s->setFontSize(0); }), err::InvalidArgument);
    EXPECT_EQ(errorOf([&] { s->setFontSize(-3); }), err::InvalidArgument);
    EXPECT_EQ(errorOf([&] { s->setFontSize(0.5f); }), 0);
    EXPECT_EQ(s->fontSize(), 0.5f);
    EXPECT_EQ(errorOf([&] { s->line(0, 0, 1, 1, -1, 3); }), err::InvalidArgument);
    EXPECT_EQ(errorOf([&] { s->line(0, 0, 1, 1, -1, -1); }), err::InvalidArgument);
    EXPECT_EQ(errorOf([&] { s->line(0, 0, 1, 1, 16, 0); }), err::InvalidArgument);
    EXPECT_EQ(errorOf([&] { s->circle(5, 5, 1, 16, 1.0f, 0, 0, false); }), err::InvalidArgument);
    EXPECT_EQ(errorOf([&] { s->drawBitmap(0, 0, 1, 1, none, 0, 0, 1, 1); }), err::NoObject);
  }
  if (!QFile::exists(":/bitmaps/CHECK_1")) return;
  const Bitmap check = Bitmap::load("CHECK_1");
  for (Surface* s : kinds) {
    SCOPED_TRACE(typeid(*s).name());
    EXPECT_EQ(errorOf([&] { s->drawBitmap(0, 0, 1, 1, check, 1, 1, 0, 131); }),
              err::InvalidArgument);
    EXPECT_EQ(errorOf([&] { s->drawBitmap(0, 0, 1, 1, check, 1, 1, 198, 131); }), 0);
  }
}

TEST_F(SurfaceKindsAgree, PrintMovesToTheLeftEdgeOneLineDownPerLineFeedPlusOne) {
  for (Surface* s : kinds) {
    SCOPED_TRACE(typeid(*s).name());
    s->setScaleMode(5);
    s->setFontSize(12);
    s->setPosition(100, 200);
    s->print("A");
    const double line = s->currentY() - 200;
    ASSERT_GT(line, 0);
    s->setPosition(300, 200);
    s->print("A\rB\nC\r\nD\tE");
    EXPECT_EQ(s->currentX(), 0);
    EXPECT_NEAR(s->currentY(), 200 + 3 * line, 0.01);
    s->setPosition(300, 200);
    s->print("");
    EXPECT_EQ(s->currentX(), 0);
    EXPECT_NEAR(s->currentY(), 200 + line, 0.01);
    s->clear();
    EXPECT_EQ(s->currentX(), 0);
    EXPECT_EQ(s->currentY(), 0);
  }
}

TEST(Recording, ShowsOutlineAndFillOfFilledShapes) {
  RecordingSurface s;
  s.setForeColor(rgb(0, 0, 255));
  s.line(0, 0, 10, 10, -1, 2);
  s.circle(5, 5, 3, -1, 1.0f, 0, 0, true);
  s.setFillColor(rgb(0, 200, 0));
  s.line(0, 0, 10, 10, -1, 2);
  s.circle(5, 5, 3, -1, 1.0f, 0, 0, true);
  s.line(0, 0, 10, 10, 13, 2);
  s.circle(5, 5, 3, -1, 1.0f, 0, 0, false);
  struct Row { uint32_t outline, fill; };
  const Row rows[] = {{rgb(0, 0, 255), rgb(0, 0, 255)}, {rgb(0, 0, 255), rgb(0, 0, 255)},
                      {rgb(0, 0, 255), rgb(0, 200, 0)}, {rgb(0, 0, 255), rgb(0, 200, 0)},
                      {rgb(255, 255, 0), rgb(255, 255, 0)}, {rgb(0, 0, 255), 0}};
  ASSERT_EQ(s.calls.size(), std::size(rows));
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(s.calls[i].colour, rows[i].outline);
    EXPECT_EQ(s.calls[i].fill, rows[i].fill);
  }
}

TEST(Recording, ShowsInvertedText) {
  RecordingSurface s;
  s.print("a");
  s.color(2, 7, 0, 5, 11);
  s.print("b");
  s.color(2, 0, 0, 0, 1);  // the mode stays
  s.print("c");
  s.color(2, 0, 0, 4, 9);
  s.print("d");
  const auto texts = s.texts();
  ASSERT_EQ(texts.size(), 4u);
  EXPECT_FALSE(texts[0].inverted);
  EXPECT_TRUE(texts[1].inverted);
  EXPECT_EQ(texts[1].colour, rgb(255, 0, 0));
  EXPECT_EQ(texts[1].background, rgb(255, 255, 255));
  EXPECT_TRUE(texts[2].inverted);
  EXPECT_EQ(texts[2].colour, rgb(255, 0, 0));
  EXPECT_FALSE(texts[3].inverted);
}

TEST(PrinterStates, DrawingWithoutADeviceIsError1000) {
  Printer p;
  EXPECT_EQ(errorOf([&] { p.print("X"); }), err::NoObject);
  EXPECT_EQ(errorOf([&] { p.line(0, 0, 1, 1, -1, 0); }), err::NoObject);
  EXPECT_EQ(errorOf([&] { p.newPage(); }), err::NoObject);
  EXPECT_EQ(errorOf([&] { p.endDocument(); }), err::NoObject);
  // Chosen but not confirmed in the dialog: still no device.
  p.choose("", kPaperA4, kLandscape);
  EXPECT_EQ(errorOf([&] { p.startDocument("PRINTER"); }), err::NoObject);
}

TEST(PrinterStates, ChooseAndDocumentNameLimits) {
  tessivo::test::TempCwd dir;
  setPdfOutput(dir.path() + "/out.pdf");
  Printer p;
  EXPECT_EQ(errorOf([&] { p.choose("", -1, kLandscape); }), err::InvalidArgument);
  EXPECT_EQ(errorOf([&] { p.choose("", kPaperA4, 3); }), err::InvalidArgument);
  EXPECT_EQ(errorOf([&] { p.choose("", kPaperA4, -1); }), err::InvalidArgument);
  EXPECT_EQ(errorOf([&] { p.choose("", 0, 0); }), 0);
  PrintRange range;
  ASSERT_TRUE(p.dialog(range));
  EXPECT_EQ(errorOf([&] { p.startDocument(Str(32, 'D')); }), err::InvalidArgument);
  EXPECT_EQ(errorOf([&] { p.startDocument(Str(31, 'D')); }), 0);
  p.newPage();
  EXPECT_EQ(errorOf([&] { p.print("X"); }), 0);
  p.endPage();
  p.endDocument();
  p.release();
  EXPECT_EQ(errorOf([&] { p.print("X"); }), err::NoObject);
  // The program chooses again on the released object for the next run.
  EXPECT_EQ(errorOf([&] { p.choose("", kPaperA4, kPortrait); }), 0);
  setPdfOutput("");
}

TEST(PrinterStates, CancelledDialogStartsNothing) {
  tessivo::test::TempCwd dir;
  setPdfOutput(dir.path() + "/out.pdf");
  ScriptedResponder answers;
  answers.printAnswers = {false};
  Printer p;
  p.choose("", kPaperA4, kLandscape);
  PrintRange range;
  EXPECT_FALSE(p.dialog(range));
  EXPECT_EQ(answers.printDialogs.size(), 1u);
  EXPECT_EQ(errorOf([&] { p.startDocument("PRINTER"); }), err::NoObject);
  p.release();
  EXPECT_FALSE(dir.exists("out.pdf"));
  setPdfOutput("");
}

}  // namespace
}  // namespace fw
