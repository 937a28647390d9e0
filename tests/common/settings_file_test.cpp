// Single-value settings files: byte layout and the readings of damaged files.
#include "common/settings_file.h"

#include <array>
#include <filesystem>

#include "common/correction_file.h"
#include "common/doctor_list_file.h"

#include <gtest/gtest.h>

#include "framework/core/files.h"
#include "framework/core/str.h"
#include "tests/support/temp_dir.h"

using namespace fw::literals;
using tessivo::test::TempCwd;

namespace {

TEST(SettingsFile, WriteLaysOutValueSpacesAndZeros) {
  TempCwd dir;
  fw::makeDirectory("EKG_SYS");
  common::writeSetting("EKG_SYS\\INSA_CO", "2");
  std::string bytes = dir.read("EKG_SYS/INSA_CO");
  ASSERT_EQ(bytes.size(), 256u);
  EXPECT_EQ(bytes.substr(0, 100), "2" + std::string(99, ' '));
  EXPECT_EQ(bytes.substr(100), std::string(156, '\0'));
}

TEST(SettingsFile, LongValueIsCutAtByte100) {
  TempCwd dir;
  fw::makeDirectory("EKG_SYS");
  std::string name = "病"_sj;
  std::string value;
  for (int i = 0; i < 51; ++i) value += name;  // 102 bytes
  common::writeSetting("EKG_SYS\\BYOUINMEI_DAT", value);
  std::string bytes = dir.read("EKG_SYS/BYOUINMEI_DAT");
  EXPECT_EQ(bytes.substr(0, 100), value.substr(0, 100));
  EXPECT_EQ(bytes[100], '\0');
}

TEST(SettingsFile, ReadTrimsHalfAndFullWidthBlanks) {
  TempCwd dir;
  fw::makeDirectory("EKG_SYS");
  common::writeSetting("EKG_SYS\\BYOUINMEI_DAT", "　山田医院　"_sj);
  EXPECT_EQ(common::readSetting("EKG_SYS\\BYOUINMEI_DAT", ""), "山田医院"_sj);
}

TEST(SettingsFile, MissingFileIsCreatedEmptyAndGivesDefault) {
  TempCwd dir;
  fw::makeDirectory("EKG_SYS");
  EXPECT_EQ(common::readSetting("EKG_SYS\\HOKENNI_DF", "-1"), "-1");
  EXPECT_TRUE(dir.exists("EKG_SYS/HOKENNI_DF"));
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI_DF").size(), 0u);
}

TEST(SettingsFile, ShortFileIsReadAsPaddedInsteadOfFailing) {
  TempCwd dir;
  dir.write("EKG_SYS/INSA_FO", "2   ");
  EXPECT_EQ(common::readSetting("EKG_SYS\\INSA_FO", "1"), "2");
  // The file is left as it was, and file number 1 is free again.
  EXPECT_EQ(dir.read("EKG_SYS/INSA_FO"), "2   ");
  EXPECT_FALSE(fw::isFileOpen(1));
}

TEST(SettingsFile, GarbageOrBlankFileGivesDefault) {
  TempCwd dir;
  dir.write("EKG_SYS/INSA_FO", std::string(40, '\0'));
  EXPECT_EQ(common::readSetting("EKG_SYS\\INSA_FO", "1"), "1");
  dir.write("EKG_SYS/INSA_CO", std::string(256, ' '));
  EXPECT_EQ(common::readSetting("EKG_SYS\\INSA_CO", "1"), "1");
}

}  // namespace

// Every stored-file routine takes a free number, so it runs while another
// file is held open (a history scan reading a setting on the way).
TEST(StoredFiles, RoutinesRunWhileAnotherFileIsOpen) {
  TempCwd dir;
  std::filesystem::create_directory("EKG_SYS");
  fw::open("EKG_SYS\\HELD", fw::FileMode::Record, fw::Share::ReadWrite, 1, 2000);
  common::writeSetting("EKG_SYS\\INSA_FO", "2");
  EXPECT_EQ(common::readSetting("EKG_SYS\\INSA_FO", "1"), "2");
  EXPECT_TRUE(common::settingWritten("EKG_SYS\\INSA_FO"));
  common::writeDoctorList({"田中"_sj});
  EXPECT_EQ(common::readDoctorList().size(), 1u);
  common::writeDefaultPosition(0);
  EXPECT_EQ(common::readDefaultPosition(), 0);
  std::array<fw::Str, common::kChartItemCount + 1> values;
  values.fill("1");
  common::writeCorrections(values, values);
  EXPECT_EQ(common::readCorrections().vertical[5], "1");
  EXPECT_TRUE(fw::isFileOpen(1));
  EXPECT_FALSE(fw::isFileOpen(2));  // every routine gave its number back
  fw::close(1);
}
