// The input method on Windows: the input context of the focused box's
// window through IMM32, opened in full-width hiragana or closed.
#include <QGuiApplication>
#include <QWidget>

#include "framework/form/internal/platform/imm32_modes.h"
#include "framework/form/internal/platform/ime_platform.h"

namespace fw::internal::ime_platform {

ImeFramework detect() {
  // Windows nobody sees (the test runs) type nothing.
  const QString platform = QGuiApplication::platformName();
  if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) {
    return ImeFramework::None;
  }
  return ImeFramework::Imm32;
}

void switchFor(ImeFramework framework, QWidget* widget, ImeAction action) {
  if (framework != ImeFramework::Imm32 || !widget || action == ImeAction::Leave) return;
  // Qt's widgets share their top-level window's handle and input context.
  imm32::setMode(reinterpret_cast<HWND>(widget->window()->winId()), action == ImeAction::Open);
}

}  // namespace fw::internal::ime_platform
