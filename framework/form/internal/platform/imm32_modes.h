// The input-method modes of one Win32 window through IMM32, without Qt: the
// Windows side of the input-method seam (ime_imm32.cpp) hands it the focused
// box's window, and a test drives it on a plain Win32 window.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace fw::internal::imm32 {

// Opens the window's input method in full-width hiragana (native,
// full-shape conversion), or closes it. False when the window has no input
// context (no input method serves it); nothing is changed then.
bool setMode(HWND window, bool open);

}  // namespace fw::internal::imm32
