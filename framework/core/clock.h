// Today's date and the time of day, from a clock that tests can set.
#pragma once

#include <functional>

namespace fw {

struct LocalTime {
  int year, month, day, hour, minute, second;
};

LocalTime now();
// Replaces the clock (tests); an empty function restores the system clock.
void setClock(std::function<LocalTime()> clock);

}  // namespace fw
