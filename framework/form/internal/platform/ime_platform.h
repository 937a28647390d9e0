// The seam between the input-method layer (input_method.cpp: which box, when
// and how often to ask) and the platform's input method service: fcitx5 and
// IBus over D-Bus on Linux (ime_dbus.cpp), IMM32 on Windows (ime_imm32.cpp).
// Only the files behind this seam use a platform's own headers.
//
// Nothing here blocks or reports: a call that cannot be carried out (no
// service, no session bus, a window nobody sees) does nothing.
#pragma once

#include "framework/form/internal/input_method.h"

class QWidget;

namespace fw::internal::ime_platform {

// The service this process's typing goes through; None where the boxes
// cannot switch it (windows nobody sees, as in the test runs, or no service
// Qt's input module talks to).
ImeFramework detect();

// Opens or closes the input method for `widget`, the box that has the focus,
// through `framework` as detect() gave it. ImeAction::Leave does nothing.
void switchFor(ImeFramework framework, QWidget* widget, ImeAction action);

}  // namespace fw::internal::ime_platform
