#include "history/store/csv_export.h"

#include <array>
#include <functional>
#include <string_view>

#include "framework/core/files.h"
#include "framework/core/numbers.h"
#include "framework/core/open_file.h"
#include "framework/core/strings.h"

namespace history {

using common::AttributeField;
using common::ClinicalField;
using fw::Str;
using namespace fw::literals;

namespace {

// Column titles, in record order: the attribute record's 22 fields, then the
// clinical record's 21.
const std::array<const char*, common::kAttributeFieldCount> kAttributeTitles{
    "番号", "検査年", "検査月", "検査日", "午前午後", "検査時", "検査分", "カルテ番号",
    "氏名", "生年", "生月", "生日", "年齢", "性別", "病院名", "外来入院", "依頼区分",
    "登録日", "予備1", "予備2", "予備3", "削除"};
const std::array<const char*, common::kClinicalFieldCount> kClinicalTitles{
    "担当医", "体重", "最高血圧", "最低血圧", "服薬", "妊娠月数", "心電図", "マスター",
    "その他負荷", "ミネソタコード", "所見名", "医師所見", "登録日（臨床）", "予備4",
    "予備5", "予備6", "予備7", "メモ", "予備8", "予備9", "予備10"};
constexpr const char* kEntryNumberTitle = "登録番号";

Str quoted(std::string_view value) {
  // CP932 trail bytes never take the values of these ASCII characters.
  if (value.find_first_of(",\"\r\n") == std::string_view::npos) return Str(value);
  Str out = "\"";
  for (char c : value) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

template <class Values>
void appendFields(Str& line, const Values& values) {
  for (const Str& value : values.values) {
    line += ',';
    line += quoted(value);
  }
}

}  // namespace

Str csvHeaderLine() {
  Str line = fw::sj(kEntryNumberTitle);
  for (const char* title : kAttributeTitles) line += "," + quoted(fw::sj(title));
  for (const char* title : kClinicalTitles) line += "," + quoted(fw::sj(title));
  return line + fw::CRLF;
}

Str csvLine(const Entry& entry) {
  Str line = std::to_string(entry.number);
  appendFields(line, entry.attributes);
  appendFields(line, entry.clinical);
  return line + fw::CRLF;
}

namespace {

using LineSink = std::function<void(const Entry&)>;

// Writes the header and the lines `lines` hands to its sink to `path`,
// replacing an existing file only once the last line is written. A failure
// while reading the history leaves by the exception, which abandons the
// rewrite: part of the history would look like all of it.
long writeCsv(const Str& path, const std::function<void(const LineSink&)>& lines) {
  fw::OpenFile file(path, fw::FileMode::Rewrite, fw::Share::ReadWrite);
  fw::writeText(file, csvHeaderLine());
  long written = 0;
  lines([&](const Entry& entry) {
    fw::writeText(file, csvLine(entry));
    ++written;
  });
  file.commit();
  return written;
}

}  // namespace

long writeHistoryCsv(const Str& path, const std::vector<long>& entryNumbers) {
  return writeCsv(path, [&](const LineSink& line) {
    for (long n : entryNumbers) {
      if (const std::optional<Entry> entry = readEntry(n)) line(*entry);
    }
  });
}

long writeWholeHistoryCsv(const Str& path) {
  return writeCsv(path, [](const LineSink& line) { forEachEntry(line); });
}

}  // namespace history
