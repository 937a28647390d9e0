// The doctor list file HOKENNI, its default HOKENNI_DF and the list lines.
#include "common/doctor_list_file.h"

#include <gtest/gtest.h>

#include "framework/core/files.h"
#include "framework/core/str.h"
#include "tests/support/temp_dir.h"

using namespace fw::literals;
using tessivo::test::TempCwd;

namespace {

TEST(DoctorListFile, QuotedLinesWithCrLfAndTheEmptyListLine) {
  TempCwd dir;
  fw::makeDirectory("EKG_SYS");
  common::writeDoctorList({"田中"_sj, "鈴木"_sj});
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI"), "\"田中\"\r\n\"鈴木\"\r\n"_sj);

  // Rewritten whole: a shorter list leaves nothing of the longer one.
  common::writeDoctorList({"佐藤"_sj});
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI"), "\"佐藤\"\r\n"_sj);

  common::writeDoctorList({});
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI"), "\"\"\r\n");
  EXPECT_TRUE(common::readDoctorList().empty());
  EXPECT_FALSE(fw::isFileOpen(1));
}

TEST(DoctorListFile, NamesThatWouldBreakTheFileAreNotStorable) {
  EXPECT_TRUE(common::storableDoctorName("田中 一郎, 内科"_sj));
  EXPECT_FALSE(common::storableDoctorName("田\"中"_sj));
  EXPECT_FALSE(common::storableDoctorName("田中\r\n鈴木"_sj));
  EXPECT_FALSE(common::storableDoctorName("田中\n"));
}

TEST(DoctorListFile, DefaultPositionFileAndItsReadings) {
  TempCwd dir;
  fw::makeDirectory("EKG_SYS");
  EXPECT_EQ(common::readDefaultPosition(), -1);  // missing: created empty
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI_DF"), "");

  common::writeDefaultPosition(1);
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI_DF"),
            "1" + std::string(99, ' ') + std::string(156, '\0'));
  EXPECT_EQ(common::readDefaultPosition(), 1);

  common::writeDefaultPosition(-1);
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI_DF"),
            "-1" + std::string(98, ' ') + std::string(156, '\0'));
  EXPECT_EQ(common::readDefaultPosition(), -1);

  dir.write("EKG_SYS/HOKENNI_DF", "-7" + std::string(98, ' ') + std::string(156, '\0'));
  EXPECT_EQ(common::readDefaultPosition(), -1);
}

TEST(DoctorListFile, DefaultPositionTooLargeToReadNamesNoEntry) {
  TempCwd dir;
  fw::makeDirectory("EKG_SYS");
  for (const char* value : {"1e999", "-1e999", "3000000000"}) {
    SCOPED_TRACE(value);
    const std::string v = value;
    dir.write("EKG_SYS/HOKENNI_DF", v + std::string(100 - v.size(), ' ') + std::string(156, '\0'));
    EXPECT_EQ(common::readDefaultPosition(), -1);
  }
}


}  // namespace
