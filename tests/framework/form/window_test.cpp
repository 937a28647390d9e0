// The eight windows of the program as their definitions build them,
// checked against the catalogue of windows by hand-copied rows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QScreen>
#include <QWindow>
#include <functional>
#include <map>

#include "framework/core/error.h"
#include "framework/core/wd_format.h"
#include "framework/form/events.h"
#include "framework/form/internal/form_objects.h"
#include "framework/form/program.h"
#include "framework/form/responder.h"
#include "framework/form/testing.h"
#include "framework/form/window.h"
#include "tests/support/temp_dir.h"

namespace fw {
namespace {

using namespace fw::literals;

class Windows : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(initForTests()); }
  void TearDown() override { resetForTests(); }

  ScriptedResponder answers;  // a stray box is recorded, never waited for

  static std::map<Kind, int> countKinds(Window& w) {
    std::map<Kind, int> n;
    for (int i = 0; i < w.controlCount(); ++i) ++n[w.controlAt(i).kind()];
    return n;
  }
};

struct Row {
  const char* name;
  Kind kind;
  const char* captionUtf8;
  int x, y, width, height;
  const char* faceUtf8;
  int size;
  bool bold;
};

void expectRow(Window& w, const Row& r) {
  SCOPED_TRACE(r.name);
  Control& c = w.control(r.name);
  EXPECT_EQ(c.kind(), r.kind);
  if (r.kind != Kind::List) {
    EXPECT_EQ(c.text(), sj(r.captionUtf8));
  }
  EXPECT_EQ(c.x(), r.x);
  EXPECT_EQ(c.y(), r.y);
  EXPECT_EQ(c.width(), r.width);
  if (r.kind == Kind::List) {
    // Shorter by what would show of a row cut at the bottom (less than one
    // row of these fonts, 12 to 24 pixels).
    EXPECT_LE(c.height(), r.height);
    EXPECT_GT(c.height(), r.height - 24);
  } else {
    EXPECT_EQ(c.height(), r.height);
  }
  EXPECT_EQ(c.fontName(), sj(r.faceUtf8));
  EXPECT_EQ(c.fontSize(), float(r.size));
  EXPECT_EQ(c.fontBold(), r.bold);
}

constexpr const char* G = "ＭＳ ゴシック";
constexpr const char* PG = "ＭＳ Ｐゴシック";
constexpr const char* M = "ＭＳ 明朝";

TEST_F(Windows, MainForm) {
  Window& w = mainWindow();
  EXPECT_EQ(w.caption(), "Tessivo");
  EXPECT_EQ(w.geometry(2), 1190);
  EXPECT_EQ(w.geometry(3), 1000);
  EXPECT_EQ(w.controlCount(), 87);
  auto n = countKinds(w);
  EXPECT_EQ(n[Kind::Button], 15);
  EXPECT_EQ(n[Kind::Edit], 24);
  EXPECT_EQ(n[Kind::Check], 13);
  EXPECT_EQ(n[Kind::Label], 32);
  EXPECT_EQ(n[Kind::Combo], 3);
  for (const Row& r : {
           Row{"BUTTON1", Kind::Button, "登 録", 581, 854, 161, 91, G, 20, false},
           Row{"BUTTON3", Kind::Button, "終 了", 980, 889, 175, 56, G, 18, true},
           Row{"EDIT1", Kind::Edit, "", 1001, 42, 140, 32, PG, 12, false},
           Row{"CHECK1", Kind::Check, "  A.M.", 413, 133, 21, 21, G, 18, false},
           Row{"COMBO1", Kind::Combo, "", 581, 196, 77, 182, G, 17, true},
           Row{"EDIT14", Kind::Edit, "", 931, 315, 217, 24, G, 12, false},
           Row{"TEXT9", Kind::Label, "殿", 448, 238, 49, 28, G, 21, false},
           Row{"TEXT27", Kind::Label, "３. ミネソタコード", 84, 567, 196, 21, G, 15, true},
           Row{"CHECK12", Kind::Check, "病医院名をデフォルトで表示する", 133, 343, 252, 21, G, 10,
               false},
           Row{"COMBO3", Kind::Combo, "", 931, 343, 217, 194, G, 13, false},
           Row{"EDIT98", Kind::Edit, "", 28, 735, 1127, 28, PG, 12, false},
           Row{"TEXT140", Kind::Label, "Memo(ここは心電図カルテに印刷されません):", 35, 707, 602,
               21, G, 17, false},
           Row{"BUTTON42", Kind::Button, "カラー", 469, 917, 84, 29, G, 11, true},
       })
    expectRow(w, r);
  // Objects for the program only, never shown.
  for (const char* name : {"TEXT25", "TEXT26", "CHECK13"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(w.control(name).visible());
    EXPECT_FALSE(w.control(name).enabled());
  }
  EXPECT_TRUE(w.control("TEXT27").visible());
  // Caption, system menu with close box, minimise box; fixed size.
  auto* widget = static_cast<internal::WindowImpl&>(w).widget();
  EXPECT_TRUE(widget->windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_TRUE(widget->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(widget->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_EQ(widget->minimumSize(), widget->maximumSize());
  // A control found by its name in lower case.
  EXPECT_EQ(&ctl("edit1"), &ctl("EDIT1"));
}

TEST_F(Windows, Form2) {
  FormRef f;
  openWindow(f, "form2", 0);
  EXPECT_EQ(f->controlCount(), 20);
  auto n = countKinds(*f);
  EXPECT_EQ(n[Kind::List], 1);
  EXPECT_EQ(n[Kind::Button], 8);
  EXPECT_EQ(n[Kind::Edit], 2);
  EXPECT_EQ(n[Kind::Combo], 3);
  EXPECT_EQ(n[Kind::Label], 6);
  expectRow(*f, {"LIST1", Kind::List, "", 28, 112, 1160, 532, G, 18, false});
  expectRow(*f, {"EDIT24", Kind::Edit, "", 28, 658, 1162, 70, M, 15, true});
  expectRow(*f, {"BUTTON27", Kind::Button, "カルテ番号で検索", 252, 735, 154, 63, G, 11, true});
  expectRow(*f, {"COMBO5", Kind::Combo, "", 847, 854, 90, 562, G, 17, false});
  expectRow(*f, {"TEXT139", Kind::Label, "行", 1162, 42, 40, 24, G, 14, true});
  EXPECT_TRUE(f->control("EDIT24").readOnly());
  EXPECT_TRUE(f->control("EDIT97").readOnly());
  EXPECT_FALSE(f->control("LIST1").style() & wd::style::LbsMultipleSel);
  // Centred, 1225 x 950: on a smaller screen the corner is off the screen.
  EXPECT_EQ(f->geometry(2), 1225);
  EXPECT_EQ(f->geometry(3), 950);
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(f->geometry(0), screen.x() + (screen.width() - 1225) / 2);
  EXPECT_EQ(f->geometry(1), screen.y() + (screen.height() - 950) / 2);
  if (screen.width() < 1225) {
    EXPECT_LT(f->geometry(0), 0);
  }
}

TEST_F(Windows, Form3AndSmallDialogs) {
  FormRef f3, f6, f7, f9;
  openWindow(f3, "form3", 0);
  EXPECT_EQ(f3->caption(), "登 録"_sj);
  EXPECT_EQ(f3->geometry(0), 322);
  EXPECT_EQ(f3->geometry(1), 391);
  EXPECT_EQ(f3->geometry(2), 656);
  EXPECT_EQ(f3->geometry(3), 260);
  EXPECT_EQ(f3->controlCount(), 3);
  expectRow(*f3, {"BUTTON14", Kind::Button, "キャンセル", 448, 147, 182, 63, G, 15, true});
  auto* widget = static_cast<internal::WindowImpl&>(*f3).widget();
  EXPECT_FALSE(widget->windowFlags() & Qt::WindowCloseButtonHint);

  openWindow(f6, "form6", 0);
  EXPECT_EQ(f6->controlCount(), 7);
  expectRow(*f6, {"LIST2", Kind::List, "", 18, 114, 318, 240, G, 15, false});
  expectRow(*f6, {"EDIT96", Kind::Edit, "", 18, 42, 318, 28, PG, 12, false});
  EXPECT_FALSE(f6->control("LIST2").style() & wd::style::LbsMultipleSel);

  openWindow(f7, "form7", 0);
  EXPECT_EQ(f7->geometry(0), 362);
  EXPECT_EQ(f7->geometry(1), 258);
  expectRow(*f7, {"RADIO2", Kind::Radio, " ＭＳ 明朝", 28, 56, 182, 21, G, 15, false});

  openWindow(f9, "form9", 0);
  EXPECT_EQ(f9->controlCount(), 3);
  expectRow(*f9, {"RADIO3", Kind::Radio, " 黒", 28, 21, 98, 21, G, 15, false});
  expectRow(*f9, {"BUTTON43", Kind::Button, "Ｏ Ｋ", 203, 49, 140, 49, G, 15, true});
}

TEST_F(Windows, Form4) {
  FormRef f;
  openWindow(f, "form4", 0);
  EXPECT_EQ(f->caption(), "印刷位置調整"_sj);
  auto n = countKinds(*f);
  EXPECT_EQ(n[Kind::Button], 3);
  EXPECT_EQ(n[Kind::Label], 34 + 68);
  EXPECT_EQ(n[Kind::Edit], 68);
  expectRow(*f, {"BUTTON20", Kind::Button, "登　録", 203, 658, 280, 70, G, 18, false});
  expectRow(*f, {"TEXT31", Kind::Label, "番　号：", 35, 56, 63, 14, G, 11, false});
  expectRow(*f, {"TEXT32", Kind::Label, "タテ", 112, 56, 42, 14, G, 11, false});
  expectRow(*f, {"EDIT25", Kind::Edit, "", 154, 49, 56, 21, G, 12, false});
  expectRow(*f, {"TEXT79", Kind::Label, "病医院名：", 35, 504, 77, 14, G, 11, false});
  expectRow(*f, {"EDIT92", Kind::Edit, "", 644, 385, 56, 21, G, 12, false});
  EXPECT_EQ(f->control("EDIT25").imeMode(), 7);
  EXPECT_EQ(f->control("EDIT58").imeMode(), 6);
  EXPECT_EQ(f->control("EDIT78").imeMode(), 0);
  EXPECT_TRUE(f->control("EDIT78").style() & wd::style::EsMultiline);
  EXPECT_FALSE(f->control("EDIT77").style() & wd::style::EsMultiline);
}

TEST_F(Windows, Form8) {
  FormRef f;
  openWindow(f, "form8", 0);
  EXPECT_EQ(f->caption(), "複数印刷"_sj);
  EXPECT_EQ(f->controlCount(), 8);
  expectRow(*f, {"LIST3", Kind::List, "", 28, 112, 1160, 620, G, 18, false});
  expectRow(*f, {"EDIT99", Kind::Edit, "", 28, 749, 1162, 56, G, 18, false});
  EXPECT_TRUE(f->control("LIST3").style() & wd::style::LbsMultipleSel);
  EXPECT_TRUE(f->control("EDIT99").readOnly());
  // Each click toggles an item of the multiple-selection list.
  Control& list = f->control("LIST3");
  for (const char* item : {"a", "b", "c"}) list.addItem(item);
  f->setVisible(true);
  testing::selectItem(list, 0);
  testing::selectItem(list, 2);
  EXPECT_TRUE(list.itemSelected(0));
  EXPECT_FALSE(list.itemSelected(1));
  EXPECT_TRUE(list.itemSelected(2));
  testing::selectItem(list, 0);
  EXPECT_FALSE(list.itemSelected(0));
}

// MAINFORM, FORM2 and FORM8: caption, system menu with close box and
// minimise box, fixed size. The others: a caption and nothing else, so the
// close box and the minimise bit of FORM4 are not there to use.
TEST_F(Windows, FramesOfTheProgramsWindows) {
  struct Frame {
    const char* name;
    bool closeAndMinimise;
  };
  for (Frame f : {Frame{"MAINFORM", true}, Frame{"FORM2", true}, Frame{"FORM8", true},
                  Frame{"FORM3", false}, Frame{"FORM4", false}, Frame{"FORM6", false},
                  Frame{"FORM7", false}, Frame{"FORM9", false}, Frame{"FORM10", false}}) {
    SCOPED_TRACE(f.name);
    FormRef var;
    if (Str(f.name) == "MAINFORM")
      bindWindow(var, mainWindow());
    else
      openWindow(var, f.name, 0);
    Qt::WindowFlags flags = static_cast<internal::WindowImpl&>(*var).widget()->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
    EXPECT_EQ(bool(flags & Qt::WindowSystemMenuHint), f.closeAndMinimise);
    EXPECT_EQ(bool(flags & Qt::WindowCloseButtonHint), f.closeAndMinimise);
    EXPECT_EQ(bool(flags & Qt::WindowMinimizeButtonHint), f.closeAndMinimise);
    EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(var->style() & wd::style::ThickFrame);
    QWidget* widget = static_cast<internal::WindowImpl&>(*var).widget();
    EXPECT_EQ(widget->minimumSize(), widget->maximumSize());
  }
}

// Greying the Close command takes the close box away, keeps the minimise
// box, and survives top-most on and off (which rebuild the frame).
TEST_F(Windows, DisabledCloseCommandSurvivesTopMost) {
  FormRef f;
  openWindow(f, "form2", 0);
  f->setVisible(true);
  f->disableCloseCommand();
  auto* widget = static_cast<internal::WindowImpl&>(*f).widget();
  for (bool topMost : {true, false}) {
    SCOPED_TRACE(topMost);
    f->setTopMost(topMost);
    EXPECT_EQ(bool(widget->windowFlags() & Qt::WindowStaysOnTopHint), topMost);
    EXPECT_FALSE(widget->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(widget->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(f->visible());
    EXPECT_FALSE(f->closeCommandEnabled());
  }
}

// Every definition names the icon "ekg": each window carries it, and so do
// the dialogs of the program (through the application's icon).
TEST_F(Windows, EveryWindowCarriesTheIconOfItsDefinition) {
  const QImage ekg = QIcon(":/icons/ekg.png").pixmap(32, 32).toImage();
  ASSERT_FALSE(ekg.isNull());
  auto iconOf = [](Window& w) {
    return static_cast<internal::WindowImpl&>(w).widget()->windowIcon().pixmap(32, 32).toImage();
  };
  EXPECT_EQ(iconOf(mainWindow()), ekg);
  for (const char* name : {"FORM2", "FORM3", "FORM4", "FORM6", "FORM7", "FORM8", "FORM9",
                           "FORM10"}) {
    SCOPED_TRACE(name);
    FormRef f;
    openWindow(f, name, 0);
    EXPECT_EQ(iconOf(*f), ekg);
  }
  EXPECT_EQ(QApplication::windowIcon().pixmap(32, 32).toImage(), ekg);
}

// Counts the native windows a widget was given after it was first shown.
class NativeWindowChanges : public QObject {
 public:
  explicit NativeWindowChanges(QWidget* widget) { widget->installEventFilter(this); }
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::WinIdChange) ++count;
    return false;
  }
};

// Top-most on and off (the main window around every print) changes the
// window's hints only: its native window stays, so nothing flickers.
TEST_F(Windows, TopMostKeepsTheNativeWindow) {
  Window& main = mainWindow();
  main.setVisible(true);
  QWidget* widget = static_cast<internal::WindowImpl&>(main).widget();
  const QWindow* native = widget->windowHandle();
  NativeWindowChanges changes(widget);
  for (bool topMost : {false, true, false, true}) {
    SCOPED_TRACE(topMost);
    main.setTopMost(topMost);
    EXPECT_EQ(widget->windowHandle(), native);
    EXPECT_EQ(bool(widget->windowFlags() & Qt::WindowStaysOnTopHint), topMost);
    EXPECT_EQ(bool(widget->windowHandle()->flags() & Qt::WindowStaysOnTopHint), topMost);
    EXPECT_TRUE(main.visible());
  }
  EXPECT_EQ(changes.count, 0);
}

TEST_F(Windows, ScreenshotsOfAllEight) {
  tessivo::test::TempDir temp;
  const std::string dir = temp.path();
  ASSERT_TRUE(mainWindow().saveScreenshot(dir + "/MAINFORM.png"));
  for (const char* name : {"FORM2", "FORM3", "FORM4", "FORM6", "FORM7", "FORM8", "FORM9"}) {
    SCOPED_TRACE(name);
    FormRef f;
    openWindow(f, name, -1);
    EXPECT_TRUE(f->saveScreenshot(dir + "/" + name + ".png"));
  }
}

TEST_F(Windows, ClosedWindowAndItsControlsRaise1000) {
  FormRef f;
  openWindow(f, "form3", 0);
  Control& button = f->control("BUTTON12");
  Window& window = *f;
  closeWindow(f);
  EXPECT_FALSE(isOpen(f));
  EXPECT_TRUE(f.empty());
  for (auto op : std::initializer_list<std::function<void()>>{
           [&] { window.caption(); }, [&] { button.text(); }, [&] { *f; },
           [&] { closeWindow(f); }}) {
    try {
      op();
      ADD_FAILURE() << "no error";
    } catch (const RuntimeError& e) {
      EXPECT_EQ(e.number(), err::NoObject);
    }
  }
  // The variable may be opened again.
  openWindow(f, "form3", 0);
  EXPECT_TRUE(isOpen(f));
  try {
    openWindow(f, "form3", 0);
    ADD_FAILURE() << "opened twice";
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), err::AlreadyOpen);
  }
}

TEST_F(Windows, HourglassPointer) {
  mainWindow().setMousePointer(2);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  mainWindow().setMousePointer(2);
  mainWindow().setMousePointer(0);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace fw
