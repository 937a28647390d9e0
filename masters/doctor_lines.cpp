#include "masters/doctor_lines.h"

#include "framework/core/numbers.h"
#include "framework/core/strings.h"

namespace masters {

fw::Str displayLine(int number, const fw::Str& entry, bool isDefault) {
  fw::Str line = fw::trim(fw::str(number));
  if (line.size() < 4) line.append(4 - line.size(), ' ');
  line += entry;
  line += isDefault ? fw::Str(" (DEFAULT)") : fw::Str(41, ' ');
  return line;
}

}  // namespace masters
