#include "framework/core/clock.h"

#include <utility>

#include "framework/core/internal/os.h"

namespace fw {
namespace {

std::function<LocalTime()>& installedClock() {
  static std::function<LocalTime()> clock;
  return clock;
}

}  // namespace

LocalTime now() {
  const auto& clock = installedClock();
  return clock ? clock() : os::localNow();
}

void setClock(std::function<LocalTime()> clock) { installedClock() = std::move(clock); }

}  // namespace fw
