// The set-up of the printing tests: the program's procedures over a fresh
// EKG_SYS in the test's own folder (a TempCwd of the test), the print font
// and colour at "1", and the PDF output and windows undone afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>

#include "common/print_options.h"
#include "framework/form/printer.h"
#include "framework/form/program.h"
#include "printing/procedures.h"

namespace printing {

class PrintingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory("EKG_SYS");
    ASSERT_TRUE(fw::initForTests());
    fw::unregisterAllProcedures();
    registerProcedures();
    common::PRINT_FONT = "1";
    common::PRINT_COLOUR = "1";
  }
  void TearDown() override {
    fw::setPdfOutput("");
    fw::resetForTests();
  }
};

}  // namespace printing
