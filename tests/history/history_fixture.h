// The main window with the history procedures, over history files the test
// writes, and the history window opened from it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "framework/form/testing.h"
#include "framework/form/window.h"
#include "history/window_state.h"
#include "tests/entry/entry_fixture.h"
#include "tests/history/history_files.h"

namespace history_test {

namespace mb = fw::mb;
using namespace fw::literals;

class HistoryTest : public entry_test::MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    start();
  }

  // "履 歴" on the main window: FORM2 opens and lists.
  void openHistoryWindow() {
    click("BUTTON2");
    ASSERT_TRUE(fw::isOpen(history::FORM2));
  }
  fw::Control& form2(const char* name) { return history::FORM2->control(name); }
  void press(const char* name) {
    fw::testing::click(form2(name));
    fw::waitForEvents();
  }
  void chooseSize(int index) {
    fw::testing::selectItem(form2("COMBO6"), index);
    fw::waitForEvents();
  }

  std::vector<Str> items(const char* listOrCombo) {
    fw::Control& c = form2(listOrCombo);
    std::vector<Str> out;
    for (int i = 0; i < c.itemCount(); ++i) out.push_back(c.itemText(i));
    return out;
  }
  // The entry numbers LIST1 shows, top to bottom.
  std::vector<Str> entriesListed() {
    std::vector<Str> out;
    for (const Str& line : items("LIST1")) out.push_back(fw::mid(line, 110));
    return out;
  }
  // " 1" … " n", as the print-range lists hold them.
  static std::vector<Str> lineNumbers(int n) {
    std::vector<Str> out;
    for (int i = 1; i <= n; ++i) out.push_back(" " + std::to_string(i));
    return out;
  }
  // Selects the line showing `entry` ("" when it is not listed).
  void selectEntry(const Str& entry) {
    const std::vector<Str> shown = entriesListed();
    for (int i = 0; i < static_cast<int>(shown.size()); ++i) {
      if (shown[i] == entry) {
        fw::testing::selectItem(form2("LIST1"), i);
        fw::waitForEvents();
        return;
      }
    }
    ADD_FAILURE() << "entry " << entry << " is not listed";
  }

  void holdEscape() {
    answers.keys = [](int key) { return key == fw::kVkEscape; };
  }

  HistoryFiles files;
};

}  // namespace history_test
