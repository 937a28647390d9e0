// The operator's input method (kana-kanji conversion) for the box that has
// the keyboard focus.
//
// Qt lets a widget refuse the input method (mode 3) and hint at Latin input,
// but it cannot open or close the input method. This layer does that by
// talking to the platform's input method service (platform/ime_platform.h):
// on Linux the framework that the process's Qt input module talks to,
// fcitx5 through its controller on the session bus, IBus through its own bus
// (where opening and closing mean switching between the user's Japanese
// engine and keyboard-layout engine); on Windows IMM32.
//
// Nothing here blocks or reports: every call is asynchronous with a short
// timeout and its answer, or its failure, is only used to take the next step.
// Without a Qt input module of those frameworks, without a session bus, or
// with the framework not running, the boxes keep whatever state the operator
// left them in.
#pragma once

class QWidget;

namespace fw::internal {

// What a mode (0..8) asks of the input method. The engines start in
// hiragana when opened; their katakana and full-width alphanumeric modes
// cannot be chosen from outside, so modes 5 (full-width katakana) opens and
// 6 to 8 close: half-width katakana, full-width and half-width
// alphanumerics are then typed as half-width alphanumerics, which keeps
// digits numbers for the boxes that take numbers.
enum class ImeAction { Leave, Open, Close };
ImeAction imeActionOf(int mode);

// `widget` has received the focus with this mode, or the program has set
// the mode of the focused widget.
void applyImeMode(QWidget* widget, int mode);

// The program has set the mode of a whole window: carried out on the box
// of the program that has the focus, and remembered.
void applyWindowImeMode(int mode);

// A dialog's edit field (the input box): it takes the state that the
// program asked for last, as the field of a dialog shares the state of the
// program's input method.
void followProgramImeMode(QWidget* edit);

// Which framework the layer talks to; for diagnostics and tests.
enum class ImeFramework { None, Fcitx5, IBus, Imm32 };
ImeFramework imeFramework();

}  // namespace fw::internal
