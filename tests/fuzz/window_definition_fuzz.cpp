// The window-definition parser from any bytes, without building a window:
// either a definition whose every geometry value is bounded to what Win32
// can hold (so that no sum or centring formula of the window built from it
// overflows), or a fault with the text the operator will see. The same
// bytes always give the same answer.
#include <cstdint>
#include <span>

#include "framework/form/internal/definition_loader.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

void checkBounded(const fw::internal::ObjectDef& o) {
  FUZZ_CHECK(o.x >= -32768 && o.x <= 32767 && o.y >= -32768 && o.y <= 32767);
  FUZZ_CHECK(o.width >= 0 && o.width <= 32767 && o.height >= 0 && o.height <= 32767);
}

// The number of controls, or -1 with the fault's text.
long parse(std::span<const std::uint8_t> bytes, fw::Str* fault) {
  try {
    const fw::internal::WindowDefinition def = fw::internal::parseDefinition(bytes);
    checkBounded(def.window);
    for (const auto& c : def.controls) checkBounded(c);
    return static_cast<long>(def.controls.size());
  } catch (const fw::internal::DefinitionFault& f) {
    FUZZ_CHECK(!f.message.empty());
    *fault = f.message;
    return -1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> bytes(data, size);
  fw::Str fault;
  const long controls = parse(bytes, &fault);
  fw::Str faultAgain;
  FUZZ_CHECK(parse(bytes, &faultAgain) == controls);
  FUZZ_CHECK(faultAgain == fault);
  return 0;
}
