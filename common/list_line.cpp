#include "common/list_line.h"

#include <cmath>
#include <string>

#include "framework/core/numbers.h"
#include "framework/core/strings.h"

namespace common {

using fw::Str;
using namespace fw::literals;

namespace {

// Byte offsets where each character of `text` starts.
bool startsCharacter(const Str& text, std::size_t at) {
  std::size_t i = 0;
  while (i < at) i += fw::isLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
  return i == at;
}

// The last `widthBytes` of `text`, blanks on the left when it is shorter;
// the trail byte of a character cut in half becomes a blank.
Str lastBytes(const Str& text, std::size_t widthBytes) {
  if (text.size() <= widthBytes) return Str(widthBytes - text.size(), ' ') + text;
  const std::size_t from = text.size() - widthBytes;
  Str tail = text.substr(from);
  if (!startsCharacter(text, from)) tail[0] = ' ';
  return tail;
}

Str rightAligned(long number, std::size_t widthBytes) {
  return lastBytes(std::to_string(number), widthBytes);
}

Str orBlanks(const Str& value, int blanks) { return value.empty() ? Str(blanks, ' ') : value; }

}  // namespace

Str listPart(const Str& line, ListPart part) {
  const ListSlot slot = listSlot(part);
  return slot.widthBytes == 0 ? fw::mid(line, slot.firstByte)
                              : fw::mid(line, slot.firstByte, slot.widthBytes);
}

Str historyListLine(long lineNumber, const AttributeValues& a, ListColumn column,
                    EntryNumber entryNumber, int trailingBlanks) {
  using A = AttributeField;
  const auto field = [&](A f) { return fw::trim(a[f]); };
  const Str number = field(column == ListColumn::ChartNumber ? A::ChartNo : A::ExamNo);
  const double sexCode = fw::val(field(A::SexCode));
  const Str sex = sexCode == 1 ? "男"_sj : sexCode == 2 ? "女"_sj : Str("  ");

  const Str birthYear = field(A::BirthYear);
  const Str birthMonth = field(A::BirthMonth);
  const Str birthDay = field(A::BirthDay);
  const Str birth = birthYear.empty() && birthMonth.empty() && birthDay.empty()
                        ? Str()
                        : birthYear + "年"_sj + birthMonth + "月"_sj + birthDay + "日生"_sj;

  const Str age = field(A::Age);
  // A full-width age whose last 3 bytes would begin inside a character is
  // shown narrowed: cut at the byte it would lose its tens digit ("５４" as
  // " ４").
  const Str paddedAge = "   " + age;
  const Str shownAge =
      startsCharacter(paddedAge, paddedAge.size() - std::min<std::size_t>(3, paddedAge.size()))
          ? paddedAge
          : "   " + fw::toHalfWidth(age);
  const Str ageText = age.empty() ? Str() : lastBytes(shownAge, 3) + "才"_sj;

  const Str examined = orBlanks(field(A::ExamYear), 4) + "年"_sj +
                       orBlanks(field(A::ExamMonth), 2) + "月"_sj +
                       orBlanks(field(A::ExamDay), 2) + "日"_sj;

  Str line;
  line.reserve(kListEntryNumberByte + 10 + trailingBlanks);
  // Each part at its slot, cut and padded to its width; blanks between.
  auto put = [&](ListPart part, const Str& text) {
    const ListSlot slot = listSlot(part);
    line.resize(static_cast<std::size_t>(slot.firstByte - 1), ' ');
    line += slot.widthBytes == 0 ? text : fw::fitWhole(text, slot.widthBytes);
  };
  put(ListPart::LineNumber, rightAligned(lineNumber, 4));
  put(ListPart::Number, number);
  put(ListPart::Name, field(A::Name));
  put(ListPart::Sex, sex);
  put(ListPart::BirthDate, birth);
  put(ListPart::Age, ageText);
  put(ListPart::ExamDate, examined);
  put(ListPart::EntryNumber, std::to_string(entryNumber));
  line.append(static_cast<std::size_t>(std::max(0, trailingBlanks)), ' ');
  return line;
}

EntryNumber entryNumberOfText(const Str& text) {
  const double n = fw::val(fw::trim(text));
  if (!(n >= 1) || n > 2147483647.0) return 0;
  return static_cast<EntryNumber>(std::floor(n));
}

EntryNumber entryNumberOfListLine(const Str& line) {
  if (line.size() < static_cast<std::size_t>(kListEntryNumberByte)) return 0;
  return entryNumberOfText(listPart(line, ListPart::EntryNumber));
}

}  // namespace common
