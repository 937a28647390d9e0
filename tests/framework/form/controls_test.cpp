// Control properties and the errors of object operations.
#include <gtest/gtest.h>

#include <QImage>
#include <functional>

#include "framework/core/error.h"
#include "framework/form/events.h"
#include "framework/form/program.h"
#include "framework/form/responder.h"
#include "framework/form/testing.h"
#include "framework/form/window.h"
#include "tests/support/error_of.h"
#include "tests/support/temp_dir.h"

namespace fw {
namespace {

using namespace fw::literals;

using tessivo::test::errorOf;

class Controls : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(initForTests()); }
  void TearDown() override {
    resetForTests();
    unregisterAllProcedures();
  }
  ScriptedResponder answers;
};

TEST_F(Controls, WrongKindAndUnknownName) {
  EXPECT_EQ(errorOf([] { ctl("EDIT1").setValue(1); }), err::WrongKind);
  EXPECT_EQ(errorOf([] { ctl("BUTTON1").itemText(0); }), err::WrongKind);
  EXPECT_EQ(errorOf([] { ctl("COMBO1").readOnly(); }), err::WrongKind);
  EXPECT_EQ(errorOf([] { ctl("EDIT999"); }), err::ControlNotFound);
  EXPECT_EQ(errorOf([] { ctl("CHECK1").setValue(2); }), err::InvalidArgument);
  EXPECT_EQ(errorOf([] { ctl("EDIT1").setImeMode(9); }), err::InvalidArgument);
  EXPECT_EQ(errorOf([] { ctl("EDIT1").setImeMode(3); }), 0);
  EXPECT_EQ(ctl("EDIT1").imeMode(), 3);
}

TEST_F(Controls, ListItemsAtTheBoundaries) {
  Control& combo = ctl("COMBO3");
  EXPECT_EQ(combo.itemText(0), "");  // an empty list gives an empty text
  EXPECT_EQ(combo.itemText(5), "");
  combo.addItem(" ");
  combo.addItem("田中"_sj);
  EXPECT_EQ(combo.itemCount(), 2);
  EXPECT_EQ(combo.itemText(1), "田中"_sj);
  EXPECT_EQ(errorOf([&] { combo.itemText(2); }), err::Subscript);
  EXPECT_EQ(errorOf([&] { combo.itemText(-1); }), err::Subscript);
  EXPECT_EQ(errorOf([&] { combo.setSelectedIndex(2); }), err::ComboRefused);
  combo.setSelectedIndex(1);
  EXPECT_EQ(combo.text(), "田中"_sj);
  combo.setSelectedIndex(-1);
  EXPECT_EQ(combo.selectedIndex(), -1);
  EXPECT_EQ(combo.text(), "");
  combo.clearItems();
  EXPECT_EQ(combo.itemCount(), 0);

  FormRef form6;
  openWindow(form6, "form6", 0);
  Control& list = form6->control("LIST2");
  list.addItem("a");
  EXPECT_EQ(errorOf([&] { list.setSelectedIndex(1); }), err::ListRefused);
  EXPECT_EQ(errorOf([&] { list.itemSelected(1); }), err::Subscript);
}

// Item by item selection belongs to the multiple-selection list: LIST3 takes
// it for one item or, with -1, for all; the single-selection LIST2 refuses it
// (1016) instead of quietly changing its one selection.
TEST_F(Controls, ItemSelectionOnlyInAMultipleSelectionList) {
  FormRef form8, form6;
  openWindow(form8, "form8", 0);
  Control& multiple = form8->control("LIST3");
  for (const char* item : {"a", "b", "c"}) multiple.addItem(item);
  multiple.setItemSelected(0, true);
  multiple.setItemSelected(2, true);
  EXPECT_TRUE(multiple.itemSelected(0));
  EXPECT_FALSE(multiple.itemSelected(1));
  EXPECT_TRUE(multiple.itemSelected(2));
  multiple.setItemSelected(-1, false);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(multiple.itemSelected(i));
  multiple.setItemSelected(-1, true);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(multiple.itemSelected(i));
  EXPECT_EQ(errorOf([&] { multiple.setItemSelected(3, true); }), err::ListRefused);
  EXPECT_EQ(errorOf([&] { multiple.setItemSelected(-2, false); }), err::ListRefused);

  openWindow(form6, "form6", 0);
  Control& single = form6->control("LIST2");
  single.addItem("a");
  single.addItem("b");
  single.setSelectedIndex(0);
  EXPECT_EQ(errorOf([&] { single.setItemSelected(1, true); }), err::ListRefused);
  EXPECT_EQ(errorOf([&] { single.setItemSelected(-1, false); }), err::ListRefused);
  EXPECT_EQ(single.selectedIndex(), 0);
  EXPECT_TRUE(single.itemSelected(0));  // reading works on any list
}

TEST_F(Controls, RadioButtonsOfAWindowAreOneGroup) {
  FormRef form7;
  openWindow(form7, "form7", 0);
  Control& gothic = form7->control("RADIO1");
  Control& mincho = form7->control("RADIO2");
  testing::click(gothic);
  EXPECT_EQ(gothic.value(), 1);
  testing::click(mincho);
  EXPECT_EQ(gothic.value(), 0);
  EXPECT_EQ(mincho.value(), 1);
  // The program may clear the checked one, leaving none checked.
  mincho.setValue(0);
  EXPECT_EQ(mincho.value(), 0);
  gothic.setValue(1);
  EXPECT_EQ(gothic.value(), 1);
}

TEST_F(Controls, EditSelectionCountsBytes) {
  Control& edit = ctl("EDIT8");
  edit.setText("山田X"_sj);  // 2 + 2 + 1 bytes
  edit.setSelection(2, 4, true);
  testing::typeText(edit, "川"_sj);  // replaces the selected character
  EXPECT_EQ(edit.text(), "山川X"_sj);
  edit.setSelection(0, -1, true);
  testing::typeText(edit, "Z");
  EXPECT_EQ(edit.text(), "Z");
}

TEST_F(Controls, ReadOnlyEditIgnoresTyping) {
  FormRef form8;
  openWindow(form8, "form8", 0);
  Control& edit = form8->control("EDIT99");
  edit.setText("message");
  testing::typeText(edit, "x\r\n");
  EXPECT_EQ(edit.text(), "message");
}

}  // namespace
}  // namespace fw

namespace fw {
namespace {

// Dark pixels inside a control's rectangle on a screenshot of its window.
int darkPixelsIn(Window& window, Control& control) {
  tessivo::test::TempDir pictures;
  const std::string png = pictures.file("controls-visible.png");
  EXPECT_TRUE(window.saveScreenshot(png));
  QImage shot(QString::fromStdString(png));
  int dark = 0;
  for (int y = control.y() + 3; y < control.y() + control.height() - 3; ++y)
    for (int x = control.x() + 3; x < control.x() + control.width() - 3; ++x)
      if (qGray(shot.pixel(x, y)) < 100) ++dark;
  return dark;
}

TEST_F(Controls, CommittedTextInALargeFontStaysInView) {
  // The start code gives EDIT1 24 points in a 32-pixel box; the Enter that
  // commits it moves the caret to a second line before the program puts the
  // cleaned text back.
  Control& box = ctl("EDIT1");
  box.setFontSize(24);
  mainWindow().setVisible(true);
  testing::typeText(box, "12\r\n");
  box.setText("12");
  EXPECT_GT(darkPixelsIn(mainWindow(), box), 20);
}

}  // namespace
}  // namespace fw
