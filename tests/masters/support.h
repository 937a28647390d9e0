// A main window with the master-list procedures, in a fresh directory, with
// every dialog answered by the test.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "framework/core/files.h"
#include "framework/core/str.h"
#include "framework/form/events.h"
#include "framework/form/program.h"
#include "framework/form/responder.h"
#include "framework/form/window.h"
#include "masters/procedures.h"
#include "masters/procedures_internal.h"
#include "tests/support/temp_dir.h"

namespace masters_test {

using namespace fw::literals;

class MastersWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    fw::resetForTests();
    ASSERT_TRUE(fw::initForTests());
    fw::unregisterAllProcedures();
    masters::registerProcedures();
    fw::makeDirectory("EKG_SYS");
    answers = std::make_unique<fw::ScriptedResponder>();
  }
  void TearDown() override {
    answers.reset();
    fw::unregisterAllProcedures();
    fw::resetForTests();
  }

  static std::string settingRecord(const std::string& value) {
    return value + std::string(100 - value.size(), ' ') + std::string(156, '\0');
  }

  tessivo::test::TempCwd dir;  // before the window: the current directory first
  std::unique_ptr<fw::ScriptedResponder> answers;
};

}  // namespace masters_test
