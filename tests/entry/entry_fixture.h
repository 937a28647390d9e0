// A main window built from its real definition, offscreen, in a fresh
// working directory, with the entry procedures registered and every dialog
// answered by a script.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "entry/procedures.h"
#include "history/procedures.h"
#include "masters/procedures.h"
#include "printing/procedures.h"
#include "entry/startup.h"
#include "entry/state.h"
#include "framework/core/clock.h"
#include "framework/core/str.h"
#include "framework/form/events.h"
#include "framework/form/program.h"
#include "framework/form/responder.h"
#include "framework/form/testing.h"
#include "framework/form/trap.h"
#include "framework/form/window.h"
#include "tests/support/temp_dir.h"

namespace entry_test {

using fw::Str;
using namespace fw::literals;

// A settings file as the program writes it: the value in 100 space-padded
// bytes, then 156 zero bytes.
inline std::string settingRecord(const Str& value) {
  std::string bytes = value;
  bytes.resize(100, ' ');
  bytes.resize(256, '\0');
  return bytes;
}

// The doctor list: one quoted item per line.
inline std::string doctorList(const std::vector<Str>& items) {
  std::string bytes;
  for (const Str& item : items) bytes += "\"" + item + "\"\r\n";
  return bytes;
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fw::unregisterAllProcedures();
    // Every folder's procedures, as the program registers them: the main
    // window's buttons open windows of the other folders.
    entry::registerProcedures();
    printing::registerProcedures();
    masters::registerProcedures();
    history::registerProcedures();
    ASSERT_TRUE(fw::initForTests());
    entry::EDIT_COUNT = 0;
    entry::CURRENT_ENTRY.clear();
  }

  void TearDown() override {
    fw::setClock({});
    fw::resetForTests();
    fw::unregisterAllProcedures();
  }

  // The start code without the single-instance lock, then MAINFORM_START.
  void start() {
    entry::prepareMainWindow();
    entry::createDataDirectories();
    fw::waitForEvents();
  }

  // Writes a file of the working directory ("EKG_SYS/HOKENNI").
  void givenFile(const std::string& relative, const std::string& bytes) {
    std::filesystem::create_directories(
        std::filesystem::path(cwd.path()) / std::filesystem::path(relative).parent_path());
    cwd.write(relative, bytes);
  }

  fw::Control& c(const char* name) { return fw::ctl(name); }
  Str text(const char* name) { return fw::ctl(name).text(); }

  // Replaces a box's text by typing and presses Enter, then serves the
  // events.
  void commit(const char* box, const Str& typed) {
    fw::ctl(box).setText("");
    fw::testing::typeText(fw::ctl(box), typed + "\r\n");
    fw::waitForEvents();
  }
  void click(const char* name) {
    fw::testing::click(fw::ctl(name));
    fw::waitForEvents();
  }
  void choose(const char* combo, int index) {
    fw::testing::selectItem(fw::ctl(combo), index);
    fw::waitForEvents();
  }

  void expectMessage(size_t index, const Str& title, const Str& message, int buttons, int icon) {
    ASSERT_LT(index, answers.messages.size()) << "no message box number " << index;
    const fw::MessageBoxRequest& m = answers.messages[index];
    EXPECT_EQ(m.title, title);
    EXPECT_EQ(m.text, message);
    EXPECT_EQ(m.buttons, buttons);
    EXPECT_EQ(m.icon, icon);
  }

  tessivo::test::TempCwd cwd;
  fw::ScriptedResponder answers;
};

}  // namespace entry_test
