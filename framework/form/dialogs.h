// Modal dialogs, key polling, pause, beep, clipboard and the single-instance
// lock. Tests answer the dialogs and hold keys through responder.h.
#pragma once

#include <string>
#include <vector>

#include "framework/core/str.h"

namespace fw {

class Window;

namespace mb {
// Buttons.
inline constexpr int OK = 0, OKCancel = 1, AbortRetryIgnore = 2, YesNoCancel = 3, YesNo = 4,
                     RetryCancel = 5;
// Icons.
inline constexpr int Stop = 0, Question = 1, Exclamation = 2, Information = 3, NoIcon = 4;
// Results.
inline constexpr int ResOK = 0, ResCancel = 1, ResAbort = 2, ResRetry = 3, ResIgnore = 4,
                     ResYes = 5, ResNo = 6;
}  // namespace mb

// owner nullptr = the main window. Bad buttons/icon: error 5.
int messageBox(Window* owner, const Str& title, const Str& text, int buttons, int icon);
// What an edit box, the input box's field or the file dialog says when it
// refuses characters that CP932 cannot hold: the title, and the text naming
// them (UTF-8 in and out; the first five, each in 「」, then "など").
inline const Str kRefusedCharactersTitle = "使えない文字"_sj;
std::string refusedCharactersNotice(const std::vector<std::string>& characters);

// Returns the entered text, or the single byte 27 when cancelled. Title,
// prompt and default must each be under 65 bytes (error 5).
Str inputBox(Window* owner, const Str& title, const Str& prompt, const Str& defaultText);
// Asks where to save a file: `suggestedName` is offered in the current
// directory, `filter` is the choice of file kinds as Qt writes it ("CSV
// (*.csv)"). Returns the chosen path (CP932, absolute, '/' separators), or ""
// when cancelled. A name (or folder) with characters that CP932 cannot hold
// is refused with the notice above, and the dialog asks again.
Str saveFileDialog(Window* owner, const Str& title, const Str& suggestedName, const Str& filter);

inline constexpr int kVkEscape = 27;
// Both process window messages while they work; when a procedure called
// meanwhile (a _QUERYCLOSE) ended the program, they do not return: the
// running procedure is abandoned as by doEvents.
bool keyDown(int virtualKey);          // the key is down at this moment
void pause(int hundredths);            // n x 10 ms, 0..65535 else error 5
void beep();
void clipboardClear();
void clipboardSetText(const Str& text);
// Takes the program's per-user-session lock; true when another instance holds
// it, and also when the lock cannot be taken at all (the reason goes to
// standard error), so that two copies never run on the same data.
bool previousInstance();

}  // namespace fw
