// How controls look on screen, measured on pictures of their windows: the
// colours, edges and text placement the window definitions ask for.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QImage>
#include <QListWidget>
#include <QScrollBar>
#include <QWidget>
#include <string>
#include <vector>

#include "framework/form/events.h"
#include "framework/form/internal/form_objects.h"
#include "framework/form/program.h"
#include "framework/form/responder.h"
#include "framework/form/window.h"

namespace fw {
namespace {

using namespace fw::literals;

class ControlPictures : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(initForTests()); }
  void TearDown() override {
    resetForTests();
    unregisterAllProcedures();
  }

  static QImage picture(Window& window) {
    window.setVisible(true);
    QWidget* widget = static_cast<internal::WindowImpl&>(window).widget();
    widget->ensurePolished();
    return widget->grab().toImage();
  }
  // "#rrggbb": failures then name the colour found.
  static std::string at(const QImage& image, int x, int y) {
    return image.pixelColor(x, y).name().toStdString();
  }

  ScriptedResponder answers;
};

const std::string kControlBackground = "#f1f6fa";  // RGB 241, 246, 250

// Beside their box or circle and their caption, check boxes and option
// buttons show the background of their definition, not Qt's button grey.
TEST_F(ControlPictures, CheckBoxesAndOptionButtonsShowTheirDefinedBackground) {
  {
    const QImage main = picture(mainWindow());
    EXPECT_EQ(at(main, 133 + 250, 343 + 10), kControlBackground) << "CHECK12 beyond its caption";
    EXPECT_EQ(at(main, 413 + 20, 133 + 20), kControlBackground) << "CHECK1's corner";
    EXPECT_EQ(at(main, 56 + 20, 483 + 1), kControlBackground) << "CHECK7's corner";
  }
  for (const char* name : {"form7", "form9"}) {
    SCOPED_TRACE(name);
    FormRef form;
    openWindow(form, name, 0);
    const QImage image = picture(*form);
    // RADIO1 / RADIO3 start at (28, 21); their right end is caption-free.
    const int right = std::string(name) == "form7" ? 28 + 180 : 28 + 96;
    EXPECT_EQ(at(image, right, 21 + 10), kControlBackground);
    EXPECT_EQ(at(image, right, 56 + 10), kControlBackground);
  }
}

// A doctor line is its name and 41 blanks: wider than LIST2, it is cut at
// the box's right edge, and nothing but the name is drawn.
TEST_F(ControlPictures, ListLineWiderThanTheBoxIsCutNotElided) {
  FormRef form6;
  openWindow(form6, "form6", 0);
  Control& list = form6->control("LIST2");
  list.addItem("田中"_sj + Str(41, ' '));
  list.addItem(Str(60, 'W'));
  const QImage image = picture(*form6);
  auto darkIn = [&](int x1, int x2, int y1, int y2) {
    int n = 0;
    for (int y = y1; y <= y2; ++y)
      for (int x = x1; x <= x2; ++x) n += qGray(image.pixel(x, y)) < 128;
    return n;
  };
  const int left = list.x(), top = list.y(), right = list.x() + list.width() - 1;
  const int row = 20;  // 15 points of ＭＳ ゴシック
  EXPECT_GT(darkIn(left + 3, left + 60, top + 3, top + row), 20) << "the name";
  EXPECT_EQ(darkIn(left + 70, right - 4, top + 3, top + row - 2), 0) << "blanks only";
  // The long line reaches the right edge: cut there, not ended early by "…".
  EXPECT_GT(darkIn(right - 24, right - 4, top + row + 3, top + 2 * row - 2), 20);
}

// COMBO2 holds 17 request categories; its definition gives the opened list
// 252 pixels: the list opens below the box at that height, less what would
// show of a row cut at its bottom, and scrolls.
TEST_F(ControlPictures, OpenedDropDownListHasTheDefinedHeightAndScrolls) {
  mainWindow().setVisible(true);
  Control& control = ctl("COMBO2");
  for (int i = 0; i < 17; ++i) control.addItem(" " + std::to_string(i));
  auto* combo = static_cast<internal::ControlImpl&>(control).comboWidget();
  combo->showPopup();
  QWidget* popup = combo->view()->window();
  ASSERT_NE(popup, combo->window());
  ASSERT_TRUE(popup->isVisible());
  const QRect box(combo->mapToGlobal(QPoint(0, 0)), combo->size());
  const int row = combo->view()->visualRect(combo->model()->index(0, 0)).height();
  EXPECT_LE(popup->height(), 252);
  EXPECT_GT(popup->height(), 252 - row);
  EXPECT_EQ(combo->view()->viewport()->height() % row, 0) << "a row cut at the bottom";
  EXPECT_GE(popup->geometry().top(), box.bottom()) << "the list covers the box";
  EXPECT_TRUE(combo->view()->verticalScrollBar()->isVisible());
  combo->hidePopup();
}

// List boxes show whole rows: LIST3's 620 pixels would cut its last row in
// half. Each list is made shorter than its definition by less than a row,
// and its last visible row ends at the bottom of the area inside the frame.
TEST_F(ControlPictures, ListsShowWholeRowsOnly) {
  struct Case {
    const char* window;
    const char* list;
    int defined;
  };
  for (const Case& c : {Case{"form2", "LIST1", 532}, Case{"form6", "LIST2", 240},
                        Case{"form8", "LIST3", 620}}) {
    SCOPED_TRACE(c.list);
    FormRef form;
    openWindow(form, c.window, 0);
    Control& control = form->control(c.list);
    for (int i = 0; i < 100; ++i) control.addItem(" " + std::to_string(i));
    picture(*form);
    QListWidget* list = static_cast<internal::ControlImpl&>(control).listWidget();
    const int row = list->visualItemRect(list->item(0)).height();
    const int inside = list->viewport()->height();
    EXPECT_LE(control.height(), c.defined);
    EXPECT_GT(control.height(), c.defined - row);
    EXPECT_EQ(inside % row, 0) << inside << " pixels for rows of " << row;
    EXPECT_EQ(list->visualItemRect(list->item(inside / row - 1)).bottom(), inside - 1);
    // A run-time font of another size fits the box again.
    control.setFontSize(11);
    EXPECT_EQ(list->viewport()->height() % list->visualItemRect(list->item(0)).height(), 0);
  }
}

// Where the dark pixels of a control's text start, measured from the
// control's top-left corner inside its frame; (-1, -1) when there are none.
QPoint inkStart(const QImage& image, Control& c, int frame) {
  int top = -1, left = -1;
  for (int y = c.y() + frame; y < c.y() + c.height() - frame; ++y)
    for (int x = c.x() + frame; x < c.x() + c.width() - frame; ++x)
      if (qGray(image.pixel(x, y)) < 128) {
        if (top < 0) top = y - c.y();
        if (left < 0 || x - c.x() < left) left = x - c.x();
      }
  return {left, top};
}

// FORM4's 68 boxes: single-line ones and the multi-line EDIT78, fonts of 11
// and 12 points. A value starts at the same place in every one of them,
// clear of the frame as in a Windows edit box.
TEST_F(ControlPictures, EditValuesStartAtTheSamePlaceInEveryBox) {
  FormRef form4;
  openWindow(form4, "form4", 0);
  std::vector<Control*> boxes;
  for (int i = 0; i < form4->controlCount(); ++i)
    if (form4->controlAt(i).kind() == Kind::Edit) boxes.push_back(&form4->controlAt(i));
  ASSERT_EQ(boxes.size(), 68u);
  for (Control* box : boxes) box->setText("-1.5");
  const QImage image = picture(*form4);
  const QPoint first = inkStart(image, *boxes.front(), 2);
  EXPECT_GE(first.y(), 3) << "the value touches the top edge";
  EXPECT_GE(first.x(), 3) << "the value touches the left edge";
  for (Control* box : boxes) {
    SCOPED_TRACE(box->name());
    const QPoint start = inkStart(image, *box, 2);
    EXPECT_EQ(start.y(), first.y());
    EXPECT_EQ(start.x(), first.x());
  }
}

// Edit and list boxes carry the sunken client edge of their definitions:
// grey and white outside, dark grey and light grey inside; a box whose
// definition adds the thin border has it around that.
TEST_F(ControlPictures, EditAndListBoxesHaveTheSunkenClientEdge) {
  auto expectEdge = [](const QImage& image, Control& c, int border) {
    SCOPED_TRACE(c.name());
    const int x = c.x() + c.width() / 2, top = c.y(), bottom = c.y() + c.height() - 1;
    if (border) {
      EXPECT_EQ(at(image, x, top), "#646464");
      EXPECT_EQ(at(image, x, bottom), "#646464");
    }
    EXPECT_EQ(at(image, x, top + border), "#a0a0a0");
    EXPECT_EQ(at(image, x, top + border + 1), "#696969");
    EXPECT_EQ(at(image, x, bottom - border), "#ffffff");
    EXPECT_EQ(at(image, x, bottom - border - 1), "#e3e3e3");
    const int left = c.x(), y = c.y() + c.height() / 2;
    EXPECT_EQ(at(image, left + border, y), "#a0a0a0");
    EXPECT_EQ(at(image, left + border + 1, y), "#696969");
  };
  const QImage main = picture(mainWindow());
  expectEdge(main, ctl("EDIT1"), 0);   // multi-line
  expectEdge(main, ctl("EDIT98"), 0);
  FormRef form6, form4;
  openWindow(form6, "form6", 0);
  const QImage image6 = picture(*form6);
  expectEdge(image6, form6->control("LIST2"), 1);
  expectEdge(image6, form6->control("EDIT96"), 1);
  openWindow(form4, "form4", 0);
  expectEdge(picture(*form4), form4->control("EDIT25"), 0);  // single-line
}

// A control disabled on its own shows grey text (Win32's COLOR_GRAYTEXT);
// a disabled window (the main window behind a sub-window, the history window
// while it prints) takes no input but looks as it did.
TEST_F(ControlPictures, DisabledControlsGreyTheirTextButADisabledWindowDoesNot) {
  FormRef form2;
  openWindow(form2, "form2", 0);
  Control& list = form2->control("LIST1");
  for (int i = 0; i < 3; ++i) list.addItem("  1  山田　太郎"_sj);
  Control& combo = form2->control("COMBO4");
  combo.addItem(" 888"_sj);
  combo.setSelectedIndex(0);
  const char* names[] = {"BUTTON11", "LIST1", "COMBO4"};
  auto count = [](const QImage& image, Control& c, auto&& colourTest) {
    int n = 0;
    for (int y = c.y(); y < c.y() + std::min(c.height(), 60); ++y)
      for (int x = c.x(); x < c.x() + c.width(); ++x) n += colourTest(image.pixelColor(x, y));
    return n;
  };
  auto black = [](const QColor& c) { return qGray(c.rgb()) < 60; };
  auto grey = [](const QColor& c) { return c == QColor(109, 109, 109); };

  const QImage enabled = picture(*form2);
  form2->setEnabled(false);
  EXPECT_TRUE(picture(*form2) == enabled) << "the disabled window's controls changed their look";
  form2->setEnabled(true);

  for (const char* name : names) form2->control(name).setEnabled(false);
  const QImage disabled = picture(*form2);
  for (const char* name : names) {
    SCOPED_TRACE(name);
    Control& c = form2->control(name);
    EXPECT_GT(count(enabled, c, black), 5) << "no text in the enabled control";
    EXPECT_EQ(count(disabled, c, black), 0);
    EXPECT_GT(count(disabled, c, grey), 1);
  }
  for (const char* name : names) form2->control(name).setEnabled(true);
  EXPECT_TRUE(picture(*form2) == enabled) << "enabled again, the controls look as before";
}

}  // namespace
}  // namespace fw
