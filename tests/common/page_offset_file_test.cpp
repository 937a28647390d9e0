// EKG_SYS\P_OFFSET: one record per printer queue, absent until written.
#include "common/page_offset_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/error_of.h"
#include "tests/support/temp_dir.h"

namespace common {
namespace {

using tessivo::test::errorOf;
using tessivo::test::TempCwd;

constexpr const char* kFile = "EKG_SYS/P_OFFSET";

struct Sys : TempCwd {
  Sys() { std::filesystem::create_directory("EKG_SYS"); }
};

std::string record(const std::string& queue, const std::string& v, const std::string& h) {
  std::string r(160, '\0');
  r.replace(0, 128, queue + std::string(128 - queue.size(), ' '));
  r.replace(128, 8, v + std::string(8 - v.size(), ' '));
  r.replace(136, 8, h + std::string(8 - h.size(), ' '));
  return r;
}

TEST(PageOffsetFile, NoFileMeansNoOffsetAndLookingCreatesNothing) {
  Sys dir;
  const PageOffset offset = pageOffsetFor("LBP");
  EXPECT_EQ(offset.dxMillimetres(), 0);
  EXPECT_EQ(offset.dyMillimetres(), 0);
  EXPECT_TRUE(readPageOffsets().empty());
  EXPECT_FALSE(dir.exists(kFile));
}

TEST(PageOffsetFile, RecordsPerQueueAreReplacedInPlaceAndOthersKeepTheirBytes) {
  Sys dir;
  writePageOffset("LBP", "-1.5", "2");
  writePageOffset("PDF", "8.5", "");
  EXPECT_EQ(dir.read(kFile), record("LBP", "-1.5", "2") + record("PDF", "8.5", "0"));

  // A second registration for a queue rewrites its own record only.
  writePageOffset("  LBP ", "abc", "-0.25");
  EXPECT_EQ(dir.read(kFile), record("LBP", "0", "-0.25") + record("PDF", "8.5", "0"));

  EXPECT_EQ(pageOffsetFor("PDF").dyMillimetres(), 8.5);
  EXPECT_EQ(pageOffsetFor("LBP").dxMillimetres(), -0.25);
  // Queue names are matched whole: a prefix or another case is another printer.
  EXPECT_EQ(pageOffsetFor("PD").dyMillimetres(), 0);
  EXPECT_EQ(pageOffsetFor("pdf").dyMillimetres(), 0);
  EXPECT_EQ(pageOffsetFor("").dyMillimetres(), 0);

  // Longer values are cut to their field, like the item corrections.
  writePageOffset("PDF", "-12.34567", "1");
  EXPECT_EQ(dir.read(kFile).substr(160 + 128, 8), "-12.3456");
}

TEST(PageOffsetFile, DamagedFilesAndUnstorableNamesAreRefusedNotMisread) {
  Sys dir;
  // A copy cut in the middle of its second record: the half record names no queue.
  dir.write(kFile, record("LBP", "1", "1") + record("PDF", "3", "3").substr(0, 100));
  ASSERT_EQ(readPageOffsets().size(), 1u);
  EXPECT_EQ(pageOffsetFor("PDF").dyMillimetres(), 0);

  // A name that could never be found again is not written.
  EXPECT_EQ(errorOf([] { writePageOffset("   ", "1", "1"); }), 5);
  EXPECT_EQ(errorOf([] { writePageOffset(std::string(129, 'Q'), "1", "1"); }), 5);
  EXPECT_EQ(readPageOffsets().size(), 1u);
}

}  // namespace
}  // namespace common
