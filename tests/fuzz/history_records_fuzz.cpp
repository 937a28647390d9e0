// The history records read from any bytes: never a failure, values trimmed
// and within their fields; a record written from what was read reads back
// to the same values and writes the same bytes again; no field of a written
// record ends in half a character. The list line built from a record keeps
// its layout and gives its entry number back from byte 110, and any line at
// all parses to a number the lists can use or to 0.
#include <cstdint>
#include <string>
#include <utility>

#include "common/history_format.h"
#include "common/list_line.h"
#include "framework/core/strings.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

template <class Values, std::size_t N>
void checkRecord(std::string_view bytes, const std::array<common::FieldSlot, N>& slots,
                 std::size_t usedBytes, Values (*decode)(std::string_view)) {
  const Values read = decode(bytes);
  for (std::size_t i = 0; i < N; ++i) {
    const fw::Str& v = read.values[i];
    FUZZ_CHECK(v.size() <= static_cast<std::size_t>(slots[i].widthBytes));
    FUZZ_CHECK(fw::trim(v) == v);
    FUZZ_CHECK(v.find('\0') == fw::Str::npos);
  }

  const fw::Str written = common::encode(read);
  FUZZ_CHECK(written.size() == static_cast<std::size_t>(common::kHistoryRecordBytes));
  FUZZ_CHECK(written.find_first_not_of('\0', usedBytes) == fw::Str::npos);
  for (const common::FieldSlot& slot : slots) {
    const std::string_view field(written.data() + slot.offsetBytes, slot.widthBytes);
    FUZZ_CHECK(fuzz::endsOnWholeCharacter(field));
    FUZZ_CHECK(field.find('\0') == std::string_view::npos);
  }

  const Values again = decode(written);
  for (std::size_t i = 0; i < N; ++i) {
    const fw::Str& before = read.values[i];
    const fw::Str& after = again.values[i];
    // Only a lead byte left without its trail byte is given up.
    FUZZ_CHECK(before.compare(0, after.size(), after) == 0);
    if (fuzz::endsOnWholeCharacter(before)) FUZZ_CHECK(after == before);
  }
  FUZZ_CHECK(common::encode(again) == written);
}

// The list line of the record, as both history lists build it.
void checkListLine(std::string_view bytes, const common::AttributeValues& attributes) {
  std::uint32_t seed = 0;
  for (std::size_t i = 0; i < std::min<std::size_t>(bytes.size(), 4); ++i)
    seed = seed << 8 | static_cast<unsigned char>(bytes[i]);
  const long entry = 1 + static_cast<long>(seed % 2147483647u);
  const long lineNumber = 1 + static_cast<long>(seed % 9999u);
  const int blanks = static_cast<int>(seed % 17u);
  for (auto column : {common::ListColumn::Number, common::ListColumn::ChartNumber}) {
    const fw::Str line = common::historyListLine(lineNumber, attributes, column, entry, blanks);
    const fw::Str number = std::to_string(entry);
    FUZZ_CHECK(line.size() == common::kListEntryNumberByte - 1 + number.size() + blanks);
    FUZZ_CHECK(line.compare(common::kListEntryNumberByte - 1, number.size(), number) == 0);
    // Number, name, birth date and examination date are cut on whole
    // characters: none spills into the gap after it.
    for (auto [first, width] : {std::pair{8, 12}, {24, 24}, {56, 20}, {86, 20}}) {
      FUZZ_CHECK(fuzz::endsOnWholeCharacter(std::string_view(line).substr(first - 1, width)));
      FUZZ_CHECK(line[first - 2] == ' ' && line[first + width - 1] == ' ');
    }
    FUZZ_CHECK(common::entryNumberOfListLine(line) == entry);
  }
  // The input itself taken for a line (a list item edited or cut short).
  const long parsed = common::entryNumberOfListLine(fw::Str(bytes));
  FUZZ_CHECK(parsed >= 0 && parsed <= 2147483647L);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data),
                               std::min<std::size_t>(size, 2 * common::kHistoryRecordBytes));
  checkRecord(bytes, common::kAttributeSlots, 320, &common::decodeAttributes);
  checkRecord(bytes, common::kClinicalSlots, 810, &common::decodeClinical);

  const common::AttributeValues attributes = common::decodeAttributes(bytes);
  checkListLine(bytes, attributes);
  for (int f = 0; f < common::kAttributeFieldCount; ++f) {
    const auto field = static_cast<common::AttributeField>(f);
    FUZZ_CHECK(common::attributeField(bytes, field) == attributes[field]);
  }
  FUZZ_CHECK(common::isDeleted(bytes) ==
             (attributes[common::AttributeField::DeletionMark] == common::kDeletedMark));

  // Through the examinee, as opening an entry and registering it again does:
  // the second registration stores what the first one read.
  const common::ClinicalValues clinical = common::decodeClinical(bytes);
  const common::ExamineeRecord examinee = common::examineeOf(attributes, clinical);
  FUZZ_CHECK(examinee.EXAM_AM + examinee.EXAM_PM <= 1);
  FUZZ_CHECK(examinee.SEX_MALE + examinee.SEX_FEMALE <= 1);
  FUZZ_CHECK(examinee.MASTER_HALF + examinee.MASTER_QUARTER + examinee.MASTER_DOUBLE <= 1);
  FUZZ_CHECK(examinee.REQUEST_KIND >= -1);
  const fw::Str date = "2024/05/07";
  const fw::Str storedOnce = common::encode(common::attributesOf(examinee, date));
  const common::ExamineeRecord reopened =
      common::examineeOf(common::decodeAttributes(storedOnce), clinical);
  FUZZ_CHECK(common::encode(common::attributesOf(reopened, date)) == storedOnce);
  const fw::Str clinicalOnce = common::encode(common::clinicalOf(examinee, date));
  const common::ExamineeRecord reopenedClinical =
      common::examineeOf(attributes, common::decodeClinical(clinicalOnce));
  FUZZ_CHECK(common::encode(common::clinicalOf(reopenedClinical, date)) == clinicalOnce);
  return 0;
}
