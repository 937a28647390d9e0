#include "framework/form/internal/platform/imm32_modes.h"

#include <imm.h>

namespace fw::internal::imm32 {

bool setMode(HWND window, bool open) {
  const HIMC context = ImmGetContext(window);
  if (!context) return false;
  ImmSetOpenStatus(context, open ? TRUE : FALSE);
  // Hiragana: the conversion mode of the boxes that take Japanese; the
  // sentence mode is left as the user set it.
  if (open) {
    DWORD conversion = 0, sentence = 0;
    ImmGetConversionStatus(context, &conversion, &sentence);
    conversion = (conversion & ~(IME_CMODE_KATAKANA | IME_CMODE_ALPHANUMERIC)) |
                 IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE;
    ImmSetConversionStatus(context, conversion, sentence);
  }
  ImmReleaseContext(window, context);
  return true;
}

}  // namespace fw::internal::imm32
