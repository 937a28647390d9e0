// The doctor list file HOKENNI, its default HOKENNI_DF and the list lines.
#include "masters/doctor_list_file.h"

#include <gtest/gtest.h>

#include "entry/doctor_list.h"
#include "framework/core/files.h"
#include "framework/core/str.h"
#include "tests/support/temp_dir.h"

using namespace fw::literals;
using tessivo::test::TempCwd;

namespace {

TEST(DoctorListFile, QuotedLinesWithCrLfAndTheEmptyListLine) {
  TempCwd dir;
  fw::makeDirectory("EKG_SYS");
  masters::writeDoctorList({"田中"_sj, "鈴木"_sj});
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI"), "\"田中\"\r\n\"鈴木\"\r\n"_sj);

  // Rewritten whole: a shorter list leaves nothing of the longer one.
  masters::writeDoctorList({"佐藤"_sj});
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI"), "\"佐藤\"\r\n"_sj);

  masters::writeDoctorList({});
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI"), "\"\"\r\n");
  EXPECT_TRUE(entry::readDoctorList().empty());
  EXPECT_FALSE(fw::isFileOpen(1));
}

TEST(DoctorListFile, NamesThatWouldBreakTheFileAreNotStorable) {
  EXPECT_TRUE(masters::storableDoctorName("田中 一郎, 内科"_sj));
  EXPECT_FALSE(masters::storableDoctorName("田\"中"_sj));
  EXPECT_FALSE(masters::storableDoctorName("田中\r\n鈴木"_sj));
  EXPECT_FALSE(masters::storableDoctorName("田中\n"));
}

TEST(DoctorListFile, DefaultPositionFileAndItsReadings) {
  TempCwd dir;
  fw::makeDirectory("EKG_SYS");
  EXPECT_EQ(masters::readDefaultPosition(), -1);  // missing: created empty
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI_DF"), "");

  masters::writeDefaultPosition(1);
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI_DF"),
            "1" + std::string(99, ' ') + std::string(156, '\0'));
  EXPECT_EQ(masters::readDefaultPosition(), 1);

  masters::writeDefaultPosition(-1);
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI_DF"),
            "-1" + std::string(98, ' ') + std::string(156, '\0'));
  EXPECT_EQ(masters::readDefaultPosition(), -1);

  dir.write("EKG_SYS/HOKENNI_DF", "-7" + std::string(98, ' ') + std::string(156, '\0'));
  EXPECT_EQ(masters::readDefaultPosition(), -1);
}

TEST(DoctorListFile, DefaultPositionTooLargeToReadNamesNoEntry) {
  TempCwd dir;
  fw::makeDirectory("EKG_SYS");
  for (const char* value : {"1e999", "-1e999", "3000000000"}) {
    SCOPED_TRACE(value);
    const std::string v = value;
    dir.write("EKG_SYS/HOKENNI_DF", v + std::string(100 - v.size(), ' ') + std::string(156, '\0'));
    EXPECT_EQ(masters::readDefaultPosition(), -1);
  }
}

TEST(DoctorListFile, DisplayLines) {
  EXPECT_EQ(masters::displayLine(2, "鈴木"_sj, true), "2   鈴木 (DEFAULT)"_sj);
  EXPECT_EQ(masters::displayLine(1, "鈴木"_sj, false), "1   鈴木"_sj + std::string(41, ' '));
  EXPECT_EQ(masters::displayLine(10, "A", false).substr(0, 5), "10  A");
  EXPECT_EQ(masters::displayLine(500, "A", true), "500 A (DEFAULT)");
}

}  // namespace
