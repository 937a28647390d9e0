// Looks shared by every window of the program.
#pragma once

#include <cstdint>

namespace common {

// Background of the program's windows, RGB(241, 245, 250) with red in the
// lowest byte (the framework's colour value); erasing a mark means drawing
// in it.
inline constexpr uint32_t kWindowBackground = 241u | (245u << 8) | (250u << 16);

}  // namespace common
