// CSV export from the history list's context menu, read back by Python's csv
// module as a spreadsheet user's script would: every stored field of every
// entry, names with commas, quotes and full-width spaces included.
#include <gtest/gtest.h>

#include <QByteArray>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/history_format.h"
#include "framework/core/cp932.h"
#include "framework/core/files.h"
#include "framework/core/open_file.h"
#include "history/store/store.h"
#include "history/texts.h"
#include "tests/history/history_fixture.h"

namespace history_test {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// The file parsed by csv.reader(encoding="cp932"), back as UTF-8 rows.
Rows readWithPython(const std::string& path) {
  const std::string out = path + ".rows";
  const std::string script =
      "import csv,sys\n"
      "with open(sys.argv[1], newline='', encoding='cp932') as f, "
      "open(sys.argv[2], 'w', encoding='utf-8', newline='') as o:\n"
      "  for row in csv.reader(f):\n"
      "    o.write('\\x1f'.join(row) + '\\x1e')\n";
  const std::string command =
      "/usr/bin/python3 -c \"$S\" '" + path + "' '" + out + "'";
  qputenv("S", QByteArray::fromStdString(script));
  EXPECT_EQ(std::system(command.c_str()), 0) << "python3 could not read " << path;
  const std::string bytes = HistoryFiles::readFile(out);
  Rows rows;
  std::vector<std::string> row;
  std::string cell;
  for (char c : bytes) {
    if (c == '\x1f' || c == '\x1e') {
      row.push_back(cell);
      cell.clear();
      if (c == '\x1e') rows.push_back(std::move(row)), row.clear();
    } else {
      cell += c;
    }
  }
  return rows;
}

// What the row of entry n must hold: the number, then every stored value.
std::vector<std::string> expectedRow(long n) {
  const auto entry = history::readEntry(n);
  std::vector<std::string> row{std::to_string(n)};
  if (!entry) return row;
  for (const Str& v : entry->attributes.values) row.push_back(fw::toUtf8(v));
  for (const Str& v : entry->clinical.values) row.push_back(fw::toUtf8(v));
  return row;
}

class CsvExportTest : public HistoryTest {
 protected:
  std::string exportVia(int menuItem) {
    const std::string path = cwd.path() + "/out.csv";
    answers.saveFileAnswers = {Str(path)};
    answers.messageAnswers = {fw::mb::ResOK};
    fw::testing::chooseMenuItem(form2("LIST1"), menuItem);
    fw::waitForEvents();
    return path;
  }
};

TEST_F(CsvExportTest, EveryFieldSurvivesTheRoundTripThroughPythonsCsvModule) {
  common::ExamineeRecord comma = examinee("1", "山田,太郎"_sj, "123");
  comma.MEMO = "メモ, \"引用\" と\r\n改行"_sj;
  comma.DOCTOR = "医師\"A\""_sj;
  comma.SEX_MALE = 1;
  files.add(comma)
      .add(examinee("2", "佐藤\"花子\""_sj))
      .add(examinee("3", "鈴木　一郎"_sj), /*deleted=*/true)
      .add(examinee("4", "田中　　次郎"_sj))
      .write();
  openHistoryWindow();

  // The list as shown: live entries, newest first.
  const std::string shown = exportVia(0);
  const std::string bytes = HistoryFiles::readFile(shown);
  ASSERT_FALSE(bytes.empty());
  for (std::size_t i = bytes.find('\n'); i != std::string::npos; i = bytes.find('\n', i + 1)) {
    // Line ends are CR LF; the one LF of the memo is inside quotes with its CR.
    EXPECT_EQ(bytes[i - 1], '\r') << "at byte " << i;
  }
  Rows rows = readWithPython(shown);
  ASSERT_EQ(rows.size(), 4u);
  EXPECT_EQ(rows[0].size(), 1u + common::kAttributeFieldCount + common::kClinicalFieldCount);
  EXPECT_EQ(rows[0][0], "登録番号");
  EXPECT_EQ(rows[0][9], "氏名");
  EXPECT_EQ(rows[1], expectedRow(4));
  EXPECT_EQ(rows[2], expectedRow(2));
  EXPECT_EQ(rows[3], expectedRow(1));
  EXPECT_EQ(rows[3][9], "山田,太郎");
  EXPECT_EQ(rows[2][9], "佐藤\"花子\"");
  EXPECT_EQ(rows[1][9], "田中　　次郎");
  EXPECT_EQ(rows[3][1 + 22 + 17], "メモ, \"引用\" と\r\n改行");
  ASSERT_EQ(answers.saveFileDialogs.size(), 1u);
  EXPECT_EQ(answers.saveFileDialogs[0].title, history::text::kCsvTitle);
  EXPECT_EQ(answers.messages.back().text, history::text::csvSaved(" 3"));

  // The whole history: every entry in number order, the deleted one marked.
  rows = readWithPython(exportVia(1));
  ASSERT_EQ(rows.size(), 5u);
  for (long n = 1; n <= 4; ++n) EXPECT_EQ(rows[static_cast<std::size_t>(n)], expectedRow(n));
  EXPECT_EQ(rows[3][22], "del");
  EXPECT_EQ(rows[3][9], "鈴木　一郎");
}

TEST_F(CsvExportTest, AnEmptyHistoryGivesTheHeaderOnly) {
  openHistoryWindow();
  for (int item : {0, 1}) {
    const Rows rows = readWithPython(exportVia(item));
    ASSERT_EQ(rows.size(), 1u) << "menu item " << item;
    EXPECT_EQ(rows[0][0], "登録番号");
  }
}

TEST_F(CsvExportTest, CancelledOrUnwritableLeavesTheProgramRunning) {
  files.addNumbered(2).write();
  openHistoryWindow();
  // Cancelled: nothing written, nothing said.
  fw::testing::chooseMenuItem(form2("LIST1"), 1);
  fw::waitForEvents();
  EXPECT_FALSE(cwd.exists("out.csv"));
  EXPECT_TRUE(answers.messages.empty());

  // A folder that is not there: told, and the window stays.
  answers.saveFileAnswers = {Str(cwd.path() + "/missing/out.csv")};
  answers.messageAnswers = {fw::mb::ResOK};
  fw::testing::chooseMenuItem(form2("LIST1"), 1);
  fw::waitForEvents();
  ASSERT_EQ(answers.messages.size(), 1u);
  EXPECT_EQ(answers.messages[0].text, history::text::kCsvFailed);
  EXPECT_EQ(answers.messages[0].icon, fw::mb::Information);
  EXPECT_TRUE(fw::isOpen(history::FORM2));

  // An old file is replaced whole, never half.
  cwd.write("old.csv", "keep");
  answers.saveFileAnswers = {Str(cwd.path() + "/old.csv")};
  answers.messageAnswers = {fw::mb::ResOK};
  fw::failWritesAfterForTesting(100);
  fw::testing::chooseMenuItem(form2("LIST1"), 1);
  fw::waitForEvents();
  fw::failWritesAfterForTesting(-1);
  EXPECT_EQ(cwd.read("old.csv"), "keep");
  EXPECT_EQ(answers.messages.back().text, history::text::kCsvFailed);
}

// Another program marking a deletion holds the record lock of an entry past
// the export's wait. The entries read before it would end on a line and
// look like the whole history: the old file stays, byte for byte, and no
// temporary file is left beside it.
TEST_F(CsvExportTest, ReadingStoppedByARecordLockKeepsTheOldFile) {
  constexpr long kLocked = 2100;  // past the first block a whole export reads
  files.addNumbered(kLocked + 5).write();
  openHistoryWindow();
  const std::string old = "old,file\r\n\x81";
  cwd.write("out.csv", old);
  std::optional<fw::OpenFile> other(std::in_place, "EKG_DATA\\EKGDATA_1", fw::FileMode::Record,
                                    fw::Share::ReadWrite, common::kHistoryRecordBytes);
  fw::lockRecord(*other, kLocked);
  auto csvFilesBesideIt = [&] {
    int n = 0;
    for (const auto& e : std::filesystem::directory_iterator(cwd.path()))
      n += e.path().filename().string().rfind("out.csv", 0) == 0;
    return n;
  };
  for (int item : {0, 1}) {  // the list as shown (newest first), the whole history
    SCOPED_TRACE(item);
    exportVia(item);
    EXPECT_EQ(answers.messages.back().text, history::text::kCsvFailed);
    const std::string now = cwd.read("out.csv");
    EXPECT_TRUE(now == old) << "the file now holds " << now.size() << " bytes";
    EXPECT_EQ(csvFilesBesideIt(), 1);
  }

  // Without the lock the same export replaces the file whole.
  other.reset();
  const std::string path = exportVia(1);
  EXPECT_EQ(csvFilesBesideIt(), 1);
  EXPECT_EQ(readWithPython(path).size(), static_cast<std::size_t>(kLocked + 6));
}

}  // namespace
}  // namespace history_test
