#include "framework/core/clock.h"

#include <ctime>
#include <utility>

namespace fw {
namespace {

std::function<LocalTime()>& installedClock() {
  static std::function<LocalTime()> clock;
  return clock;
}

LocalTime systemNow() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace

LocalTime now() {
  const auto& clock = installedClock();
  return clock ? clock() : systemNow();
}

void setClock(std::function<LocalTime()> clock) { installedClock() = std::move(clock); }

}  // namespace fw
