// The program's run loop: start code, the first wait, the end by the main
// window's close box, and procedures that never nest.
#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <vector>

#include "framework/core/error.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/internal/form_objects.h"
#include "framework/form/program.h"
#include "framework/form/responder.h"
#include "framework/form/testing.h"
#include "framework/form/trap.h"
#include "framework/form/window.h"

namespace fw {
namespace {

class ProgramLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(initForTests());  // the Qt application
    resetForTests();
  }
  void TearDown() override {
    resetForTests();
    unregisterAllProcedures();
  }

  void record(const Str& name) {
    registerProcedure(name, [this, name](EventArgs&) { log.push_back(name); });
  }

  // Runs the program; a loop that does not end by itself within five seconds
  // is ended from outside and reported.
  int run(const std::function<void()>& start) {
    bool stuck = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&stuck] {
      stuck = true;
      internal::endProgramNow();
    });
    watchdog.start(5000);
    static char name[] = "tessivo-tests";
    static char* argv[] = {name, nullptr};
    int code = runProgram(1, argv, ProgramOptions{start});
    EXPECT_FALSE(stuck) << "the program loop did not end by itself";
    EXPECT_FALSE(mainWindowExists());
    return code;
  }

  std::vector<Str> log;
  ScriptedResponder answers;
};

TEST_F(ProgramLoop, StartCodeRunsFirstAndTheMainWindowsEndStopsServing) {
  FormRef form3;
  registerProcedure("MAINFORM_START", [this, &form3](EventArgs&) {
    log.push_back("MAINFORM_START");
    openWindow(form3, "form3", 0);
    testing::click(form3->control("BUTTON12"));
    closeWindow(mainWindow());
  });
  record("FORM3_START");
  record("BUTTON12_ON");
  EXPECT_EQ(run([this] { log.push_back("start code"); }), 0);
  // What was queued before the main window went is not served, not even for
  // a window still open: nothing runs against a main window that is gone.
  EXPECT_EQ(log, (std::vector<Str>{"start code", "MAINFORM_START"}));
}

// MAINFORM_QUERYCLOSE ends the program (the end dialog answered Yes) while
// the loop is idle: the loop must end, not wait on with every window gone.
TEST_F(ProgramLoop, QueryCloseThatEndsTheProgramEndsTheLoop) {
  registerProcedure("MAINFORM_QUERYCLOSE", [this](EventArgs&) {
    log.push_back("MAINFORM_QUERYCLOSE");
    endProgram();
  });
  EXPECT_EQ(run([] { QTimer::singleShot(0, [] { testing::requestClose(mainWindow()); }); }), 0);
  EXPECT_EQ(log, std::vector<Str>{"MAINFORM_QUERYCLOSE"});
}

// Input that arrives while MAINFORM_QUERYCLOSE runs (the operator answers No
// and clicks on) is served as soon as it returns, not at the next input.
TEST_F(ProgramLoop, EventsQueuedDuringQueryCloseAreServedAfterIt) {
  registerProcedure("MAINFORM_QUERYCLOSE", [this](EventArgs& args) {
    log.push_back("MAINFORM_QUERYCLOSE");
    testing::click(ctl("BUTTON1"));
    *args.cancel = 1;
  });
  registerProcedure("BUTTON1_ON", [this](EventArgs&) {
    log.push_back("BUTTON1_ON");
    closeWindow(mainWindow());
  });
  EXPECT_EQ(run([] { QTimer::singleShot(0, [] { testing::requestClose(mainWindow()); }); }), 0);
  EXPECT_EQ(log, (std::vector<Str>{"MAINFORM_QUERYCLOSE", "BUTTON1_ON"}));
}

TEST_F(ProgramLoop, ProceduresNeverNestWhateverTheyCall) {
  registerProcedure("MAINFORM_START", [this](EventArgs&) {
    testing::click(ctl("BUTTON1"));
    doEvents();
    keyDown(kVkEscape);
    pause(1);
    messageBox(nullptr, "T", "M", mb::OK, mb::Information);
    inputBox(nullptr, "T", "P", "");
    waitForEvents();
    log.push_back("MAINFORM_START done");
  });
  registerProcedure("BUTTON1_ON", [this](EventArgs&) {
    log.push_back("BUTTON1_ON");
    endProgram();
  });
  EXPECT_EQ(run(nullptr), 0);
  EXPECT_EQ(log, (std::vector<Str>{"MAINFORM_START done", "BUTTON1_ON"}));
}

TEST_F(ProgramLoop, CloseBoxWithoutQueryCloseEndsTheProgram) {
  record("BUTTON1_ON");
  EXPECT_EQ(run([] { QTimer::singleShot(0, [] { testing::requestClose(mainWindow()); }); }), 0);
  EXPECT_TRUE(log.empty());
}

// Qt's own dialogs and buttons speak the program's language: the print
// dialog the operator confirms every print in, the standard buttons.
TEST_F(ProgramLoop, QtsOwnDialogTextsAreJapanese) {
  QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text().toStdString(), "キャンセル");
  QPrinter printer;
  QPrintDialog dialog(&printer);
  EXPECT_EQ(dialog.windowTitle().toStdString(), "印刷");
}

}  // namespace
}  // namespace fw
