// EKG_SYS\P_TYOUSEI: byte layout, the values stored, and damaged files.
#include "common/correction_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "framework/core/files.h"
#include "tests/support/temp_dir.h"

namespace common {
namespace {

using namespace fw::literals;
using tessivo::test::TempCwd;
using Texts = std::array<fw::Str, kChartItemCount + 1>;

constexpr const char* kFile = "EKG_SYS/P_TYOUSEI";

Texts allZero() {
  Texts t;
  t.fill("0");
  return t;
}

struct Sys : TempCwd {
  Sys() { std::filesystem::create_directory("EKG_SYS"); }
};

TEST(CorrectionFile, AllZeroWritesSixtyEightPaddedZeros) {
  Sys dir;
  writeCorrections(allZero(), allZero());
  const std::string bytes = dir.read(kFile);
  ASSERT_EQ(bytes.size(), 2000u);
  std::string expected(2000, '\0');
  for (int offset = 10; offset < 350; offset += 5) expected.replace(offset, 5, "0    ");
  EXPECT_EQ(bytes, expected);
}

TEST(CorrectionFile, ValuesAreStoredAtTenTimesTheItem) {
  Sys dir;
  Texts vertical = allZero(), horizontal = allZero();
  vertical[10] = "-2";
  horizontal[10] = "1.5";
  vertical[34] = "7";
  writeCorrections(vertical, horizontal);
  const std::string bytes = dir.read(kFile);
  EXPECT_EQ(bytes.substr(100, 5), "-2   ");
  EXPECT_EQ(bytes.substr(105, 5), "1.5  ");
  EXPECT_EQ(bytes.substr(340, 5), "7    ");
  EXPECT_EQ(bytes.substr(0, 10), std::string(10, '\0'));
  EXPECT_EQ(bytes.substr(350), std::string(1650, '\0'));

  const CorrectionTable table = readCorrections();
  EXPECT_TRUE(table.hasRecord);
  EXPECT_EQ(table.vertical[10], "-2");
  EXPECT_EQ(table.horizontal[10], "1.5");
}

TEST(CorrectionFile, StoredTextsAreNormalisedAndCut) {
  struct Case { const char* typed; const char* stored; };
  const Case cases[] = {
      {"", "0    "},       {"  ", "0    "},      {"abc", "0    "},   {"0.0", "0    "},
      {"１", "0    "},     {"-12.25", "-12.2"}, {"123456", "12345"}, {" 3 ", "3    "},
      {"1abc", "1abc "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    Sys dir;
    Texts vertical = allZero();
    vertical[1] = fw::sj(c.typed);
    writeCorrections(vertical, allZero());
    EXPECT_EQ(dir.read(kFile).substr(10, 5), c.stored);
  }
}

TEST(CorrectionFile, MissingFileIsCreatedEmptyAndMeansNoCorrections) {
  Sys dir;
  const CorrectionTable table = readCorrections();
  EXPECT_FALSE(table.hasRecord);
  for (int k = 1; k <= kChartItemCount; ++k) {
    EXPECT_EQ(table.vertical[k], "0");
    EXPECT_EQ(table.horizontal[k], "0");
  }
  EXPECT_TRUE(dir.exists(kFile));
  EXPECT_EQ(dir.read(kFile).size(), 0u);
  EXPECT_FALSE(fw::isFileOpen(1));
}

TEST(CorrectionFile, TruncatedRecordReadsTheBytesThatAreThere) {
  Sys dir;
  std::string bytes(103, '\0');
  bytes.replace(10, 5, "1    ");
  bytes.replace(100, 3, "-2 ");  // item 10 cut inside its vertical value
  dir.write(kFile, bytes);
  const CorrectionTable table = readCorrections();
  EXPECT_TRUE(table.hasRecord);
  EXPECT_EQ(table.dyMillimetres(1), 1);
  EXPECT_EQ(table.vertical[10], "-2");
  EXPECT_EQ(table.dxMillimetres(10), 0);
  EXPECT_EQ(table.dxMillimetres(34), 0);
  EXPECT_FALSE(fw::isFileOpen(1));
}

TEST(CorrectionFile, WritingKeepsLaterRecords) {
  Sys dir;
  std::string bytes(4000, 'x');
  dir.write(kFile, bytes);
  writeCorrections(allZero(), allZero());
  const std::string after = dir.read(kFile);
  ASSERT_EQ(after.size(), 4000u);
  EXPECT_EQ(after.substr(2000), std::string(2000, 'x'));
  EXPECT_EQ(after.substr(350, 1650), std::string(1650, '\0'));
}

}  // namespace
}  // namespace common
