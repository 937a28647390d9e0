// The printing windows driven as the operator would: FORM4 (print position),
// FORM7 and FORM9 (print font and colour).
#include <gtest/gtest.h>

#include <filesystem>

#include "common/print_options.h"
#include "entry/state.h"
#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/program.h"
#include "framework/form/responder.h"
#include "framework/form/testing.h"
#include "framework/form/window.h"
#include "printing/position_window.h"
#include "printing/procedures.h"
#include "tests/printing/printing_fixture.h"
#include "tests/support/temp_dir.h"

namespace printing {
namespace {

using namespace fw::literals;
using tessivo::test::TempCwd;

constexpr const char* kFile = "EKG_SYS/P_TYOUSEI";

class PrintingWindows : public PrintingTest {
 protected:
  void SetUp() override {
    PrintingTest::SetUp();
    if (HasFatalFailure()) return;
  }

  void clickMain(const char* button) {
    fw::testing::click(fw::ctl(button));
    fw::waitForEvents();
  }
  void clickOn(fw::FormRef& form, const char* control) {
    fw::testing::click(form->control(control));
    fw::waitForEvents();
  }
  fw::Control& box(int item, Axis axis) {
    return FORM4->control("EDIT" + std::to_string(correctionEditNumber(item, axis)));
  }

  TempCwd dir;
  fw::ScriptedResponder answers;
};

TEST_F(PrintingWindows, PositionWindowOpensWithZerosWhenNoFile) {
  clickMain("BUTTON21");
  ASSERT_TRUE(fw::isOpen(FORM4));
  EXPECT_TRUE(FORM4->visible());
  EXPECT_FALSE(fw::mainWindow().enabled());
  for (int k = 1; k <= 34; ++k) {
    for (Axis axis : {Axis::Vertical, Axis::Horizontal}) {
      EXPECT_EQ(box(k, axis).text(), "0") << k;
      EXPECT_FALSE(box(k, axis).fontBold()) << k;
    }
  }
  EXPECT_TRUE(dir.exists(kFile));
  EXPECT_EQ(dir.read(kFile).size(), 0u);
  EXPECT_TRUE(answers.messages.empty());
}

TEST_F(PrintingWindows, RegisterStoresTheBoxesAndKeepsWhatWasTyped) {
  clickMain("BUTTON21");
  box(10, Axis::Vertical).setText("-2");
  box(10, Axis::Horizontal).setText("1.5");
  box(1, Axis::Vertical).setText("abc");
  answers.messageAnswers = {fw::mb::ResYes};
  clickOn(FORM4, "BUTTON20");

  ASSERT_EQ(answers.messages.size(), 1u);
  EXPECT_EQ(answers.messages[0].title, "登　録"_sj);
  EXPECT_EQ(answers.messages[0].text, "印刷位置調整の入力値をファイルに登録します。"_sj + "\r\n" +
                                          "よろしいですか？ "_sj);
  EXPECT_EQ(answers.messages[0].buttons, fw::mb::YesNo);
  EXPECT_EQ(answers.messages[0].icon, fw::mb::Question);

  const std::string bytes = dir.read(kFile);
  ASSERT_EQ(bytes.size(), 2000u);
  EXPECT_EQ(bytes.substr(100, 5), "-2   ");
  EXPECT_EQ(bytes.substr(105, 5), "1.5  ");
  EXPECT_EQ(bytes.substr(10, 5), "0    ");
  EXPECT_EQ(box(1, Axis::Vertical).text(), "abc");  // stays as typed
  EXPECT_FALSE(box(10, Axis::Vertical).fontBold());  // bold marks unchanged
  EXPECT_TRUE(fw::isOpen(FORM4));
}

TEST_F(PrintingWindows, ClearThenBackLeavesTheFileAndReopeningShowsIt) {
  std::string stored(2000, '\0');
  for (int offset = 10; offset < 350; offset += 5) stored.replace(offset, 5, "0    ");
  stored.replace(100, 5, "-2   ");
  stored.replace(105, 5, "1.5  ");
  dir.write(kFile, stored);

  clickMain("BUTTON21");
  EXPECT_EQ(box(10, Axis::Vertical).text(), "-2");
  EXPECT_TRUE(box(10, Axis::Vertical).fontBold());
  EXPECT_TRUE(box(10, Axis::Horizontal).fontBold());
  EXPECT_FALSE(box(9, Axis::Vertical).fontBold());

  answers.messageAnswers = {fw::mb::ResYes};
  clickOn(FORM4, "BUTTON22");
  ASSERT_EQ(answers.messages.size(), 1u);
  EXPECT_EQ(answers.messages[0].title, "初期化"_sj);
  EXPECT_EQ(box(10, Axis::Vertical).text(), "0");
  EXPECT_FALSE(box(10, Axis::Vertical).fontBold());

  clickOn(FORM4, "BUTTON19");
  EXPECT_FALSE(fw::isOpen(FORM4));
  EXPECT_TRUE(fw::mainWindow().enabled());
  EXPECT_EQ(dir.read(kFile), stored);

  clickMain("BUTTON21");
  EXPECT_EQ(box(10, Axis::Vertical).text(), "-2");
  EXPECT_EQ(box(10, Axis::Horizontal).text(), "1.5");
}

// The picture of FORM4 as the operator sees it: the shadowed heading, the
// etched frame, the eight black explanation lines with their white shadow,
// and the grey credit line.
TEST_F(PrintingWindows, PositionWindowPictureShowsHeadingFrameAndExplanation) {
  clickMain("BUTTON21");
  ASSERT_TRUE(fw::isOpen(FORM4));
  fw::Window& form = *FORM4;
  const uint32_t black = fw::rgb(0, 0, 0), white = fw::rgb(255, 255, 255);
  const uint32_t grey = fw::rgb(128, 128, 128), silver = fw::rgb(192, 192, 192);
  auto count = [&](int x0, int y0, int x1, int y1, uint32_t colour) {
    long n = 0;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) n += form.picturePixel(x, y) == colour;
    return n;
  };
  // Small text is drawn with smoothed edges: count by lightness, not by the
  // exact colour (0 black .. 255 white; red lowest in the RGB value).
  auto lightness = [](uint32_t c) { return int((c & 0xFF) + (c >> 8 & 0xFF) + (c >> 16 & 0xFF)) / 3; };
  auto countLightness = [&](int x0, int y0, int x1, int y1, int from, int to) {
    long n = 0;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) {
        const int l = lightness(form.picturePixel(x, y));
        n += l >= from && l <= to;
      }
    return n;
  };
  {
    SCOPED_TRACE("etched frame");
    EXPECT_EQ(form.picturePixel(385, 440), grey);
    EXPECT_EQ(form.picturePixel(727, 440), grey);
    EXPECT_EQ(form.picturePixel(560, 435), grey);
    EXPECT_EQ(form.picturePixel(560, 630), grey);
    EXPECT_EQ(form.picturePixel(386, 440), silver);
    EXPECT_EQ(form.picturePixel(726, 440), silver);
    EXPECT_EQ(form.picturePixel(560, 436), silver);
    EXPECT_EQ(form.picturePixel(728, 440), white);
    EXPECT_EQ(form.picturePixel(560, 631), white);
    EXPECT_EQ(form.picturePixel(380, 440), fw::rgb(241, 245, 250));
  }
  for (int line = 0; line < 8; ++line) {
    SCOPED_TRACE(line);
    const int y = 445 + 18 * line;
    EXPECT_GT(countLightness(395, y, 725, y + 16, 0, 60), 20);
    EXPECT_GT(count(396, y + 1, 725, y + 17, white), 5);
  }
  {
    SCOPED_TRACE("nothing black between the last line and the credit line");
    EXPECT_EQ(countLightness(390, 592, 725, 608, 0, 60), 0);
  }
  {
    SCOPED_TRACE("credit line: dark grey, never black");
    EXPECT_GT(countLightness(395, 611, 720, 627, 100, 160), 10);
    EXPECT_EQ(countLightness(390, 611, 720, 627, 0, 60), 0);
  }
  {
    SCOPED_TRACE("heading: black over its light grey shadow");
    EXPECT_GT(count(274, 8, 530, 52, black), 100);
    EXPECT_GT(count(274, 8, 530, 52, silver), 10);
  }
}

TEST_F(PrintingWindows, OptionWindowsSitAtTheirOffsetFromTheMainWindow) {
  struct Case { const char* open; fw::FormRef& form; const char* radio; const char* ok; };
  const Case cases[] = {{"BUTTON36", FORM7, "RADIO1", "BUTTON37"},
                        {"BUTTON42", FORM9, "RADIO3", "BUTTON43"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.open);
    clickMain(c.open);
    ASSERT_TRUE(fw::isOpen(c.form));
    EXPECT_EQ(c.form->geometry(0), fw::mainWindow().geometry(0) + 448);
    EXPECT_EQ(c.form->geometry(1), fw::mainWindow().geometry(1) + 767);
    EXPECT_TRUE(c.form->visible());
    EXPECT_EQ(c.form->control(c.radio).fontSize(), 18);
    clickOn(c.form, c.ok);
    EXPECT_TRUE(fw::mainWindow().enabled());
  }
}

TEST_F(PrintingWindows, FirstStartShowsGothicAndBlackAndStoresThem) {
  dir.write("EKG_SYS/INSA_FO", "");
  dir.write("EKG_SYS/INSA_CO", "");

  clickMain("BUTTON36");
  ASSERT_TRUE(fw::isOpen(FORM7));
  EXPECT_FALSE(fw::mainWindow().enabled());
  EXPECT_EQ(FORM7->control("RADIO1").value(), 1);
  EXPECT_TRUE(FORM7->control("RADIO1").fontBold());
  EXPECT_EQ(FORM7->control("RADIO2").value(), 0);
  EXPECT_FALSE(FORM7->control("RADIO2").fontBold());
  EXPECT_EQ(common::PRINT_FONT, "1");
  clickOn(FORM7, "BUTTON37");
  EXPECT_FALSE(fw::isOpen(FORM7));
  EXPECT_TRUE(fw::mainWindow().enabled());
  EXPECT_EQ(dir.read("EKG_SYS/INSA_FO"), "1" + std::string(99, ' ') + std::string(156, '\0'));

  clickMain("BUTTON42");
  ASSERT_TRUE(fw::isOpen(FORM9));
  EXPECT_EQ(FORM9->control("RADIO3").value(), 1);
  EXPECT_TRUE(FORM9->control("RADIO3").fontBold());
  EXPECT_EQ(common::PRINT_COLOUR, "1");
}

TEST_F(PrintingWindows, ChoosingBlueWritesTwoAndHoldsItInMemory) {
  clickMain("BUTTON42");
  ASSERT_TRUE(fw::isOpen(FORM9));
  clickOn(FORM9, "RADIO4");
  EXPECT_TRUE(FORM9->control("RADIO4").fontBold());
  EXPECT_FALSE(FORM9->control("RADIO3").fontBold());
  EXPECT_EQ(common::PRINT_COLOUR, "1");  // nothing stored before "Ｏ Ｋ"
  clickOn(FORM9, "BUTTON43");
  EXPECT_EQ(dir.read("EKG_SYS/INSA_CO"), "2" + std::string(99, ' ') + std::string(156, '\0'));
  EXPECT_EQ(common::PRINT_COLOUR, "2");
  EXPECT_FALSE(fw::isOpen(FORM9));
  EXPECT_TRUE(fw::mainWindow().enabled());
}

}  // namespace
}  // namespace printing
