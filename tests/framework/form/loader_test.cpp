// Building windows from definition bytes: the records, and every way a
// definition can be broken.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <random>

#include "framework/core/error.h"
#include "framework/form/events.h"
#include "framework/form/internal/definition_loader.h"
#include "framework/form/internal/form_objects.h"
#include "framework/form/program.h"
#include "framework/form/responder.h"
#include "framework/form/window.h"
#include "tests/framework/form/definition_bytes.h"

namespace fw {
namespace {

using namespace fw::literals;
using internal::openWindowFromBytes;
using testdata::DefinitionBytes;
namespace s = wd::style;

constexpr uint32_t kControl = s::Child | s::Visible | s::TabStop;

class Loader : public ::testing::Test {
 protected:
  void SetUp() override { resetForTests(); }
  void TearDown() override {
    resetForTests();
    unregisterAllProcedures();
  }

  // Loads the bytes expecting a fault: the box text, error 1014, no window.
  void expectFault(const std::vector<uint8_t>& bytes, const Str& message) {
    ScriptedResponder answers;
    int number = 0;
    try {
      openWindowFromBytes(bytes, 0);
    } catch (const RuntimeError& e) {
      number = e.number();
    }
    EXPECT_EQ(number, err::DefinitionFaulty);
    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_EQ(answers.messages[0].title, "DazuVudive");
    EXPECT_EQ(answers.messages[0].text, message);
    EXPECT_TRUE(internal::openWindows().empty());
  }
};

TEST_F(Loader, BuildsWindowAndControlsFromRecords) {
  DefinitionBytes d;
  d.window().font("ＭＳ ゴシック"_sj, 16, false, 128).beginControls();
  d.create(3, kControl).name("BUTTON1").caption("登 録"_sj).place(0, 5, 6, 70, 30);
  d.font("ＭＳ ゴシック"_sj, 20, true);
  d.create(7, kControl | s::EsMultiline | s::EsAutoVScroll | s::EsAutoHScroll, s::ExClientEdge)
      .name("EDIT1").place(0, 100, 40, 140, 32).font("ＭＳ Ｐゴシック"_sj, 12, false);
  d.op(wd::ImeMode).i32(4).op(wd::LimitText).i32(32767);
  d.create(8, (kControl & ~s::Visible) | s::Disabled).name("TEXT1").caption("番号"_sj)
      .place(0, 10, 80, 56, 28).op(wd::ControlBackRgb).i32(0xFAF6F1);
  d.create(12, kControl | s::CbsDropDownList | s::VScroll).name("COMBO1")
      .place(0, 200, 80, 77, 182).font("ＭＳ ゴシック"_sj, 17, true);
  d.endList().endList();

  auto window = openWindowFromBytes(d.bytes, 0);
  EXPECT_EQ(window->name(), "TESTFORM");
  EXPECT_EQ(window->caption(), "Test");
  EXPECT_FALSE(window->visible());
  ASSERT_EQ(window->controlCount(), 4);

  // The outer size includes the frame; controls are placed in client pixels.
  EXPECT_EQ(window->geometry(0), 10);
  EXPECT_EQ(window->geometry(1), 20);
  EXPECT_EQ(window->geometry(2), 400);
  EXPECT_EQ(window->geometry(3), 300);
  internal::FrameMargins m = internal::frameMargins(window->style(), 0);
  EXPECT_EQ(window->widget()->width(), 400 - m.left - m.right);
  EXPECT_EQ(window->widget()->height(), 300 - m.top - m.bottom);

  Control& button = window->control("BUTTON1");
  EXPECT_EQ(button.kind(), Kind::Button);
  EXPECT_EQ(button.text(), "登 録"_sj);
  EXPECT_EQ(button.x(), 5);
  EXPECT_EQ(button.y(), 6);
  EXPECT_EQ(button.width(), 70);
  EXPECT_EQ(button.height(), 30);
  EXPECT_EQ(button.fontName(), "ＭＳ ゴシック"_sj);
  EXPECT_EQ(button.fontSize(), 20.0f);
  EXPECT_TRUE(button.fontBold());

  Control& edit = window->control("EDIT1");
  EXPECT_EQ(edit.kind(), Kind::Edit);
  EXPECT_EQ(edit.imeMode(), 4);
  EXPECT_FALSE(edit.readOnly());

  Control& label = window->control("TEXT1");
  EXPECT_FALSE(label.visible());
  EXPECT_FALSE(label.enabled());
  EXPECT_EQ(label.backColour(), 0xFAF6F1u);

  // A drop-down list is one line high; the definition's height is its list's.
  Control& combo = window->control("COMBO1");
  EXPECT_EQ(combo.height(), 182);
  EXPECT_LT(static_cast<internal::ControlImpl&>(combo).widget()->height(), 60);
  EXPECT_EQ(combo.selectedIndex(), -1);
}

// One record of every code the definitions use, each with operands that
// would misalign the rest if a width were read wrong.
TEST_F(Loader, EveryOperationCodeWithItsOperandWidths) {
  DefinitionBytes d;
  d.header().op(wd::RegisterClass).text("ALL").text("ekg");
  d.create(0, s::Caption | s::SysMenu, 0x100);
  d.op(wd::NoEffect212).i32(0).op(wd::NoEffect211).i32(1).op(wd::ScaleMode).i16(1);
  d.op(wd::RedrawMode).i16(1).op(wd::Axis).i32(0).caption("Cap").name("ALL");
  d.op(wd::TextColour).i16(0).op(wd::ForeColour).i16(1).op(wd::BackColourIndex).i16(15);
  d.op(wd::NoEffect62).i16(1).i16(1).i16(7).i16(7).op(wd::SystemMenuCopy).i16(0);
  d.op(wd::FontSize).i16(18).op(wd::FontBold).i16(1);
  d.op(wd::FontFace).text("FixedSys").i16(128).i16(0x1231);
  d.op(wd::SendMessage).i32(50).i32(0).i32(0).place(3, 1, 2, 300, 200);
  d.events({{3, "ALL_START"}, {17, "ALL_QUERYCLOSE"}});
  d.op(wd::ShowState).i32(3).op(wd::Disabled).i16(0).beginControls();
  d.create(7, kControl).name("EDIT1").op(wd::ControlTextRgb).i32(0x123456);
  d.op(wd::ControlBackRgb).i32(0xFFFFFF).op(wd::LimitText).i32(32767).op(wd::ImeMode).i32(4);
  d.create(5, kControl).name("CHECK1").op(wd::CheckValue).i32(1);
  d.create(9, kControl).name("LIST1").op(wd::ListItems).text("a\r\nb");
  d.endList().endList();

  internal::WindowDefinition def = internal::parseDefinition(d.bytes);
  const internal::ObjectDef& w = def.window;
  EXPECT_EQ(w.className, "ALL");
  EXPECT_EQ(w.iconName, "ekg");
  EXPECT_EQ(w.exStyle, 0x100u);
  EXPECT_EQ(w.caption, Str("Cap"));
  EXPECT_EQ(w.name, "ALL");
  EXPECT_EQ(w.foreColourIndex, 1);
  EXPECT_EQ(w.backColourIndex, 15);
  EXPECT_EQ(w.fontSizePoints, 18);
  EXPECT_TRUE(w.fontBold);
  EXPECT_EQ(w.fontFace, "FixedSys");
  EXPECT_EQ(w.charset, 128);
  EXPECT_EQ(w.pitchAndFamily, 0x31);
  EXPECT_EQ(w.placement, 3);
  EXPECT_EQ(w.width, 300);
  EXPECT_EQ(w.height, 200);
  ASSERT_EQ(w.events.size(), 2u);
  EXPECT_EQ(w.events[1].event, 17);
  EXPECT_EQ(w.events[1].procedure, "ALL_QUERYCLOSE");
  EXPECT_EQ(w.showState, 3);
  ASSERT_EQ(def.controls.size(), 3u);
  EXPECT_EQ(def.controls[0].textRgb, std::optional<uint32_t>(0x123456));
  EXPECT_EQ(def.controls[0].imeMode, 4);
  EXPECT_EQ(def.controls[1].checkValue, 1);
  EXPECT_EQ(def.controls[2].listItems, "a\r\nb");

  // Built, the window keeps the list items and the check value.
  auto window = openWindowFromBytes(d.bytes, 0);
  EXPECT_EQ(window->control("LIST1").itemCount(), 2);
  EXPECT_EQ(window->control("CHECK1").value(), 1);
}

TEST_F(Loader, CentredWindowIsNotClippedToTheScreen) {
  DefinitionBytes d;
  d.header().create(0, s::Caption | s::SysMenu).name("BIG").place(2, 0, 0, 5000, 4000);
  d.endList();
  auto window = openWindowFromBytes(d.bytes, 0);
  EXPECT_LT(window->geometry(0), 0);
  EXPECT_LT(window->geometry(1), 0);
  EXPECT_EQ(window->geometry(2), 5000);
}

TEST_F(Loader, ShowModeMinusOneUsesTheInitialShowState) {
  DefinitionBytes shown;
  shown.window().op(wd::ShowState).i32(1).endList();
  EXPECT_TRUE(openWindowFromBytes(shown.bytes, -1)->visible());
  DefinitionBytes hidden;
  hidden.window("OTHER").op(wd::ShowState).i32(1).endList();
  EXPECT_FALSE(openWindowFromBytes(hidden.bytes, 0)->visible());
}

TEST_F(Loader, UnknownOperationCode) {
  DefinitionBytes d;
  d.window().op(999).endList();
  expectFault(d.bytes, "未定義のリソーススクリプト 3E7"_sj);
}

TEST_F(Loader, PlacementOutsideZeroToThree) {
  DefinitionBytes d;
  d.header().create(0, s::Caption).name("BAD").place(4, 0, 0, 100, 100).endList();
  expectFault(d.bytes, "__WINDOWSIZE:無効なウィンドウの位置 4"_sj);
}

TEST_F(Loader, NameOf22Bytes) {
  DefinitionBytes ok;
  ok.window().beginControls().create(3, kControl).name("ABCDEFGHIJKLMNOPQRSTU").endList().endList();
  EXPECT_NO_THROW(openWindowFromBytes(ok.bytes, 0));
  resetForTests();

  DefinitionBytes d;
  d.window().beginControls().create(3, kControl).name("ABCDEFGHIJKLMNOPQRSTUV").endList().endList();
  expectFault(d.bytes, "__CONTROLNAME:無効なコントロールID ABCDEFGHIJKLMNOPQRSTUV"_sj);
}

TEST_F(Loader, EventNumberAndProcedureName) {
  DefinitionBytes badNumber;
  badNumber.window().events({{21, "TESTFORM_X"}}).endList();
  expectFault(badNumber.bytes, "__EVENT:無効なイベントID 79"_sj);

  DefinitionBytes longName;
  longName.window().events({{3, Str(29, 'P')}}).endList();
  expectFault(longName.bytes, "__EVENT:無効なイベントID 67"_sj);
}

TEST_F(Loader, RecordsThatDoNotFitTheObject) {
  DefinitionBytes badColour;
  badColour.window().op(wd::BackColourIndex).i16(16).endList();
  expectFault(badColour.bytes, "__BACKCOLOR:無効なカラーコード 10"_sj);

  DefinitionBytes badRgb;
  badRgb.window().beginControls().create(8, kControl).op(wd::ControlTextRgb).i32(0x1000000);
  badRgb.endList().endList();
  expectFault(badRgb.bytes, "__TEXTCOLOR:無効なカラーコード 1000000"_sj);

  DefinitionBytes badIme;
  badIme.window().beginControls().create(7, kControl).op(wd::ImeMode).i32(9).endList().endList();
  expectFault(badIme.bytes, "__IMEMODE3:無効なIMEモード 9"_sj);

  DefinitionBytes imeOnButton;
  imeOnButton.window().beginControls().create(3, kControl).op(wd::ImeMode).i32(1);
  imeOnButton.endList().endList();
  expectFault(imeOnButton.bytes, "__IMEMODE3:無効なコントロールID 3"_sj);

  DefinitionBytes longFace;
  longFace.window().font(Str(32, 'F'), 12, false).endList();
  expectFault(longFace.bytes, "__FONTX:無効なフォント名 "_sj + Str(32, 'F'));

  DefinitionBytes badType;
  badType.window().beginControls().create(2, kControl).endList().endList();
  expectFault(badType.bytes, "__CREATE3:無効なウィンドウタイプ 2"_sj);

  DefinitionBytes badScale;
  badScale.window().op(wd::ScaleMode).i16(7).endList();
  expectFault(badScale.bytes, "__MAPMODE:無効なマッピングモード 7"_sj);
}

TEST_F(Loader, BadHeader) {
  DefinitionBytes d;
  d.window().endList();
  d.bytes[4] = 2;  // second version number
  expectFault(d.bytes, "未定義のリソーススクリプト 2"_sj);
}

// Every prefix of a good definition is a fault, never a read past the end.
TEST_F(Loader, TruncatedStreamAtEveryLength) {
  DefinitionBytes d;
  d.window().font("ＭＳ ゴシック"_sj, 16, false).events({{3, "TESTFORM_START"}}).beginControls();
  d.create(7, kControl | s::EsMultiline).name("EDIT1").place(0, 1, 2, 3, 4).endList().endList();
  ASSERT_NO_THROW(openWindowFromBytes(d.bytes, 0));
  resetForTests();
  for (size_t n = 0; n < d.bytes.size(); ++n) {
    SCOPED_TRACE(n);
    std::vector<uint8_t> cut(d.bytes.begin(), d.bytes.begin() + long(n));
    ScriptedResponder answers;
    EXPECT_THROW(
        {
          try {
            openWindowFromBytes(cut, 0);
          } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number(), err::DefinitionFaulty);
            throw;
          }
        },
        RuntimeError);
    EXPECT_EQ(answers.messages.size(), 1u);
    EXPECT_TRUE(internal::openWindows().empty());
  }
  // Cut between records: the stream ends before its list is closed.
  std::vector<uint8_t> cut(d.bytes.begin(), d.bytes.end() - 2);
  expectFault(cut, "未定義のリソーススクリプト 0"_sj);
}

// Random byte changes to a real definition: every result is either a window
// or error 1014 after exactly one box, never a crash, a read past the end or
// a window left behind.
TEST_F(Loader, MutatedDefinitionsNeverCrash) {
  auto original = internal::definitionResource("FORM2");
  ASSERT_TRUE(original.has_value());
  std::mt19937 random(20240611);
  int built = 0, faulty = 0;
  for (int round = 0; round < 600; ++round) {
    SCOPED_TRACE(round);
    std::vector<uint8_t> bytes = *original;
    int changes = 1 + int(random() % 4);
    for (int i = 0; i < changes; ++i)
      bytes[random() % bytes.size()] = uint8_t(random() & 0xFF);
    if (round % 10 == 9) bytes.resize(random() % bytes.size());
    ScriptedResponder answers;
    try {
      auto window = openWindowFromBytes(bytes, 0);
      ++built;
      EXPECT_TRUE(answers.messages.empty());
      EXPECT_GE(window->geometry(2), 0);
      EXPECT_GE(window->geometry(3), 0);
    } catch (const RuntimeError& e) {
      ++faulty;
      EXPECT_EQ(e.number(), err::DefinitionFaulty);
      ASSERT_EQ(answers.messages.size(), 1u);
      EXPECT_EQ(answers.messages[0].title, "DazuVudive");
      EXPECT_TRUE(internal::openWindows().empty());
    }
    resetForTests();
  }
  // Both outcomes were exercised.
  EXPECT_GT(built, 0);
  EXPECT_GT(faulty, 0);
}

// Sizes no screen can hold: the window is built at a bounded size with a
// usable picture, instead of a picture of gigabytes (or none at all) and an
// overflow in the frame arithmetic.
TEST_F(Loader, AbsurdWindowSizesAreBounded) {
  for (int64_t size : {int64_t(0x7FFFFFFF), int64_t(-0x7FFFFFFF - 1), int64_t(100000), int64_t(-5)}) {
    SCOPED_TRACE(size);
    DefinitionBytes d;
    d.header().create(0, s::Caption | s::SysMenu).name("HUGE").place(0, 0, 0, 0, 0);
    d.bytes.resize(d.bytes.size() - 8);
    d.i32(size).i32(size).endList();
    auto window = openWindowFromBytes(d.bytes, 0);
    for (int item : {2, 3}) {
      EXPECT_GE(window->geometry(item), 0);
      EXPECT_LE(window->geometry(item), 8192);
    }
    window->surface().clear();
    EXPECT_EQ(window->picturePixel(0, 0), 0xFFFFFFu);
    // A resize asking for as much is held the same way.
    window->resize(0x7FFFFFFF, 0x7FFFFFFF);
    EXPECT_LE(window->geometry(2), 8192);
    resetForTests();
  }
}

// The picture is made on first use, so a window resized before anything was
// drawn must still hold the picture it would have held from the start: the
// first area in the first back colour, the added strip in the back colour
// of the moment it was added.
TEST_F(Loader, PictureResizedBeforeAnyDrawingKeepsItsColours) {
  for (bool recoloured : {false, true}) {
    SCOPED_TRACE(recoloured);
    DefinitionBytes d;
    d.window().beginControls().endList().endList();
    auto window = openWindowFromBytes(d.bytes, 0);
    window->showInitialState();
    if (recoloured) window->surface().setBackColor(0x00FF00);
    window->resize(700, 500);
    EXPECT_EQ(window->picturePixel(1, 1), 0xFFFFFFu);
    EXPECT_EQ(window->picturePixel(500, 10), recoloured ? 0x00FF00u : 0xFFFFFFu);
    resetForTests();
  }
}

TEST_F(Loader, OpenWindowArgumentErrors) {
  auto number = [](auto&& f) {
    try {
      f();
    } catch (const RuntimeError& e) {
      return e.number();
    }
    return 0;
  };
  FormRef var;
  EXPECT_EQ(number([&] { openWindow(var, "form3", 1); }), err::InvalidArgument);
  EXPECT_EQ(number([&] { openWindow(var, Str(22, 'F'), 0); }), err::InvalidArgument);
  EXPECT_EQ(number([&] { openWindow(var, "NOSUCHFORM", 0); }), err::DefinitionMissing);
  EXPECT_TRUE(var.empty());
  EXPECT_EQ(number([&] { *var; }), err::NoObject);
}

}  // namespace
}  // namespace fw
