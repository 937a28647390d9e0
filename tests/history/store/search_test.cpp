// The search keys and comparisons, the newest match and the listings, on
// history files the tests write.
#include "history/store/search.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/history/history_files.h"
#include "tests/support/temp_dir.h"

namespace history_test {
namespace {

using history::Column;
using history::Matcher;
using history::Scan;
using history::SearchKind;
using history::searchKey;
using namespace fw::literals;

class SearchTest : public ::testing::Test {
 protected:
  long newest(SearchKind kind, const Str& answer) {
    const Matcher m(kind, searchKey(kind, answer));
    return history::findNewest(m, {}).entry;
  }
  tessivo::test::TempCwd cwd;
  HistoryFiles files;
};

TEST(SearchKeys, NarrowedPaddedOrAsTyped) {
  EXPECT_EQ(searchKey(SearchKind::Number, " １２ａ　"_sj), "12a");
  EXPECT_EQ(searchKey(SearchKind::ChartNumber, "123"), "0000000123");
  EXPECT_EQ(searchKey(SearchKind::ChartNumber, "１２３"_sj), "0000000123");
  EXPECT_EQ(searchKey(SearchKind::ChartNumber, "123456789012"), "3456789012");
  EXPECT_EQ(searchKey(SearchKind::Name, "　山田 太郎 "_sj), "山田 太郎"_sj);
}

// The shortcuts that spare the conversions must never change an answer:
// every record is judged as the plain comparison judges it, over names and
// numbers mixing both widths, cases, voiced half-width kana and blanks, and
// over slots whose padding is zero bytes with leftovers behind them.
TEST(SearchComparison, ShortcutsGiveThePlainAnswer) {
  const std::vector<Str> nameParts = {
      "山"_sj, "田"_sj, "太"_sj, "　"_sj, " ", "a", "A", "ａ"_sj, "Ａ"_sj, "ｶ"_sj, "ﾞ"_sj,
      "ガ"_sj, "カ"_sj, "1", "１"_sj, "ｱ"_sj, "ア"_sj, "ー"_sj, "-", "－"_sj, "ﾊ"_sj, "ﾟ"_sj,
      "パ"_sj, "\x93"};
  const std::vector<Str> numberParts = {"1", "2", "a", "A", "１"_sj, "ａ"_sj, "Ａ"_sj, " ",
                                        "　"_sj, "ｱ"_sj, "0"};
  std::mt19937 random(20240507);
  auto pick = [&](const std::vector<Str>& parts, int most) {
    Str s;
    const int n = 1 + static_cast<int>(random() % most);
    for (int i = 0; i < n; ++i) s += parts[random() % parts.size()];
    return s;
  };
  int matched = 0;
  for (int round = 0; round < 400; ++round) {
    const Str nameKey = searchKey(SearchKind::Name, pick(nameParts, 3));
    const Str numberKey = searchKey(SearchKind::Number, pick(numberParts, 3));
    const Str chartKey = searchKey(SearchKind::ChartNumber, pick(numberParts, 3));
    if (nameKey.empty() || numberKey.empty()) continue;
    const Matcher byName(SearchKind::Name, nameKey);
    const Matcher byNumber(SearchKind::Number, numberKey);
    const Matcher byChart(SearchKind::ChartNumber, chartKey);
    for (int i = 0; i < 60; ++i) {
      AttributeValues a;
      a[AttributeField::Name] = pick(nameParts, 12);
      a[AttributeField::ExamNo] = pick(numberParts, 4);
      a[AttributeField::ChartNo] = "00000000" + pick(numberParts, 2);
      Str bytes = common::encode(a);
      for (AttributeField f : {AttributeField::Name, AttributeField::ExamNo,
                               AttributeField::ChartNo}) {
        // Zeros from some byte of the slot on, perhaps with bytes of an older
        // value behind the first one.
        if (random() % 3 != 0) continue;
        const common::FieldSlot slot = common::slotOf(f);
        const int at = slot.offsetBytes + static_cast<int>(random() % slot.widthBytes);
        Str tail(static_cast<std::size_t>(slot.offsetBytes + slot.widthBytes - at), '\0');
        if (random() % 2) {
          const Str old = pick(f == AttributeField::Name ? nameParts : numberParts, 3);
          tail.replace(1, old.size(), old.substr(0, tail.size() - 1));
        }
        bytes.replace(static_cast<std::size_t>(at), tail.size(), tail);
      }
      const history::RecordView r(bytes);
      ASSERT_EQ(byName.matches(r), byName.matchesPlainly(r))
          << "key " << nameKey << " name " << a[AttributeField::Name];
      ASSERT_EQ(byNumber.matches(r), byNumber.matchesPlainly(r))
          << "key " << numberKey << " number " << a[AttributeField::ExamNo];
      ASSERT_EQ(byChart.matches(r), byChart.matchesPlainly(r));
      matched += byName.matches(r) + byNumber.matches(r);
    }
  }
  EXPECT_GT(matched, 100);  // the rounds did exercise matches, not only refusals
}

// The newest live entry of each kind of key, from one history.
TEST_F(SearchTest, NewestLiveMatchOfEachKind) {
  files.add(examinee("12a", "山田　太郎"_sj, "0000000123"))   // 1
      .add(examinee("12A", "田中花子"_sj, "0000001230"))      // 2
      .add(examinee("123", "ﾔﾏﾀﾞ ﾀﾛｳ"_sj))                    // 3
      .add(examinee("7", "Tanaka"))                           // 4
      .add(examinee("7", "鈴木"_sj, "0000000123"), true)      // 5, deleted
      .add(examinee("8", "佐藤"_sj), true);                   // 6, deleted
  files.write();
  // Numbers: upper-cased, then narrowed, on both sides.
  EXPECT_EQ(newest(SearchKind::Number, "１２ａ"_sj), 2);
  EXPECT_EQ(newest(SearchKind::Number, "12a"), 2);
  EXPECT_EQ(newest(SearchKind::Number, "12"), 0);
  EXPECT_EQ(newest(SearchKind::Number, "7"), 4);   // the deleted 5 is newer
  EXPECT_EQ(newest(SearchKind::Number, "8"), 0);   // only a deleted entry
  // Chart numbers: filled with zeros to 10 digits.
  EXPECT_EQ(newest(SearchKind::ChartNumber, "123"), 1);
  EXPECT_EQ(newest(SearchKind::ChartNumber, "１２３"_sj), 1);
  EXPECT_EQ(newest(SearchKind::ChartNumber, "0000001230"), 2);
  EXPECT_EQ(newest(SearchKind::ChartNumber, "23"), 0);
  // Names: anywhere, in either width, case kept.
  EXPECT_EQ(newest(SearchKind::Name, "田"_sj), 2);
  EXPECT_EQ(newest(SearchKind::Name, "山田 太郎"_sj), 1);   // half-width blank typed
  EXPECT_EQ(newest(SearchKind::Name, "ヤマダ　タ"_sj), 3);  // half-width kana stored
  EXPECT_EQ(newest(SearchKind::Name, "ａｎａ"_sj), 4);
  EXPECT_EQ(newest(SearchKind::Name, "ｔａｎ"_sj), 0);
  EXPECT_EQ(newest(SearchKind::Name, "鈴木"_sj), 0);
  EXPECT_EQ(newest(SearchKind::Name, "花子さん"_sj), 0);
}

// A value padded with zero bytes instead of blanks (a record cut short and
// passed by a later append, or left so by an older writer): the list shows
// it up to the first zero, and every search, in both windows, finds it by
// that value and by nothing behind the zero.
TEST_F(SearchTest, AZeroByteEndsAStoredValueAsInTheList) {
  const Str z(1, '\0');
  auto zeros = [](int n) { return Str(static_cast<std::size_t>(n), '\0'); };
  struct Row {
    SearchKind kind;
    Str slotBytes;  // of EXAM_NO, CHART_NO or NAME
    Str answer;
    bool found;
  };
  const Row rows[] = {
      {SearchKind::Number, "123" + zeros(7), "123", true},
      {SearchKind::Number, "123" + zeros(7), "１２３"_sj, true},
      {SearchKind::Number, " 12a" + zeros(6), "12A", true},
      {SearchKind::Number, "123" + z + "45" + zeros(4), "123", true},
      {SearchKind::Number, "123" + z + "45" + zeros(4), "12345", false},
      {SearchKind::Number, "１２"_sj + zeros(6), "12", true},
      {SearchKind::Number, "１２"_sj + z + "3" + zeros(4), "123", false},
      {SearchKind::Number, z + "123" + zeros(6), "123", false},
      {SearchKind::ChartNumber, "0000000123" + zeros(10), "123", true},
      {SearchKind::ChartNumber, "00000001" + z + "23" + zeros(9), "123", false},
      {SearchKind::Name, "山田　太郎"_sj + zeros(30), "山田 太郎"_sj, true},
      {SearchKind::Name, "ﾔﾏﾀﾞ"_sj + zeros(36), "ヤマダ"_sj, true},
      {SearchKind::Name, "山田"_sj + z + "太郎"_sj + zeros(31), "太郎"_sj, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::PrintToString(row.slotBytes) + " searched for " + row.answer);
    const AttributeField field = row.kind == SearchKind::Number       ? AttributeField::ExamNo
                                 : row.kind == SearchKind::ChartNumber ? AttributeField::ChartNo
                                                                       : AttributeField::Name;
    const common::FieldSlot slot = common::slotOf(field);
    ASSERT_EQ(row.slotBytes.size(), static_cast<std::size_t>(slot.widthBytes));
    HistoryFiles one;
    one.add(examinee("9", "x", "0000000009")).write();
    Str record = HistoryFiles::readFile("EKG_DATA/EKGDATA_1");
    record.replace(static_cast<std::size_t>(slot.offsetBytes), row.slotBytes.size(),
                   row.slotBytes);
    HistoryFiles::writeFile("EKG_DATA/EKGDATA_1", record);

    const Matcher m(row.kind, searchKey(row.kind, row.answer));
    EXPECT_EQ(history::findNewest(m, {}).entry, row.found ? 1 : 0);  // main window
    const Column column =
        row.kind == SearchKind::ChartNumber ? Column::ChartNumber : Column::Number;
    const history::Listing listed = history::listEntries(Scan::Live, column, 50, &m, {});
    EXPECT_EQ(listed.lines.size(), row.found ? 1u : 0u);  // history window
  }
  // The record cut short after its number, the rest never written.
  HistoryFiles::writeFile("EKG_DATA/EKGDATA_1", "123" + zeros(1997));
  EXPECT_EQ(newest(SearchKind::Number, "123"), 1);
  const history::Listing all = history::listEntries(Scan::Live, Column::Number, 50, nullptr, {});
  ASSERT_EQ(all.lines.size(), 1u);
  EXPECT_EQ(all.lines[0].substr(7, 12), "123         ");
}

TEST_F(SearchTest, MissingOrEmptyFilesFindNothing) {
  std::filesystem::create_directories("EKG_DATA");
  EXPECT_EQ(newest(SearchKind::Name, "田"_sj), 0);
  files.write();  // no entries: empty files
  EXPECT_EQ(newest(SearchKind::Number, "1"), 0);
  EXPECT_TRUE(history::listEntries(Scan::Live, Column::Number, 50, nullptr, {}).lines.empty());
}

// The stop test is asked at the first record and then every
// kRecordsPerStopTest records; a true answer ends the scan there.
TEST_F(SearchTest, StopTestEndsTheScanAtItsNextAsking) {
  const int every = history::kRecordsPerStopTest;
  files.addNumbered(4 * every);
  files.write();
  int asked = 0;
  const Matcher m(SearchKind::Number, "1");  // entry 1: the last one visited
  const history::Found found = history::findNewest(m, [&] { return ++asked == 3; });
  EXPECT_TRUE(found.stopped);
  EXPECT_EQ(found.entry, 0);
  EXPECT_EQ(asked, 3);

  for (int stopAt : {1, 2, 4}) {
    asked = 0;
    const history::Listing listing = history::listEntries(
        Scan::Live, Column::Number, 1000, nullptr, [&] { return ++asked == stopAt; });
    EXPECT_TRUE(listing.stopped);
    // What was listed before stays.
    EXPECT_EQ(listing.lines.size(), static_cast<std::size_t>((stopAt - 1) * every));
  }
  asked = 0;
  EXPECT_FALSE(history::listEntries(Scan::Live, Column::Number, 1000, nullptr,
                                    [&] { return ++asked == 5; })
                   .stopped);
  EXPECT_EQ(asked, 4);
}

TEST_F(SearchTest, ListingsAreNewestFirstUpToTheLimit) {
  files.addNumbered(120);
  files.write();
  history::Listing l = history::listEntries(Scan::Live, Column::Number, 50, nullptr, {});
  ASSERT_EQ(l.lines.size(), 50u);
  EXPECT_EQ(history::selectionOf(l.lines.front()).entry, "120");
  EXPECT_EQ(l.lines.front().substr(0, 4), "   1");
  EXPECT_EQ(history::selectionOf(l.lines.back()).entry, "71");
  EXPECT_EQ(l.lines.back().substr(0, 4), "  50");
  EXPECT_FALSE(l.stopped);
}

TEST_F(SearchTest, DeletedEntriesUseNoLineNumbers) {
  files.addNumbered(3);
  files.add(examinee("4", "x", "0000000005"), true);
  files.add(examinee("5", "y", "0000000005"));
  files.add(examinee("6", "z", "0000000005"));
  files.write();

  auto entriesOf = [](const history::Listing& l) {
    std::vector<Str> out;
    for (const Str& line : l.lines) out.push_back(line.substr(0, 4) + "#" + line.substr(109));
    return out;
  };
  EXPECT_EQ(entriesOf(history::listEntries(Scan::Live, Column::Number, 50, nullptr, {})),
            (std::vector<Str>{"   1#6", "   2#5", "   3#3", "   4#2", "   5#1"}));
  EXPECT_EQ(entriesOf(history::listEntries(Scan::Deleted, Column::Number, 50, nullptr, {})),
            (std::vector<Str>{"   1#4"}));

  // A chart-number search for 5 lists every live entry stored as 0000000005.
  const Matcher five(SearchKind::ChartNumber, searchKey(SearchKind::ChartNumber, "5"));
  const history::Listing found =
      history::listEntries(Scan::Live, Column::ChartNumber, 50, &five, {});
  EXPECT_EQ(entriesOf(found), (std::vector<Str>{"   1#6", "   2#5"}));
  EXPECT_EQ(found.lines[0].substr(7, 12), "0000000005  ");
  EXPECT_EQ(history::listEntries(Scan::Live, Column::ChartNumber, 1, &five, {}).lines.size(), 1u);
}

}  // namespace
}  // namespace history_test
