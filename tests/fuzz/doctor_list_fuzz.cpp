// The doctor list read from any file through the quoted-item reader: never
// a runtime error, every entry trimmed and not empty; the entries that can
// be stored, written as a new list, read back as they were.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "common/doctor_list_file.h"
#include "framework/core/error.h"
#include "framework/core/strings.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::enterScratchDirectory();
  fuzz::writeFile("EKG_SYS/HOKENNI", data, size);

  // Any bytes at all: a runtime error escaping here ends the run as a fault.
  const std::vector<fw::Str> doctors = common::readDoctorList();
  std::vector<fw::Str> storable;
  for (const fw::Str& d : doctors) {
    FUZZ_CHECK(!d.empty());
    FUZZ_CHECK(fw::trim(d) == d);
    if (common::storableDoctorName(d)) storable.push_back(d);
  }
  FUZZ_CHECK(doctors.size() <= size);

  common::writeDoctorList(storable);
  FUZZ_CHECK(common::readDoctorList() == storable);
  return 0;
}
