#include "history/list_lines.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "framework/core/numbers.h"
#include "framework/core/strings.h"

namespace history {

using fw::Str;
using fw::literals::operator""_sj;

namespace {

// Byte length of the character at s[i] (a lead byte cut off at the end is
// one byte, as the string functions count it).
std::size_t charLength(const Str& s, std::size_t i) {
  return fw::isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

// The first whole characters of `value` that fit in `width` bytes, filled
// with blanks to exactly `width`.
Str column(const Str& value, std::size_t width) {
  std::size_t end = 0;
  while (end < value.size()) {
    const std::size_t next = end + charLength(value, end);
    if (next > width) break;
    end = next;
  }
  Str out = value.substr(0, end);
  out.resize(width, ' ');
  return out;
}

// The last whole characters of `value` that fit in `width` bytes, blanks in
// front to exactly `width`.
Str rightColumn(const Str& value, std::size_t width) {
  std::size_t start = value.size();
  for (std::size_t i = 0; i < value.size();) {
    const std::size_t n = charLength(value, i);
    if (value.size() - i <= width) {
      start = i;
      break;
    }
    i += n;
  }
  return Str(width - (value.size() - start), ' ') + value.substr(start);
}

// Whether the last `width` bytes of `value` begin inside a character.
bool tailStartsInsideCharacter(const Str& value, std::size_t width) {
  if (value.size() <= width) return false;
  const std::size_t cut = value.size() - width;
  std::size_t i = 0;
  while (i < cut) i += charLength(value, i);
  return i != cut;
}

const Str& male() { static const Str s = "男"_sj; return s; }
const Str& female() { static const Str s = "女"_sj; return s; }
const Str& yearMark() { static const Str s = "年"_sj; return s; }
const Str& monthMark() { static const Str s = "月"_sj; return s; }
const Str& dayMark() { static const Str s = "日"_sj; return s; }
const Str& bornMark() { static const Str s = "日生"_sj; return s; }
const Str& ageMark() { static const Str s = "才"_sj; return s; }

Str sexColumn(const Str& code) {
  const double v = fw::val(code);
  if (v == 1) return male();
  if (v == 2) return female();
  return "  ";
}

Str birthColumn(const Str& year, const Str& month, const Str& day) {
  if (year.empty() && month.empty() && day.empty()) return Str(20, ' ');
  return column(year + yearMark() + month + monthMark() + day + bornMark(), 20);
}

Str ageColumn(const Str& age) {
  if (age.empty()) return Str(5, ' ');
  const Str shown = tailStartsInsideCharacter(age, 3) ? fw::toHalfWidth(age) : age;
  return rightColumn(shown, 3) + ageMark();
}

Str examDateColumn(const Str& year, const Str& month, const Str& day) {
  const Str y = year.empty() ? Str(4, ' ') : year;
  const Str m = month.empty() ? Str(2, ' ') : month;
  const Str d = day.empty() ? Str(2, ' ') : day;
  return column(y + yearMark() + m + monthMark() + d + dayMark(), 20);
}

}  // namespace

Str listLine(int lineNumber, const RecordView& r, Column which, long entry) {
  using F = AttributeField;
  Str line;
  line.reserve(kEntryNumberByte + 10);
  line += rightColumn(std::to_string(lineNumber), 4);
  line += Str(3, ' ');
  line += column(r.field(which == Column::Number ? F::ExamNo : F::ChartNo), 12);
  line += Str(4, ' ');
  line += column(r.field(F::Name), 24);
  line += Str(3, ' ');
  line += sexColumn(r.field(F::SexCode));
  line += Str(3, ' ');
  line += birthColumn(r.field(F::BirthYear), r.field(F::BirthMonth), r.field(F::BirthDay));
  line += ' ';
  line += ageColumn(r.field(F::Age));
  line += Str(4, ' ');
  line += examDateColumn(r.field(F::ExamYear), r.field(F::ExamMonth), r.field(F::ExamDay));
  line += Str(4, ' ');
  line += std::to_string(entry);
  return line;
}

LineSelection selectionOf(const Str& line) {
  LineSelection s;
  s.name = fw::trim(fw::mid(line, 24, 24));
  s.examDate = fw::mid(line, 86, 20);
  s.entry = fw::trim(fw::mid(line, kEntryNumberByte));
  return s;
}

long entryNumberOf(const LineSelection& selection) {
  const double v = fw::val(selection.entry);
  if (!(v >= 1)) return 0;
  // Larger than any history can hold: no such entry, never a wrapped number.
  if (v > 2147483647.0) return 2147483647L;
  return static_cast<long>(std::nearbyint(v));
}

}  // namespace history
