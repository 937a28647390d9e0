// The history store against failed writes and damaged files: no entry may
// lose its clinical record or take another entry's, and a damaged file never
// ends the program.
#include "history/store/store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "framework/core/error.h"
#include "framework/core/files.h"
#include "tests/history/store/tagged_entry.h"
#include "tests/support/error_of.h"
#include "tests/support/temp_dir.h"

using common::AttributeField;
using common::ClinicalField;
using tessivo::test::errorOf;
using tessivo::test::taggedExaminee;
using tessivo::test::TempCwd;

namespace {

// An entry whose attribute record (name) and clinical record (memo) both
// carry `tag`.
long append(const std::string& tag) {
  common::ExamineeRecord r = taggedExaminee(tag);
  r.EXAM_NO = "1";
  return history::appendEntry(common::attributesOf(r, "2024/05/07"),
                              common::clinicalOf(r, "2024/05/07"));
}

std::string nameOf(long n) {
  auto e = history::readEntry(n);
  return e ? e->attributes[AttributeField::Name] : "<none>";
}
std::string memoOf(long n) {
  auto e = history::readEntry(n);
  return e ? e->clinical[ClinicalField::Memo] : "<none>";
}

std::vector<long> scanned(history::Scan which) {
  std::vector<long> numbers;
  history::scanNewestFirst(which, [&](long n, const history::RecordView&) {
    numbers.push_back(n);
    return true;
  });
  return numbers;
}

class HistoryStore : public ::testing::Test {
 protected:
  void SetUp() override { fw::makeDirectory("EKG_DATA"); }
  void TearDown() override { fw::failWritesAfterForTesting(-1); }
  TempCwd dir_;
};

// The disk fills at every point of an append: in the clinical record, right
// after it, in the attribute record. The append reports it, leaves no entry
// behind, and the following appends are numbered and paired as if it had
// never been tried.
TEST_F(HistoryStore, FailedAppendLeavesNoHalfEntry) {
  for (long budget : {0L, 1000L, 2000L, 3000L}) {
    SCOPED_TRACE("bytes written before the disk is full: " + std::to_string(budget));
    const long before = history::attributeCount();
    append("before");
    fw::failWritesAfterForTesting(budget);
    EXPECT_EQ(errorOf([] { append("lost"); }), fw::err::DiskFull);
    fw::failWritesAfterForTesting(-1);
    EXPECT_EQ(history::attributeCount(), before + 1);
    EXPECT_EQ(dir_.read("EKG_DATA/EKGDATA_1").size() % 2000, 0u);
    EXPECT_EQ(append("after"), before + 2);
    EXPECT_EQ(nameOf(before + 2), "after");
    EXPECT_EQ(memoOf(before + 2), "after");
    EXPECT_EQ(memoOf(before + 1), "before");
  }
  for (long n = 1; n <= history::attributeCount(); ++n) EXPECT_EQ(nameOf(n), memoOf(n)) << n;
}

// A failed overwrite (one record rewritten, the other not: an overwrite
// cannot be undone half-way) leaves the files' counts as they were, so the
// next appends stay paired.
TEST_F(HistoryStore, FailedOverwriteKeepsLaterAppendsPaired) {
  append("one");
  append("two");
  const common::ExamineeRecord r = taggedExaminee("new");
  fw::failWritesAfterForTesting(2000);
  EXPECT_EQ(errorOf([&] {
              history::overwriteEntry(1, common::attributesOf(r, "2024/06/01"),
                                      common::clinicalOf(r, "2024/06/01"));
            }),
            fw::err::DiskFull);
  fw::failWritesAfterForTesting(-1);
  EXPECT_EQ(history::attributeCount(), 2);
  EXPECT_EQ(history::clinicalCount(), 2);
  EXPECT_EQ(append("three"), 3);
  EXPECT_EQ(nameOf(3), "three");
  EXPECT_EQ(memoOf(3), "three");
  EXPECT_EQ(nameOf(2), memoOf(2));
}

// A history file whose size is not a multiple of 2000 (a copy cut short, a
// disk that filled under another program): the short record is counted,
// scanned and read as its bytes padded with blanks; the next entry goes
// after it and the short record reads the same afterwards.
TEST(HistoryStoreFiles, ShortTrailingRecordIsReadAndSkippedOver) {
  const std::pair<std::size_t, std::string> cuts[] = {
      {2500, "Suzuki"}, {2100, "Suzuki"}, {2088, "Suz"}, {2001, ""}};
  for (const auto& [cut, name] : cuts) {
    SCOPED_TRACE("attribute file cut to " + std::to_string(cut) + " bytes");
    TempCwd dir;
    fw::makeDirectory("EKG_DATA");
    append("Yamada");
    append("Suzuki");
    std::filesystem::resize_file("EKG_DATA/EKGDATA_1", cut);
    EXPECT_EQ(history::attributeCount(), 2);
    EXPECT_EQ(scanned(history::Scan::Live), (std::vector<long>{2, 1}));
    EXPECT_EQ(nameOf(2), name);

    EXPECT_EQ(append("Tanaka"), 3);
    EXPECT_EQ(dir.read("EKG_DATA/EKGDATA_1").size(), 6000u);
    auto two = history::readEntry(2);
    ASSERT_TRUE(two);
    EXPECT_EQ(two->attributes[AttributeField::Name], name);
    EXPECT_EQ(two->attributes[AttributeField::Hospital], "");
    EXPECT_EQ(two->attributes[AttributeField::RegistrationDate], cut > 2240 ? "2024/05/07" : "");
    EXPECT_EQ(two->clinical[ClinicalField::Memo], "Suzuki");
    EXPECT_EQ(nameOf(3), "Tanaka");
    EXPECT_EQ(memoOf(3), "Tanaka");
    EXPECT_EQ(scanned(history::Scan::Live), (std::vector<long>{3, 2, 1}));
  }
}

// A short trailing record can be marked deleted: it becomes a whole record
// with its mark, and is then in the deleted view only.
TEST_F(HistoryStore, ShortTrailingRecordCanBeMarkedDeleted) {
  append("Yamada");
  append("Suzuki");
  std::filesystem::resize_file("EKG_DATA/EKGDATA_1", 2200);
  EXPECT_TRUE(history::markDeleted(2));
  const std::string bytes = dir_.read("EKG_DATA/EKGDATA_1");
  ASSERT_EQ(bytes.size(), 4000u);
  EXPECT_EQ(bytes.substr(2000 + 310, 10), "del       ");
  EXPECT_EQ(bytes.substr(2000 + 320), std::string(1680, '\0'));
  EXPECT_EQ(nameOf(2), "Suzuki");
  EXPECT_EQ(scanned(history::Scan::Live), (std::vector<long>{1}));
  EXPECT_EQ(scanned(history::Scan::Deleted), (std::vector<long>{2}));
}

// Files left one record apart by an older program (its appends wrote each
// file at its own count): a new entry is written at the attribute file's
// next number in both files, and the entry without a clinical record reads
// with blank clinical fields, not with the zeros between.
TEST_F(HistoryStore, ClinicalFileBehindTheAttributeFile) {
  append("one");
  append("two");
  append("three");
  std::filesystem::resize_file("EKG_DATA/EKGDATA_2", 4000);
  EXPECT_EQ(history::clinicalCount(), 2);
  EXPECT_EQ(append("four"), 4);
  EXPECT_EQ(memoOf(4), "four");
  auto three = history::readEntry(3);
  ASSERT_TRUE(three);
  EXPECT_EQ(three->attributes[AttributeField::Name], "three");
  EXPECT_EQ(three->clinical.values, common::ClinicalValues{}.values);
}

TEST_F(HistoryStore, DeletionMarkIsTheOnlyChange) {
  append("one");
  append("two");
  const std::string attributes = dir_.read("EKG_DATA/EKGDATA_1");
  const std::string clinical = dir_.read("EKG_DATA/EKGDATA_2");
  EXPECT_TRUE(history::markDeleted(1));
  std::string expected = attributes;
  expected.replace(310, 10, "del       ");
  EXPECT_EQ(dir_.read("EKG_DATA/EKGDATA_1"), expected);
  EXPECT_EQ(dir_.read("EKG_DATA/EKGDATA_2"), clinical);
  EXPECT_FALSE(history::markDeleted(3));
  EXPECT_FALSE(history::markDeleted(0));
  EXPECT_EQ(dir_.read("EKG_DATA/EKGDATA_1"), expected);
  // The next registration takes the next number, deleted entries included.
  EXPECT_EQ(append("three"), 3);
}

// The whole history read forwards in blocks gives each entry as reading it
// alone does: across the end of a block, up to a trailing record cut short,
// and past the end of a clinical file that stops early.
TEST_F(HistoryStore, ForwardReadGivesEachEntryAsReadingItAlone) {
  constexpr long kEntries = 2050;  // more than one block
  std::string attributes;
  std::string clinical;
  for (long n = 1; n <= kEntries; ++n) {
    common::ExamineeRecord r;
    r.NAME = "N" + std::to_string(n);
    r.MEMO = "M" + std::to_string(n);
    attributes += common::encode(common::attributesOf(r, "2024/05/07"));
    if (n < kEntries) clinical += common::encode(common::clinicalOf(r, "2024/05/07"));
  }
  attributes.resize(attributes.size() - 1500);
  dir_.write("EKG_DATA/EKGDATA_1", attributes);
  dir_.write("EKG_DATA/EKGDATA_2", clinical);

  long next = 1;
  history::forEachEntry([&](const history::Entry& entry) {
    ASSERT_EQ(entry.number, next++);
    const auto alone = history::readEntry(entry.number);
    ASSERT_TRUE(alone);
    EXPECT_EQ(entry.attributes.values, alone->attributes.values) << entry.number;
    EXPECT_EQ(entry.clinical.values, alone->clinical.values) << entry.number;
  });
  EXPECT_EQ(next, kEntries + 1);
  EXPECT_EQ(nameOf(2049), "N2049");
  EXPECT_EQ(memoOf(2049), "M2049");
  EXPECT_EQ(nameOf(kEntries), "N2050");
  EXPECT_EQ(memoOf(kEntries), "");
}

// Missing files are created empty; nothing is found in them.
TEST_F(HistoryStore, MissingFilesMeanNoEntries) {
  EXPECT_EQ(history::attributeCount(), 0);
  EXPECT_TRUE(scanned(history::Scan::Live).empty());
  EXPECT_FALSE(history::readEntry(1));
  EXPECT_FALSE(history::markDeleted(1));
  EXPECT_EQ(append("first"), 1);
}

}  // namespace
