// The print preview: the same page as the print, reached by menu and
// shortcut, and looking at it changes nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "common/correction_file.h"
#include "common/history_format.h"
#include "common/print_options.h"
#include "entry/record.h"
#include "entry/state.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/page_preview.h"
#include "framework/form/printer.h"
#include "framework/form/program.h"
#include "framework/form/responder.h"
#include "framework/form/testing.h"
#include "framework/form/window.h"
#include "framework/form/window_commands.h"
#include "history/store/store.h"
#include "printing/chart_preview.h"
#include "printing/multiple_print.h"
#include "printing/pdf_copy_switch.h"
#include "printing/procedures.h"
#include "tests/support/sample_examinee.h"
#include "tests/support/temp_dir.h"

// Qt last: its "slots" keyword would clash with names of the headers above.
#include <QImage>

namespace printing {
namespace {

using namespace fw::literals;
using tessivo::test::TempCwd;

constexpr double kDpi = 150;
constexpr int kHalfMillimetre = 2;  // pixels at 150 dpi (0.5 mm is 2.95)

// The share of dark pixels of `a` that have a dark pixel of `b` within the radius.
double darkMatched(const QImage& a, const QImage& b, int radius) {
  auto dark = [](const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 110; };
  long total = 0, matched = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      if (!dark(a, x, y)) continue;
      ++total;
      bool found = false;
      for (int dy = -radius; dy <= radius && !found; ++dy)
        for (int dx = -radius; dx <= radius && !found; ++dx) {
          const int u = x + dx, v = y + dy;
          found = u >= 0 && v >= 0 && u < b.width() && v < b.height() && dark(b, u, v);
        }
      if (found) ++matched;
    }
  }
  return total == 0 ? 0 : double(matched) / double(total);
}

std::set<std::string> filesUnder(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir))
    names.insert(e.path().string() + ":" +
                 (e.is_regular_file() ? std::to_string(e.file_size()) : std::string("dir")));
  return names;
}

class ChartPreview : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory("EKG_DATA");
    std::filesystem::create_directory("EKG_SYS");
    ASSERT_TRUE(fw::initForTests());
    fw::unregisterAllProcedures();
    registerProcedures();
    addMainWindowCommands();
    common::PRINT_FONT = "1";
    common::PRINT_COLOUR = "2";
    pdf = dir.path() + "/chart.pdf";
    fw::setPdfOutput(pdf);
    entry::writeToMainWindow(tessivo::test::sampleExaminee());
  }
  void TearDown() override {
    fw::closePagePreview();
    fw::setPdfOutput("");
    fw::resetForTests();
  }
  void keep(const std::string& name, const std::string& png) {
    if (const char* where = std::getenv("TESSIVO_KEEP_CHARTS")) {
      std::filesystem::create_directories(where);
      std::filesystem::copy_file(png, std::string(where) + "/" + name + ".png",
                                 std::filesystem::copy_options::overwrite_existing);
    }
  }
  TempCwd dir;
  std::string pdf;
};

TEST_F(ChartPreview, PreviewPageAndPrintedPdfAgreeWithinHalfAMillimetre) {
  std::array<fw::Str, kChartItemCount + 1> vertical, horizontal;
  vertical.fill("0");
  horizontal.fill("0");
  vertical[10] = "-2";
  horizontal[33] = "4";
  common::writeCorrections(vertical, horizontal);

  const std::string previewPng = dir.path() + "/preview.png";
  ASSERT_TRUE(fw::renderPreviewPage(chartPreview({entry::readFromMainWindow()}, {}), 0, kDpi,
                                    false, previewPng));
  fw::ScriptedResponder answers;
  answers.messageAnswers = {fw::mb::ResYes};
  answers.printAnswers = {true};
  fw::testing::click(fw::ctl("BUTTON10"));
  fw::waitForEvents();
  ASSERT_TRUE(std::filesystem::exists(pdf));
  std::system(("pdftoppm -r 150 -png -singlefile '" + pdf + "' '" + dir.path() + "/printed'").c_str());
  const QImage preview(QString::fromStdString(previewPng));
  const QImage printed(QString::fromStdString(dir.path() + "/printed.png"));
  ASSERT_FALSE(preview.isNull());
  ASSERT_FALSE(printed.isNull());
  EXPECT_NEAR(preview.width(), printed.width(), 1);
  EXPECT_NEAR(preview.height(), printed.height(), 1);
  // Every inked pixel of either has ink of the other within half a millimetre.
  EXPECT_GT(darkMatched(preview, printed, kHalfMillimetre), 0.98);
  EXPECT_GT(darkMatched(printed, preview, kHalfMillimetre), 0.98);

  // And a page one millimetre off would not pass: the comparison can fail.
  fw::PagePreview moved = chartPreview({entry::readFromMainWindow()}, {});
  moved.sheet.printableLeft += 1;
  moved.sheet.printableTop += 1;
  ASSERT_TRUE(fw::renderPreviewPage(moved, 0, kDpi, false, previewPng));
  EXPECT_LT(darkMatched(QImage(QString::fromStdString(previewPng)), printed, kHalfMillimetre), 0.9);
}

TEST_F(ChartPreview, OpeningAndClosingByShortcutChangesNothing) {
  entry::EDIT_COUNT = 3;
  const common::ExamineeRecord before = entry::readFromMainWindow();
  const std::set<std::string> filesBefore = filesUnder(dir.path());

  ASSERT_TRUE(fw::testing::pressShortcut(fw::mainWindow(), kPreviewShortcut));
  fw::waitForEvents();
  ASSERT_TRUE(fw::pagePreviewOpen());
  const char* where = std::getenv("TESSIVO_KEEP_CHARTS");
  for (auto [zoom, name] : {std::pair{fw::PreviewZoom::Fit, "preview_fit"},
                            std::pair{fw::PreviewZoom::Actual, "preview_100"},
                            std::pair{fw::PreviewZoom::Double, "preview_200"}}) {
    fw::testing::setPreviewZoom(zoom);
    if (where) {
      std::filesystem::create_directories(where);
      EXPECT_TRUE(fw::testing::savePreviewScreenshot(std::string(where) + "/" + name + ".png"));
    }
  }
  fw::closePagePreview();
  fw::waitForEvents();

  EXPECT_FALSE(fw::pagePreviewOpen());
  EXPECT_EQ(entry::EDIT_COUNT, 3);
  const common::ExamineeRecord after = entry::readFromMainWindow();
  EXPECT_EQ(after.NAME, before.NAME);
  EXPECT_EQ(after.EXAM_NO, before.EXAM_NO);
  EXPECT_EQ(after.HOSPITAL, before.HOSPITAL);
  EXPECT_EQ(after.SEX_MALE, before.SEX_MALE);
  EXPECT_EQ(after.REQUEST_KIND, before.REQUEST_KIND);
  EXPECT_EQ(after.DOCTOR_FINDING, before.DOCTOR_FINDING);
  // No correction table or offset file created, nothing else written.
  EXPECT_EQ(filesUnder(dir.path()), filesBefore);
  EXPECT_TRUE(fw::mainWindow().enabled());
}

TEST_F(ChartPreview, MenuStaysOffClickAreasAndThePrintButtonStartsTheNormalPrint) {
  fw::Window& main = fw::mainWindow();
  // The option word "安静時" area of the main window ticks its box on any click.
  EXPECT_FALSE(fw::testing::menuOfferedAt(main, 150, 490));
  EXPECT_TRUE(fw::testing::menuOfferedAt(main, 5, 5));
  const std::vector<fw::Str> commands{"印刷プレビュー..."_sj, pdfSwitchCaption()};
  ASSERT_EQ(fw::windowCommands(main), commands);
  // Start code running again adds no second entry.
  addMainWindowCommands();
  EXPECT_EQ(fw::windowCommands(main), commands);

  ASSERT_TRUE(fw::testing::chooseCommand(main, fw::windowCommands(main)[0]));
  fw::waitForEvents();
  ASSERT_TRUE(fw::pagePreviewOpen());
  fw::ScriptedResponder answers;
  answers.messageAnswers = {fw::mb::ResNo};
  fw::testing::clickPreviewPrint();
  fw::waitForEvents();
  ASSERT_EQ(answers.messages.size(), 1u);
  EXPECT_EQ(answers.messages[0].title, "単票印刷"_sj);
  EXPECT_FALSE(std::filesystem::exists(pdf));
}

TEST_F(ChartPreview, MultiplePrintPreviewShowsTheSelectedEntriesPageByPage) {
  for (const char* no : {"A1", "B2", "C3"}) {
    common::ExamineeRecord r = tessivo::test::sampleExaminee();
    r.EXAM_NO = no;
    history::appendEntry(common::attributesOf(r, "2024/05/07"), common::clinicalOf(r, "2024/05/07"));
  }
  entry::EDIT_COUNT = 0;
  fw::testing::click(fw::ctl("BUTTON38"));
  fw::waitForEvents();
  ASSERT_TRUE(fw::isOpen(FORM8));
  fw::Control& list = FORM8->control("LIST3");
  ASSERT_EQ(list.itemCount(), 3);
  fw::testing::selectItem(list, 0);
  fw::testing::selectItem(list, 2);
  fw::waitForEvents();

  ASSERT_TRUE(fw::testing::pressShortcut(*FORM8, kPreviewShortcut));
  fw::waitForEvents();
  ASSERT_TRUE(fw::pagePreviewOpen());
  EXPECT_EQ(fw::testing::previewPageIndex(), 0);
  fw::testing::showPreviewPage(1);
  EXPECT_EQ(fw::testing::previewPageIndex(), 1);
  fw::testing::showPreviewPage(2);  // only two selected
  EXPECT_EQ(fw::testing::previewPageIndex(), 1);
  EXPECT_EQ(list.itemCount(), 3);
  EXPECT_TRUE(list.itemSelected(0));
  EXPECT_TRUE(list.itemSelected(2));
}

}  // namespace
}  // namespace printing
