#include "framework/core/error.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

// The trap tells the operator the file and line of the failing statement: the
// location must be the caller's, not the place raise() is defined.
TEST(RuntimeErrorLocation, NamesTheCallingFileAndLine) {
  unsigned expectedLine = 0;
  try {
    expectedLine = __LINE__ + 1;
    raise(err::FileNotOpen);
  } catch (const RuntimeError& e) {
    EXPECT_EQ(e.number(), err::FileNotOpen);
    EXPECT_STREQ(e.module(), "error_test.cpp");
    EXPECT_EQ(e.line(), expectedLine);
    return;
  }
  ADD_FAILURE() << "raise did not throw";
}

}  // namespace
}  // namespace fw
