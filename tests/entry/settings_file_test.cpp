// Single-value settings files: byte layout and the readings of damaged files.
#include "entry/settings_file.h"

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
  entry::writeSetting("EKG_SYS\\INSA_CO", "2");
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
  entry::writeSetting("EKG_SYS\\BYOUINMEI_DAT", value);
  std::string bytes = dir.read("EKG_SYS/BYOUINMEI_DAT");
  EXPECT_EQ(bytes.substr(0, 100), value.substr(0, 100));
  EXPECT_EQ(bytes[100], '\0');
}

TEST(SettingsFile, ReadTrimsHalfAndFullWidthBlanks) {
  TempCwd dir;
  fw::makeDirectory("EKG_SYS");
  entry::writeSetting("EKG_SYS\\BYOUINMEI_DAT", "　山田医院　"_sj);
  EXPECT_EQ(entry::readSetting("EKG_SYS\\BYOUINMEI_DAT", ""), "山田医院"_sj);
}

TEST(SettingsFile, MissingFileIsCreatedEmptyAndGivesDefault) {
  TempCwd dir;
  fw::makeDirectory("EKG_SYS");
  EXPECT_EQ(entry::readSetting("EKG_SYS\\HOKENNI_DF", "-1"), "-1");
  EXPECT_TRUE(dir.exists("EKG_SYS/HOKENNI_DF"));
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI_DF").size(), 0u);
}

TEST(SettingsFile, ShortFileIsReadAsPaddedInsteadOfFailing) {
  TempCwd dir;
  dir.write("EKG_SYS/INSA_FO", "2   ");
  EXPECT_EQ(entry::readSetting("EKG_SYS\\INSA_FO", "1"), "2");
  // The file is left as it was, and file number 1 is free again.
  EXPECT_EQ(dir.read("EKG_SYS/INSA_FO"), "2   ");
  EXPECT_FALSE(fw::isFileOpen(1));
}

TEST(SettingsFile, GarbageOrBlankFileGivesDefault) {
  TempCwd dir;
  dir.write("EKG_SYS/INSA_FO", std::string(40, '\0'));
  EXPECT_EQ(entry::readSetting("EKG_SYS\\INSA_FO", "1"), "1");
  dir.write("EKG_SYS/INSA_CO", std::string(256, ' '));
  EXPECT_EQ(entry::readSetting("EKG_SYS\\INSA_CO", "1"), "1");
}

}  // namespace
