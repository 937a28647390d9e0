// How FORM6's list shows a doctor.
#include "masters/doctor_lines.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace fw::literals;

TEST(DoctorLines, NumberNameAndDefaultMark) {
  EXPECT_EQ(masters::displayLine(2, "鈴木"_sj, true), "2   鈴木 (DEFAULT)"_sj);
  EXPECT_EQ(masters::displayLine(1, "鈴木"_sj, false), "1   鈴木"_sj + std::string(41, ' '));
  EXPECT_EQ(masters::displayLine(10, "A", false).substr(0, 5), "10  A");
  EXPECT_EQ(masters::displayLine(500, "A", true), "500 A (DEFAULT)");
}

}  // namespace
