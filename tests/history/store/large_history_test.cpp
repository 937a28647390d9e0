// A history past 2 GiB (sparse, as a file grown over years is large): its
// sizes and offsets need 64 bits on every system (Windows' long has 32), and
// the daily backup copies it whole.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <string>

#include "common/history_format.h"
#include "common/paths.h"
#include "framework/core/files.h"
#include "framework/core/open_file.h"
#include "history/store/backup.h"
#include "history/store/store.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

TEST(LargeHistory, PastTwoGibibytesIsReadWrittenAndBackedUp) {
  tessivo::test::TempCwd dir;
  fw::makeDirectory(common::files::kDataDir);
  common::ExamineeRecord first;
  first.NAME = first.MEMO = "first";
  history::appendEntry(common::attributesOf(first, "2024/05/07"),
                       common::clinicalOf(first, "2024/05/07"));
  // Both files grown (sparse) to just past 2 GiB of whole records.
  constexpr std::int64_t kRecords = (std::int64_t{1} << 31) / common::kHistoryRecordBytes + 2;
  constexpr std::int64_t kBytes = kRecords * common::kHistoryRecordBytes;
  const std::string blank(common::kHistoryRecordBytes, '\0');
  for (const char* name : {common::files::kAttributeFile, common::files::kClinicalFile}) {
    fw::PlainFile file(name, fw::PlainFile::Access::Update);
    file.write(kBytes - common::kHistoryRecordBytes, blank.data(), blank.size());
  }
  common::ExamineeRecord last;
  last.NAME = last.MEMO = "last";
  const long n = history::appendEntry(common::attributesOf(last, "2024/05/08"),
                                      common::clinicalOf(last, "2024/05/08"));
  EXPECT_EQ(n, kRecords + 1);
  {
    fw::OpenFile file(common::files::kAttributeFile, fw::FileMode::RecordRead,
                      fw::Share::ReadWrite, common::kHistoryRecordBytes);
    EXPECT_EQ(fw::fileSize(file), kBytes + common::kHistoryRecordBytes);
    fw::get(file, n);
    EXPECT_EQ(fw::position(file), n + 1);
  }
  const auto entry = history::readEntry(n);
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->attributes[common::AttributeField::Name], "last");
  EXPECT_EQ(entry->clinical[common::ClinicalField::Memo], "last");

  const std::atomic<bool> stop{false};
  const history::BackupResult backup = history::takeBackupOfDay("20240508", stop);
  ASSERT_EQ(backup.outcome, history::BackupOutcome::Taken)
      << "problem " << static_cast<int>(backup.problem) << ", error " << backup.error;
  for (const char* name : {"EKGDATA_1", "EKGDATA_2"}) {
    const fs::path copy = fs::path("EKG_BACKUP") / "20240508" / "EKG_DATA" / name;
    EXPECT_EQ(fs::file_size(copy), static_cast<std::uintmax_t>(kBytes) + 2000) << name;
    // The copy is not kept: 4 GiB of disk only while the test runs.
    fs::remove(copy);
  }
}

}  // namespace
