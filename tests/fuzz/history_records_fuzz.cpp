// The history records read from any bytes: never a failure, values trimmed
// and within their fields; a record written from what was read reads back
// to the same values and writes the same bytes again; no field of a written
// record ends in half a character.
#include <cstdint>
#include <string>

#include "common/history_format.h"
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data),
                               std::min<std::size_t>(size, 2 * common::kHistoryRecordBytes));
  checkRecord(bytes, common::kAttributeSlots, 320, &common::decodeAttributes);
  checkRecord(bytes, common::kClinicalSlots, 810, &common::decodeClinical);

  const common::AttributeValues attributes = common::decodeAttributes(bytes);
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
