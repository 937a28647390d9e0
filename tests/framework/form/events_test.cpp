// Events from operator actions to event procedures: binding, queueing,
// delivery order and the close request.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QTimer>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "framework/core/error.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/internal/definition_loader.h"
#include "framework/form/internal/form_objects.h"
#include "framework/form/program.h"
#include "framework/form/responder.h"
#include "framework/form/testing.h"
#include "framework/form/trap.h"
#include "framework/form/window.h"
#include "tests/framework/form/definition_bytes.h"

namespace fw {
namespace {

using namespace fw::literals;

class Events : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(initForTests()); }
  void TearDown() override {
    resetForTests();
    unregisterAllProcedures();
  }

  // Registers a procedure that only records that it ran.
  void record(const Str& name) {
    registerProcedure(name, [this, name](EventArgs&) { log.push_back(name); });
  }

  std::vector<Str> log;
  ScriptedResponder answers;  // a stray box is recorded, never waited for
};

TEST_F(Events, UnboundEventRaisesNothing) {
  // MAINFORM's definition names MAINFORM_RESIZE; the program has no such procedure.
  Window& main = mainWindow();
  waitForEvents();
  main.resize(1000, 900);
  EXPECT_EQ(pendingEventCount(), 0);
  EXPECT_NO_THROW(waitForEvents());
  EXPECT_TRUE(log.empty());

  record("MAINFORM_RESIZE");
  main.resize(1100, 950);
  waitForEvents();
  EXPECT_EQ(log, std::vector<Str>{"MAINFORM_RESIZE"});
}

TEST_F(Events, CheckBoxClickRaisesOneOnWithTheNewValue) {
  std::vector<int> values;
  registerProcedure("CHECK1_ON", [&](EventArgs& a) {
    values.push_back(ctl("CHECK1").value());
    EXPECT_EQ(a.window, &mainWindow());
  });
  waitForEvents();
  testing::click(ctl("CHECK1"));
  EXPECT_EQ(pendingEventCount(), 1);
  waitForEvents();
  testing::click(ctl("CHECK1"));
  waitForEvents();
  EXPECT_EQ(values, (std::vector<int>{1, 0}));

  // A value set by the program raises nothing.
  ctl("CHECK1").setValue(1);
  EXPECT_EQ(pendingEventCount(), 0);
}

TEST_F(Events, ListSelectionRaisesChangeThenClickAndDoubleClickAfterThem) {
  FormRef form2;
  openWindow(form2, "form2", 0);
  form2->setVisible(true);
  Control& list = form2->control("LIST1");
  for (const char* item : {"one", "two", "three"}) list.addItem(item);
  record("LIST1_CHANGE");
  record("LIST1_CLICK");
  record("LIST1_DBLCLICK");
  waitForEvents();
  log.clear();

  testing::selectItem(list, 1);
  waitForEvents();
  EXPECT_EQ(log, (std::vector<Str>{"LIST1_CHANGE", "LIST1_CLICK"}));
  EXPECT_EQ(list.selectedIndex(), 1);

  log.clear();
  testing::doubleClickItem(list, 2);
  waitForEvents();
  EXPECT_EQ(log, (std::vector<Str>{"LIST1_CHANGE", "LIST1_CLICK", "LIST1_DBLCLICK"}));
  EXPECT_EQ(list.selectedIndex(), 2);

  // The program's own selection is not notified.
  log.clear();
  list.setSelectedIndex(0);
  list.setSelectedIndex(-1);
  waitForEvents();
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(list.selectedIndex(), -1);
}

TEST_F(Events, ComboChoiceRaisesClickThenChangeProgramChoiceNothing) {
  Control& combo = ctl("COMBO2");
  combo.addItem(" ");
  combo.addItem("A");
  EXPECT_EQ(combo.selectedIndex(), -1);  // adding selects nothing
  record("COMBO2_CHANGE");
  record("COMBO2_CLICK");
  waitForEvents();
  testing::selectItem(combo, 1);
  waitForEvents();
  EXPECT_EQ(log, (std::vector<Str>{"COMBO2_CLICK", "COMBO2_CHANGE"}));
  EXPECT_EQ(combo.text(), "A");

  log.clear();
  combo.setSelectedIndex(0);
  waitForEvents();
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(combo.selectedIndex(), 0);
}

TEST_F(Events, EditTextChangesRaiseChangeAndEnterIsCrLf) {
  Control& edit = ctl("EDIT1");
  std::vector<Str> seen;
  registerProcedure("EDIT1_CHANGE", [&](EventArgs&) { seen.push_back(ctl("EDIT1").text()); });
  waitForEvents();

  testing::typeText(edit, "123");
  testing::pressEnter(edit);
  waitForEvents();
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), "123\r\n");
  EXPECT_EQ(edit.text(), "123\r\n");

  // The program's text change is notified as well.
  seen.clear();
  edit.setText("a\r\nb");
  EXPECT_EQ(pendingEventCount(), 1);
  waitForEvents();
  EXPECT_EQ(seen, std::vector<Str>{"a\r\nb"});
  auto* widget = static_cast<internal::ControlImpl&>(edit).multiLineEdit();
  ASSERT_NE(widget, nullptr);
  EXPECT_EQ(widget->document()->blockCount(), 2);

  // Typing in the middle goes in at the caret.
  edit.setText("ab");
  edit.setSelection(1, 1, true);
  testing::typeText(edit, "X");
  EXPECT_EQ(edit.text(), "aXb");
}

// The change procedure reads the whole text: changes that follow each other
// unserved reach it once, so one Enter is one commit. Changes with other
// events between them keep their place in the order.
TEST_F(Events, TextChangesWaitingTogetherReachTheProcedureOnce) {
  Control& edit = ctl("EDIT1");
  std::vector<Str> seen;
  registerProcedure("EDIT1_CHANGE", [&](EventArgs&) { seen.push_back("C" + ctl("EDIT1").text()); });
  registerProcedure("BUTTON1_ON", [&](EventArgs&) { seen.push_back("B"); });
  waitForEvents();

  edit.setText("1\r\n");
  waitForEvents();
  seen.clear();
  edit.setSelection(-1, -1, true);
  testing::pressEnter(edit);  // Qt reports this one key as two changes
  waitForEvents();
  EXPECT_EQ(seen, std::vector<Str>{"C1\r\n\r\n"});

  seen.clear();
  edit.setText("");
  testing::typeText(edit, "12");
  testing::click(ctl("BUTTON1"));
  testing::typeText(edit, "3");
  testing::pressEnter(edit);
  EXPECT_EQ(pendingEventCount(), 3);
  waitForEvents();
  EXPECT_EQ(seen, (std::vector<Str>{"C123\r\n", "B", "C123\r\n"}));
}

TEST_F(Events, QueryCloseIsCalledAtOnceAndItsFlagDecides) {
  int16_t answer = 1;
  int calls = 0;
  registerProcedure("MAINFORM_QUERYCLOSE", [&](EventArgs& a) {
    ++calls;
    ASSERT_NE(a.cancel, nullptr);
    EXPECT_EQ(*a.cancel, 0);
    *a.cancel = answer;
  });
  testing::requestClose(mainWindow());
  EXPECT_EQ(calls, 1);  // synchronously, not through the queue
  EXPECT_TRUE(mainWindowExists());

  answer = 0;
  testing::requestClose(mainWindow());
  EXPECT_EQ(calls, 2);
  EXPECT_FALSE(mainWindowExists());
}

TEST_F(Events, CloseCommandDisabledOrNoSystemMenuKeepsTheWindow) {
  record("FORM2_QUERYCLOSE");
  FormRef form2, form3;
  openWindow(form2, "form2", 0);
  openWindow(form3, "form3", 0);
  EXPECT_TRUE(form2->closeCommandEnabled());
  form2->disableCloseCommand();
  EXPECT_FALSE(form2->closeCommandEnabled());
  testing::requestClose(*form2);
  testing::requestClose(*form3);
  EXPECT_TRUE(isOpen(form2));
  EXPECT_TRUE(isOpen(form3));
  EXPECT_TRUE(log.empty());
}

TEST_F(Events, SubWindowStartRunsAfterTheOpeningProcedureReturned) {
  FormRef form4;
  registerProcedure("BUTTON21_ON", [&](EventArgs&) {
    log.push_back("BUTTON21_ON begin");
    openWindow(form4, "form4", 0);
    log.push_back("BUTTON21_ON end");
  });
  record("FORM4_START");
  waitForEvents();
  testing::click(ctl("BUTTON21"));
  waitForEvents();
  EXPECT_EQ(log, (std::vector<Str>{"BUTTON21_ON begin", "BUTTON21_ON end", "FORM4_START"}));
}

TEST_F(Events, QueueHoldsSixtyFourEventsAndDropsTheNewest) {
  int runs = 0;
  registerProcedure("BUTTON1_ON", [&](EventArgs&) { ++runs; });
  waitForEvents();
  for (int i = 0; i < kEventQueueLimit + 1; ++i) testing::click(ctl("BUTTON1"));
  EXPECT_EQ(pendingEventCount(), kEventQueueLimit);
  waitForEvents();
  EXPECT_EQ(runs, kEventQueueLimit);
  EXPECT_EQ(pendingEventCount(), 0);
}

TEST_F(Events, ProceduresNeverNestEvenWhenMessagesAreProcessed) {
  std::vector<Str> order;
  registerProcedure("BUTTON1_ON", [&](EventArgs&) {
    order.push_back("BUTTON1 begin");
    testing::click(ctl("BUTTON2"));  // input arrives while this procedure runs
    doEvents();
    waitForEvents();  // returns at once inside a procedure
    order.push_back("BUTTON1 end");
  });
  registerProcedure("BUTTON2_ON", [&](EventArgs&) { order.push_back("BUTTON2"); });
  waitForEvents();
  testing::click(ctl("BUTTON1"));
  waitForEvents();
  EXPECT_EQ(order, (std::vector<Str>{"BUTTON1 begin", "BUTTON1 end", "BUTTON2"}));
}

TEST_F(Events, ErrorsInAProcedureGoToTheProgramTrap) {
  std::vector<int> trapped;
  installProgramTrap([&](const RuntimeError& e) { trapped.push_back(e.number()); });
  int after = 0;
  registerProcedure("BUTTON1_ON", [&](EventArgs&) {
    ctl("EDIT1").itemText(0);  // an edit box has no items: 1002
    ++after;
  });
  registerProcedure("BUTTON2_ON", [&](EventArgs&) { ++after; });
  waitForEvents();
  testing::click(ctl("BUTTON1"));
  testing::click(ctl("BUTTON2"));
  waitForEvents();
  EXPECT_EQ(trapped, std::vector<int>{err::WrongKind});
  EXPECT_EQ(after, 1);  // the failing procedure was abandoned, the next one ran
}

// Work handed over by another thread runs on this one as a procedure of
// the main window: once the program waits, never inside a running
// procedure, under the program trap, and not at all once the main window is
// gone.
TEST_F(Events, WorkPostedFromAnotherThreadRunsHereAsAProcedure) {
  std::vector<int> trapped;
  installProgramTrap([&](const RuntimeError& e) { trapped.push_back(e.number()); });
  std::vector<Str> order;
  std::thread::id ranOn;
  auto postFromAThread = [](std::function<void()> work) {
    std::thread([&work] { postToProgram(std::move(work)); }).join();
  };
  registerProcedure("BUTTON1_ON", [&](EventArgs&) {
    order.push_back("BUTTON1 begin");
    postFromAThread([&] {
      ranOn = std::this_thread::get_id();
      order.push_back("posted");
    });
    doEvents();
    order.push_back("BUTTON1 end");
  });
  waitForEvents();
  testing::click(ctl("BUTTON1"));
  waitForEvents();
  EXPECT_EQ(order, (std::vector<Str>{"BUTTON1 begin", "BUTTON1 end", "posted"}));
  EXPECT_EQ(ranOn, std::this_thread::get_id());

  postFromAThread([] { raise(err::FileNotFound); });
  postFromAThread([&] { order.push_back("after the error"); });
  waitForEvents();
  EXPECT_EQ(trapped, std::vector<int>{err::FileNotFound});
  EXPECT_EQ(order.back(), "after the error");

  closeWindow(mainWindow());
  postFromAThread([&] { order.push_back("too late"); });
  waitForEvents();
  EXPECT_EQ(order.back(), "after the error");
}

TEST_F(Events, EndProgramInAProcedureClosesEveryWindow) {
  FormRef form3;
  openWindow(form3, "form3", 0);
  registerProcedure("BUTTON3_ON", [&](EventArgs&) { endProgram(); });
  record("BUTTON1_ON");
  waitForEvents();
  testing::click(ctl("BUTTON3"));
  testing::click(ctl("BUTTON1"));
  waitForEvents();
  EXPECT_FALSE(mainWindowExists());
  EXPECT_FALSE(isOpen(form3));
  EXPECT_TRUE(log.empty());
}

// The operator closes the main window while a long loop polls Esc or
// pauses, and its _QUERYCLOSE ends the program: the loop goes no further,
// its next statement would only meet windows that are gone (error 1000 and
// the error box on the way out).
TEST_F(Events, EndWhileKeyPollingOrPausingAbandonsTheRunningProcedure) {
  for (bool pausing : {false, true}) {
    SCOPED_TRACE(pausing);
    unregisterAllProcedures();
    ASSERT_TRUE(initForTests());
    std::vector<int> trapped;
    installProgramTrap([&](const RuntimeError& e) { trapped.push_back(e.number()); });
    registerProcedure("MAINFORM_QUERYCLOSE", [](EventArgs&) { endProgram(); });
    int rounds = 0;
    registerProcedure("BUTTON1_ON", [&](EventArgs&) {
      QTimer::singleShot(0, [] {
        if (mainWindowExists()) testing::requestClose(mainWindow());
      });
      for (; rounds < 100; ++rounds) {
        if (pausing)
          pause(1);
        else
          keyDown(kVkEscape);
        ctl("EDIT1").text();
      }
    });
    waitForEvents();
    testing::click(ctl("BUTTON1"));
    waitForEvents();
    EXPECT_FALSE(mainWindowExists());
    EXPECT_LT(rounds, 100);
    EXPECT_TRUE(trapped.empty());
  }
}

TEST_F(Events, WindowMouseEventsCarryButtonsAndClientPosition) {
  std::vector<Str> order;
  EventArgs up;
  registerProcedure("MAINFORM_MOUSEUP", [&](EventArgs& a) {
    order.push_back("MOUSEUP");
    up = a;
  });
  registerProcedure("MAINFORM_CLICK", [&](EventArgs&) { order.push_back("CLICK"); });
  registerProcedure("MAINFORM_DBLCLICK", [&](EventArgs&) {
    order.push_back("DBLCLICK");
    EXPECT_EQ(mainWindow().lastMouse(0), 97.0f);
    EXPECT_EQ(mainWindow().lastMouse(1), 535.0f);
  });
  waitForEvents();
  testing::mouseClick(mainWindow(), 120, 40, 2);
  waitForEvents();
  EXPECT_EQ(order, (std::vector<Str>{"MOUSEUP", "CLICK"}));
  EXPECT_EQ(up.buttons, 2);
  EXPECT_EQ(up.x, 120.0f);
  EXPECT_EQ(up.y, 40.0f);

  order.clear();
  testing::mouseDoubleClick(mainWindow(), 97, 535);
  waitForEvents();
  EXPECT_EQ(order, (std::vector<Str>{"MOUSEUP", "CLICK", "DBLCLICK", "MOUSEUP", "CLICK"}));
}

TEST_F(Events, BindingComesFirstNamingRuleIsTheFallback) {
  // A definition binding a name other than the rule's: the bound one runs.
  testdata::DefinitionBytes d;
  d.window("BINDFORM").beginControls();
  d.create(3, wd::style::Child | wd::style::Visible).name("OK1").events({{1, "PRESSED"}});
  d.create(3, wd::style::Child | wd::style::Visible).name("ok2").events({{1, "MISSING_ON"}});
  d.endList().endList();
  record("PRESSED");
  record("OK1_ON");
  record("OK2_ON");
  auto window = internal::openWindowFromBytes(d.bytes, 0);
  testing::click(window->control("OK1"));
  testing::click(window->control("OK2"));
  waitForEvents();
  EXPECT_EQ(log, (std::vector<Str>{"PRESSED", "OK2_ON"}));
}

}  // namespace
}  // namespace fw
