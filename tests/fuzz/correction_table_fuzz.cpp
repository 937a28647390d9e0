// The print position corrections read from any file: never a runtime error,
// every value trimmed and within its five bytes; writing what was read and
// reading it again gives the stored form of each value, and a second write
// the same bytes.
#include <cmath>
#include <cstdint>
#include <string>

#include "common/correction_file.h"
#include "framework/core/error.h"
#include "framework/core/numbers.h"
#include "framework/core/strings.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::enterScratchDirectory();
  size = std::min<std::size_t>(size, 4100);
  fuzz::writeFile("EKG_SYS/P_TYOUSEI", data, size);

  const common::CorrectionTable read = common::readCorrections();
  FUZZ_CHECK(read.hasRecord == (size > 0));
  for (int item = 1; item <= common::kChartItemCount; ++item) {
    for (common::Axis axis : {common::Axis::Vertical, common::Axis::Horizontal}) {
      const fw::Str& v = read.text(item, axis);
      FUZZ_CHECK(v.size() <= static_cast<std::size_t>(common::kCorrectionValueBytes));
      FUZZ_CHECK(fw::trim(v) == v);
      if (size == 0) FUZZ_CHECK(v == "0");
    }
    FUZZ_CHECK(std::isfinite(read.dyMillimetres(item)) && std::isfinite(read.dxMillimetres(item)));
  }

  common::writeCorrections(read.vertical, read.horizontal);
  const std::string first = fuzz::readFile("EKG_SYS/P_TYOUSEI");
  FUZZ_CHECK(first.size() == std::max<std::size_t>(size, common::kCorrectionRecordBytes));
  // Records after the first are left as they were.
  if (size > 2000) FUZZ_CHECK(first.compare(2000, std::string::npos,
                                            reinterpret_cast<const char*>(data) + 2000,
                                            size - 2000) == 0);
  const common::CorrectionTable back = common::readCorrections();
  FUZZ_CHECK(back.hasRecord);
  for (int item = 1; item <= common::kChartItemCount; ++item) {
    FUZZ_CHECK(back.vertical[item] == common::normaliseCorrection(read.vertical[item]));
    FUZZ_CHECK(back.horizontal[item] == common::normaliseCorrection(read.horizontal[item]));
    FUZZ_CHECK(back.dyMillimetres(item) == read.dyMillimetres(item));
    FUZZ_CHECK(back.dxMillimetres(item) == read.dxMillimetres(item));
  }
  common::writeCorrections(back.vertical, back.horizontal);
  FUZZ_CHECK(fuzz::readFile("EKG_SYS/P_TYOUSEI") == first);
  return 0;
}
