#include "common/record_layout.h"

#include "framework/core/strings.h"

namespace common {

std::string_view slotBytes(std::string_view record, FieldSlot slot) {
  const auto at = static_cast<std::size_t>(slot.offsetBytes);
  if (at >= record.size()) return {};
  return record.substr(at, static_cast<std::size_t>(slot.widthBytes));
}

void putSlot(fw::Str& record, FieldSlot slot, const fw::Str& value) {
  record.replace(static_cast<std::size_t>(slot.offsetBytes),
                 static_cast<std::size_t>(slot.widthBytes), fw::fitWhole(value, slot.widthBytes));
}

}  // namespace common
