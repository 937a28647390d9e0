// The search index against the plain scan: whatever wrote the history (the
// store, or a plain writer that knows nothing of the index), and whatever
// became of the index file, every search gives what the scan gives.
#include "history/store/search_index.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <vector>

#include "history/store/search.h"
#include "tests/history/history_files.h"
#include "tests/support/temp_dir.h"

namespace history_test {
namespace {

using history::Column;
using history::Matcher;
using history::Scan;
using history::SearchKind;
using namespace fw::literals;

constexpr const char* kIndex = "EKG_DATA/EKGDATA_1.idx";
constexpr const char* kAttributes = "EKG_DATA/EKGDATA_1";

// Writes records the way a program without the index does: in place, or at
// the end of the file, nothing else.
void writeAt(const char* path, long n, const Str& bytes) {
  std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
  f.seekp(static_cast<std::streamoff>(n - 1) * 2000);
  f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
void appendTo(const char* path, const Str& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::app)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
long recordsOf(const char* path) {
  return static_cast<long>((std::filesystem::file_size(path) + 1999) / 2000);
}

class SearchIndexTest : public ::testing::Test {
 protected:
  ~SearchIndexTest() override { history::useSearchIndex(true); }

  Str pick(const std::vector<Str>& parts, int most) {
    Str s;
    const int n = 1 + static_cast<int>(random() % most);
    for (int i = 0; i < n; ++i) s += parts[random() % parts.size()];
    return s;
  }
  AttributeValues randomAttributes() {
    AttributeValues a;
    a[AttributeField::Name] = pick(nameParts, 4);
    a[AttributeField::ExamNo] = pick(numberParts, 2);
    a[AttributeField::ChartNo] = "0000000" + pick(numberParts, 2);
    if (random() % 5 == 0) a[AttributeField::DeletionMark] = Str(common::kDeletedMark);
    return a;
  }
  Matcher randomMatcher() {
    const SearchKind kind = static_cast<SearchKind>(random() % 3);
    const Str answer =
        kind == SearchKind::Name ? pick(nameParts, 2) : pick(numberParts, 2);
    return Matcher(kind, history::searchKey(kind, answer));
  }

  struct Answer {
    long newest;
    std::vector<Str> attributes;
    std::vector<Str> live, deleted;
    std::map<long, history::RecordStamp> stamps;
    bool operator==(const Answer&) const = default;
  };
  Answer answer(const Matcher& m, bool indexed) {
    history::useSearchIndex(indexed);
    const history::Found found = history::findNewest(m, {});
    const history::Listing live = history::listEntries(Scan::Live, Column::Number, 1000, &m, {});
    const history::Listing deleted =
        history::listEntries(Scan::Deleted, Column::ChartNumber, 1000, &m, {});
    return {found.entry,
            std::vector<Str>(found.attributes.values.begin(), found.attributes.values.end()),
            live.lines, deleted.lines, live.stamps};
  }
  // Every kind of search, with the index and by the plain scan.
  void expectSameAnswers(const std::string& after) {
    SCOPED_TRACE(after);
    for (int i = 0; i < 6; ++i) {
      const Matcher m = randomMatcher();
      const Answer plain = answer(m, false);
      ASSERT_TRUE(answer(m, true) == plain);
      found += plain.live.size() + plain.deleted.size();
    }
    // The index was used and covers the whole history.
    ASSERT_EQ(std::filesystem::file_size(kIndex),
              static_cast<std::uintmax_t>(history::kSearchIndexRecordBytes) *
                  (recordsOf(kAttributes) + 1));
  }

  const std::vector<Str> nameParts = {"山"_sj, "田"_sj, "　"_sj, "a",  "A",  "ａ"_sj,
                                      "ｶ"_sj,  "ﾞ"_sj,  "ガ"_sj, "カ"_sj, "1", "１"_sj};
  const std::vector<Str> numberParts = {"1", "2", "a", "A", "１"_sj, "ａ"_sj};
  std::mt19937 random{20261209};
  std::size_t found = 0;
  tessivo::test::TempCwd cwd;
  HistoryFiles files;
};

// Random histories changed between searches by the store and by a writer
// that keeps no index: appends (several at once too), overwrites and
// deletion marks, and the deletion of the index itself.
TEST_F(SearchIndexTest, EverySearchGivesWhatThePlainScanGives) {
  for (int i = 0; i < 40; ++i) files.addNumbered(1);
  files.write();
  expectSameAnswers("the first search builds the index");
  for (int step = 0; step < 60; ++step) {
    const long count = recordsOf(kAttributes);
    const long n = 1 + static_cast<long>(random() % count);
    const AttributeValues a = randomAttributes();
    std::string what;
    switch (random() % 7) {
      case 0:
        history::appendEntry(a, {});
        what = "store append";
        break;
      case 1:
        history::overwriteEntry(n, a, {});
        what = "store overwrite";
        break;
      case 2:
        history::markDeleted(n);
        what = "store deletion";
        break;
      case 3:
        for (int k = 0, more = 1 + static_cast<int>(random() % 3); k < more; ++k)
          appendTo(kAttributes, common::encode(randomAttributes()));
        what = "plain appends";
        break;
      case 4:
        writeAt(kAttributes, n, common::encode(a));
        what = "plain overwrite";
        break;
      case 5: {
        const common::FieldSlot mark = common::slotOf(AttributeField::DeletionMark);
        std::fstream f(kAttributes, std::ios::binary | std::ios::in | std::ios::out);
        f.seekp(static_cast<std::streamoff>(n - 1) * 2000 + mark.offsetBytes);
        f.write("del       ", mark.widthBytes);
        what = "plain deletion";
        break;
      }
      case 6:
        std::filesystem::remove(kIndex);
        what = "index removed";
        break;
    }
    expectSameAnswers("step " + std::to_string(step) + ": " + what + " of " + std::to_string(n));
  }
  EXPECT_GT(found, 200u);  // the searches did find entries, not only nothing
}

// A damaged or stale index is built anew, never believed: the searches
// answer as the scan does, and the file comes back as a fresh build makes it.
TEST_F(SearchIndexTest, DamagedOrStaleIndexIsBuiltAnew) {
  for (int i = 0; i < 300; ++i) files.add(examinee(std::to_string(i % 7), "山田"_sj + std::to_string(i)));
  files.write();
  const Matcher m(SearchKind::Number, "3");
  const Answer plain = answer(m, false);
  ASSERT_EQ(plain.live.size(), 43u);
  answer(m, true);
  const Str fresh = HistoryFiles::readFile(kIndex);
  ASSERT_EQ(fresh.size(), 301u * history::kSearchIndexRecordBytes);

  // A byte changed in place: the header, an entry's name, an entry's flag.
  auto withByte = [&](std::size_t at, char to) {
    Str s = fresh;
    s.replace(at, 1, 1, to);
    return s;
  };
  Str swapped = fresh;
  swapped.replace(80 * 10, 80, fresh, 80 * 11, 80);
  swapped.replace(80 * 11, 80, fresh, 80 * 10, 80);
  Str garbage = fresh;
  for (char& c : garbage) c = static_cast<char>(c * 7 + 1);
  const std::pair<const char*, Str> damages[] = {
      {"cut short", fresh.substr(0, fresh.size() / 2 + 7)},
      {"empty", Str()},
      {"header garbled", withByte(9, static_cast<char>(fresh[9] ^ 1))},
      {"an entry garbled", withByte(80 * 150 + 1, '3')},
      {"an entry's flag garbled", withByte(80 * 297, 'D')},
      {"entries swapped", swapped},
      {"garbage", garbage},
  };
  for (const auto& [what, bytes] : damages) {
    SCOPED_TRACE(what);
    HistoryFiles::writeFile(kIndex, bytes);
    EXPECT_TRUE(answer(m, true) == plain);
    EXPECT_TRUE(HistoryFiles::readFile(kIndex) == fresh);  // as built anew
  }

  // Stale: the index of an earlier history, the newest record overwritten
  // since by a writer that then put the file's time back.
  const auto time = std::filesystem::last_write_time(kAttributes);
  AttributeValues a;
  a[AttributeField::ExamNo] = "3";
  writeAt(kAttributes, 300, common::encode(a));
  std::filesystem::last_write_time(kAttributes, time);
  const Answer changed = answer(m, false);
  ASSERT_EQ(changed.live.size(), 44u);
  EXPECT_TRUE(answer(m, true) == changed);
  EXPECT_FALSE(HistoryFiles::readFile(kIndex) == fresh);
}

// Building the index of a long history is told to the window (its
// hourglass) and stops on Esc like a long listing; a few records appended
// elsewhere are indexed without a word.
TEST_F(SearchIndexTest, ALongBuildIsToldAndStopsOnEsc) {
  files.addNumbered(5000);
  files.write();
  std::vector<bool> told;
  const history::IndexBuildNoticeScope scope([&](bool on) { told.push_back(on); });
  const Matcher m(SearchKind::Name, history::searchKey(SearchKind::Name, "受検者4999"_sj));
  int asked = 0;
  const history::Found stopped = history::findNewest(m, [&] { return ++asked == 20; });
  EXPECT_TRUE(stopped.stopped);
  EXPECT_EQ(told, (std::vector<bool>{true, false}));
  EXPECT_FALSE(std::filesystem::exists(kIndex));  // nothing half built is kept

  told.clear();
  EXPECT_EQ(history::findNewest(m, {}).entry, 4999);
  EXPECT_EQ(told, (std::vector<bool>{true, false}));
  told.clear();
  appendTo(kAttributes, common::encode(common::attributesOf(examinee("x", "y"), "2024/05/07")));
  EXPECT_EQ(history::findNewest(m, {}).entry, 4999);
  EXPECT_TRUE(told.empty());
  expectSameAnswers("after the append");
}

}  // namespace
}  // namespace history_test
