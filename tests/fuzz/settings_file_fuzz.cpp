// The single-value settings read from any file: never a runtime error, the
// value trimmed, without zero bytes and at most 100 bytes; written back it
// reads back the same, and the readers built on it stay in their ranges.
#include <cstdint>
#include <string>

#include "common/doctor_list_file.h"
#include "common/history_format.h"
#include "common/paths.h"
#include "common/settings_file.h"
#include "framework/core/strings.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::enterScratchDirectory();
  size = std::min<std::size_t>(size, 600);
  fuzz::writeFile("EKG_SYS/INSA_FO", data, size);
  fuzz::writeFile("EKG_SYS/HOKENNI_DF", data, size);
  fuzz::writeFile("EKG_SYS/RIRE_SAIDA_G", data, size);

  const fw::Str fallback = "fallback";
  const fw::Str value = common::readSetting(common::files::kPrintFont, fallback);
  FUZZ_CHECK(value.size() <= static_cast<std::size_t>(common::kSettingValueBytes));
  FUZZ_CHECK(fw::trim(value) == value);
  FUZZ_CHECK(value.find('\0') == fw::Str::npos);
  FUZZ_CHECK(!value.empty());
  if (size == 0) FUZZ_CHECK(value == fallback);
  FUZZ_CHECK(common::settingWritten(common::files::kPrintFont) == (size > 0));

  const int listSize = common::readListSizeIndex(common::files::kHistoryListSize);
  FUZZ_CHECK(listSize >= 0 && listSize < static_cast<int>(common::kListSizes.size()));
  FUZZ_CHECK(common::readDefaultPosition() >= -1);
  (void)common::switchedOn(common::files::kPrintFont);

  if (value != fallback) {
    common::writeSetting(common::files::kPrintFont, value);
    const std::string bytes = fuzz::readFile("EKG_SYS/INSA_FO");
    FUZZ_CHECK(bytes.size() == std::max<std::size_t>(size, common::kSettingRecordBytes));
    std::string expected = value;
    expected.resize(common::kSettingValueBytes, ' ');
    expected.resize(common::kSettingRecordBytes, '\0');
    FUZZ_CHECK(bytes.compare(0, common::kSettingRecordBytes, expected) == 0);
    FUZZ_CHECK(common::readSetting(common::files::kPrintFont, fallback) == value);
  }
  return 0;
}
