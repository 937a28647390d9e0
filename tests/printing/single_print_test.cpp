// "単票印刷" (BUTTON10_ON) from the main window to a PDF, read back with poppler.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <sstream>
#include <vector>

#include "entry/record.h"
#include "common/print_options.h"
#include "entry/state.h"
#include "framework/core/cp932.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/printer.h"
#include "framework/form/program.h"
#include "framework/form/responder.h"
#include "framework/form/testing.h"
#include "framework/form/window.h"
#include "printing/procedures.h"
#include "tests/support/sample_examinee.h"
#include "tests/framework/print/pdf_probe.h"
#include "tests/printing/printing_fixture.h"
#include "tests/support/temp_dir.h"

namespace printing {
namespace {

using namespace fw::literals;
using tessivo::test::TempCwd;

// Standard output of a shell command.
std::string run(const std::string& command) { return tessivo::test::runCommand(command); }

// One word of `pdftotext -bbox`: its box in PDF points (1/72 inch).
struct Word {
  double xMin, yMin, xMax, yMax;
};

std::multimap<std::string, Word> words(const std::string& pdf) {
  const std::string html = run("pdftotext -bbox '" + pdf + "' -");
  static const std::regex word(
      "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>");
  std::multimap<std::string, Word> out;
  for (std::sregex_iterator it(html.begin(), html.end(), word), end; it != end; ++it) {
    const auto& m = *it;
    out.insert({m[5], {std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4])}});
  }
  return out;
}

int pageCount(const std::string& pdf) {
  std::smatch m;
  const std::string info = run("pdfinfo '" + pdf + "'");
  static const std::regex pages("Pages:\\s+([0-9]+)");
  return std::regex_search(info, m, pages) ? std::stoi(m[1]) : -1;
}


class SinglePrint : public PrintingTest {
 protected:
  void SetUp() override {
    PrintingTest::SetUp();
    if (HasFatalFailure()) return;
    pdf = dir.path() + "/chart.pdf";
    fw::setPdfOutput(pdf);
  }
  void print() {
    fw::testing::click(fw::ctl("BUTTON10"));
    fw::waitForEvents();
  }
  // Keeps a copy of the PDF and its PNG for a person to look at, when asked.
  void keep(const std::string& name) {
    tessivo::test::keepForLooking(pdf, name, "-r 100 -png -singlefile");
  }

  TempCwd dir;
  fw::ScriptedResponder answers;
  std::string pdf;
};

TEST_F(SinglePrint, NoToConfirmationChangesNothing) {
  fw::ctl("EDIT8").setText("山田"_sj);
  answers.messageAnswers = {fw::mb::ResNo};
  print();
  ASSERT_EQ(answers.messages.size(), 1u);
  EXPECT_EQ(answers.messages[0].title, "単票印刷"_sj);
  EXPECT_EQ(answers.messages[0].text,
            "現在表示されている受診者の「心電図カルテ(FT-70)」を印刷します。 "_sj + "\r\n\r\n" +
                "よろしいですか？   "_sj);
  EXPECT_EQ(answers.messages[0].buttons, fw::mb::YesNo);
  EXPECT_EQ(answers.messages[0].icon, fw::mb::Question);
  EXPECT_TRUE(answers.printDialogs.empty());
  EXPECT_FALSE(std::filesystem::exists(pdf));
  EXPECT_FALSE(dir.exists("EKG_SYS/P_TYOUSEI"));
  EXPECT_TRUE(fw::mainWindow().enabled());
}

TEST_F(SinglePrint, EmptyNameIsRefusedBeforeThePrinter) {
  fw::ctl("EDIT8").setText("　 "_sj);
  answers.messageAnswers = {fw::mb::ResYes, fw::mb::ResOK};
  print();
  ASSERT_EQ(answers.messages.size(), 2u);
  EXPECT_EQ(answers.messages[1].title, "単票印刷"_sj);
  EXPECT_EQ(answers.messages[1].text, "氏名が入力されていません。　確認して下さい。"_sj);
  EXPECT_EQ(answers.messages[1].buttons, fw::mb::OK);
  EXPECT_EQ(answers.messages[1].icon, fw::mb::Information);
  EXPECT_TRUE(answers.printDialogs.empty());
  EXPECT_TRUE(fw::mainWindow().enabled());
  // The correction table was read before the name check: the file now exists.
  EXPECT_TRUE(dir.exists("EKG_SYS/P_TYOUSEI"));
}

TEST_F(SinglePrint, CancelledDialogPrintsNothingAndRestoresTheMainWindow) {
  fw::ctl("EDIT8").setText("山田"_sj);
  answers.messageAnswers = {fw::mb::ResYes};
  answers.printAnswers = {false};
  print();
  EXPECT_EQ(answers.printDialogs.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(pdf));
  EXPECT_TRUE(fw::mainWindow().enabled());
}

TEST_F(SinglePrint, EscAtTheFirstCheckpointEndsAnEmptyPage) {
  fw::ctl("EDIT8").setText("山田"_sj);
  answers.messageAnswers = {fw::mb::ResYes};
  answers.printAnswers = {true};
  answers.keys = [](int key) { return key == 27; };
  print();
  ASSERT_TRUE(std::filesystem::exists(pdf));
  EXPECT_EQ(pageCount(pdf), 1);
  EXPECT_TRUE(words(pdf).empty());
  EXPECT_TRUE(fw::mainWindow().enabled());
  EXPECT_EQ(answers.beeps, 1);  // the operator hears that printing stopped
}

// Every text at its place on the page (0.001 inch = 0.072 pt), in the face
// of the setting. Page positions are measured from the printable area, whose
// corner the PDF places at a small margin: the first text found gives it, and
// every other text must sit at the same margin. pdftotext reports the top of
// the character cell as yMin.
class PageReading {
 public:
  explicit PageReading(const std::string& pdf) : found_(words(pdf)) {}

  void expectAt(const fw::Str& text, double xThousandths, double yThousandths) {
    const std::string utf8 = fw::toUtf8(text);
    SCOPED_TRACE(utf8);
    auto it = found_.find(utf8);
    ASSERT_NE(it, found_.end());
    const double dx = it->second.xMin - xThousandths * 0.072;
    const double dy = it->second.yMin - yThousandths * 0.072;
    if (!margin_) {
      EXPECT_GE(dx, -0.5);
      EXPECT_LE(dx, 20);
      EXPECT_NEAR(dx, dy, 0.5);
      margin_ = dx;
    }
    EXPECT_NEAR(dx, *margin_, 0.5);
    EXPECT_NEAR(dy, *margin_, 0.5);
  }
  // Where the printable area starts on the PDF page, in points (after a first expectAt).
  double marginPoints() const { return margin_.value_or(0); }

 private:
  std::multimap<std::string, Word> found_;
  std::optional<double> margin_;
};

// Pixels of the rendered page: how many are plain dark (black ink) and how
// many are clearly blue.
struct Ink {
  long dark = 0, blue = 0;
};
Ink inkOf(const std::string& pdf, const std::string& stem) {
  run("pdftoppm -r 50 -singlefile '" + pdf + "' '" + stem + "'");
  std::ifstream in(stem + ".ppm", std::ios::binary);
  std::string magic;
  int width = 0, height = 0, maxValue = 0;
  in >> magic >> width >> height >> maxValue;
  in.get();
  Ink ink;
  for (long i = 0; i < long(width) * height; ++i) {
    const int r = in.get(), g = in.get(), b = in.get();
    if (!in) break;
    if (r < 100 && g < 100 && b < 100) ++ink.dark;
    if (b > 200 && r < 120 && b - r > 100) ++ink.blue;
  }
  return ink;
}

// The request categories are COMBO2's items, which the start-up fills.
void fillRequestList() {
  fw::Control& combo = fw::ctl("COMBO2");
  combo.clearItems();
  for (const char* item : {"     ", " 一般", " 出稼", " 中央", " BG健", " 愛職", " YS健", " 訪問",
                           " 介護", " 生保", "  診 ", "  愛 ", "  病 ", "  健 ", "  労 ", "  母 ",
                           "  子 "})
    combo.addItem(fw::sj(item));
}

TEST_F(SinglePrint, SampleChartLandsOnThePdfAtItsCorrectedPositions) {
  std::string corrections(2000, '\0');
  for (int offset = 10; offset < 350; offset += 5) corrections.replace(offset, 5, "0    ");
  corrections.replace(10, 10, "1.5  -3   ");  // item 1: 1.5 mm down, 3 mm left
  dir.write("EKG_SYS/P_TYOUSEI", corrections);
  fillRequestList();
  entry::writeToMainWindow(tessivo::test::sampleExaminee());
  answers.messageAnswers = {fw::mb::ResYes};
  answers.printAnswers = {true};
  print();
  ASSERT_TRUE(std::filesystem::exists(pdf));
  EXPECT_EQ(pageCount(pdf), 1);
  keep("chart-black");

  PageReading page(pdf);
  page.expectAt("2024", 1200, 2920);
  page.expectAt("12a", 9270, 1060);
  page.expectAt("0000000123", 8100, 2920);
  page.expectAt("山田"_sj, 1250, 3640);  // 10 bytes: 24 pt form
  page.expectAt("BG健"_sj, 5930, 4490);
  page.expectAt("128", 3445, 5005);
  page.expectAt("／"_sj, 3620, 5040);
  page.expectAt("84", 3790, 5130);
  page.expectAt("さくら医院"_sj, 1910, 4500);
  page.expectAt("異常なし"_sj, 3180, 7530);
  const std::string fonts = run("pdffonts '" + pdf + "'");
  EXPECT_NE(fonts.find("Gothic"), std::string::npos) << fonts;
  EXPECT_EQ(fonts.find("Mincho"), std::string::npos) << fonts;
  const Ink ink = inkOf(pdf, dir.path() + "/black");
  EXPECT_GT(ink.dark, 0);
  EXPECT_EQ(ink.blue, 0);
  EXPECT_TRUE(fw::mainWindow().enabled());
}

TEST_F(SinglePrint, BlueMinchoChartKeepsEveryPosition) {
  common::PRINT_FONT = "2";
  common::PRINT_COLOUR = "2";
  fillRequestList();
  entry::writeToMainWindow(tessivo::test::sampleExaminee());
  answers.messageAnswers = {fw::mb::ResYes};
  answers.printAnswers = {true};
  print();
  ASSERT_TRUE(std::filesystem::exists(pdf));
  keep("chart-blue");
  PageReading page(pdf);
  page.expectAt("12a", 9390, 1000);
  page.expectAt("BG健"_sj, 5930, 4490);
  page.expectAt("正常範囲"_sj, 3180, 7140);
  const std::string fonts = run("pdffonts '" + pdf + "'");
  EXPECT_NE(fonts.find("Mincho"), std::string::npos) << fonts;
  EXPECT_EQ(fonts.find("Gothic"), std::string::npos) << fonts;
  const Ink ink = inkOf(pdf, dir.path() + "/blue");
  EXPECT_GT(ink.blue, 0);
  EXPECT_EQ(ink.dark, 0);
}

// A full chart: every text, ring and check mark of the 34 items, read back
// from the page rendered at 100 dpi (one pixel = 10 page units).
class RenderedPage {
 public:
  RenderedPage(const std::string& pdf, const std::string& stem, double marginPoints)
      : marginPixels_(marginPoints * 100 / 72) {
    run("pdftoppm -r 100 -singlefile '" + pdf + "' '" + stem + "'");
    std::ifstream in(stem + ".ppm", std::ios::binary);
    std::string magic;
    int maxValue = 0;
    in >> magic >> width_ >> height_ >> maxValue;
    in.get();
    pixels_.resize(size_t(width_) * height_ * 3);
    in.read(pixels_.data(), std::streamsize(pixels_.size()));
  }
  // Ink within two pixels of a page position (0.001 inch).
  bool inkNear(double xThousandths, double yThousandths) const {
    const int cx = int(std::lround(xThousandths / 10 + marginPixels_));
    const int cy = int(std::lround(yThousandths / 10 + marginPixels_));
    for (int y = cy - 2; y <= cy + 2; ++y)
      for (int x = cx - 2; x <= cx + 2; ++x)
        if (ink(x, y)) return true;
    return false;
  }
  // Ink pixels inside a rectangle of page units.
  long inkWithin(double x, double y, double width, double height) const {
    long n = 0;
    for (int py = int(y / 10 + marginPixels_); py < int((y + height) / 10 + marginPixels_); ++py)
      for (int px = int(x / 10 + marginPixels_); px < int((x + width) / 10 + marginPixels_); ++px)
        n += ink(px, py);
    return n;
  }

 private:
  bool ink(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return false;
    const auto* p = reinterpret_cast<const unsigned char*>(&pixels_[(size_t(y) * width_ + x) * 3]);
    return p[0] + p[1] + p[2] < 600;
  }
  double marginPixels_;
  int width_ = 0, height_ = 0;
  std::vector<char> pixels_;
};


TEST_F(SinglePrint, FullChartPutsEveryItemOnThePage) {
  for (const char* colour : {"1", "2"}) {
    SCOPED_TRACE(colour);
    common::PRINT_COLOUR = colour;
    std::filesystem::remove(pdf);
    fillRequestList();
    entry::writeToMainWindow(tessivo::test::everyFlagExaminee());
    answers.messageAnswers = {fw::mb::ResYes};
    answers.printAnswers = {true};
    print();
    ASSERT_TRUE(std::filesystem::exists(pdf));
    keep(std::string("chart-full-") + colour);

    PageReading text(pdf);
    struct At { const char* text; double x, y; };
    const At texts[] = {
        {"A001", 9390, 1000},  {"2025", 1200, 2920},    {"11", 2360, 2920},
        {"30", 3040, 2920},    {"09", 4170, 2920},      {"45", 4780, 2920},
        {"C-778899", 8100, 2920}, {"鈴木花子", 1350, 3560}, {"平成2", 4990, 3760},
        {"7", 6300, 3760},     {"18", 6870, 3760},      {"35", 8140, 3760},
        {"みなと内科クリニック", 1910, 4520}, {"診", 6030, 4490}, {"高橋", 7130, 4500},
        {"48.0", 1560, 5100},  {"142", 3445, 5005},     {"／", 3620, 5040},
        {"96", 3790, 5130},    {"降圧剤", 5970, 5140},  {"5", 7840, 5100},
        {"トレッドミル", 8720, 6380}, {"1-2-3", 3180, 6740}, {"洞調律", 3180, 7140},
        {"要経過観察", 3180, 7530},
    };
    for (const At& t : texts) text.expectAt(fw::sj(t.text), t.x, t.y);

    const RenderedPage page(pdf, dir.path() + "/full", text.marginPoints());
    struct Ring { int item; double x, y, r, aspect; };
    const Ring rings[] = {
        {5, 3850, 2990, 200, 0.4}, {6, 3850, 3120, 200, 0.4}, {15, 9300, 3960, 140, 1},
        {16, 9620, 3960, 140, 1},  {18, 4900, 4583, 220, 1},  {19, 5520, 4583, 220, 1},
        {20, 6120, 4583, 220, 1},  {26, 1210, 6060, 170, 1},  {27, 1210, 6470, 170, 1},
    };
    for (const Ring& ring : rings) {
      SCOPED_TRACE(ring.item);
      const double ry = ring.r * ring.aspect;
      EXPECT_TRUE(page.inkNear(ring.x - ring.r, ring.y));
      EXPECT_TRUE(page.inkNear(ring.x + ring.r, ring.y));
      EXPECT_TRUE(page.inkNear(ring.x, ring.y - ry));
      EXPECT_TRUE(page.inkNear(ring.x, ring.y + ry));
      if (ring.item != 20) {
        EXPECT_FALSE(page.inkNear(ring.x, ring.y));  // an outline, not a disc
      }
    }
    struct Mark { int item; double x, y; };
    const Mark marks[] = {{28, 5500, 6120}, {29, 6060, 6120}, {30, 8010, 6120}, {31, 8650, 6120}};
    for (const Mark& mark : marks) {
      SCOPED_TRACE(mark.item);
      EXPECT_GT(page.inkWithin(mark.x, mark.y, 435.6, 288.2), 40);
      // Nothing just above and left of the picture's corner.
      EXPECT_EQ(page.inkWithin(mark.x - 100, mark.y - 100, 90, 90), 0);
    }
    EXPECT_TRUE(fw::mainWindow().enabled());
  }
}

}  // namespace
}  // namespace printing
