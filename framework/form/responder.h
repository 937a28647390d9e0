// Scripted answers for modal dialogs, the print dialog and key state.
//
// With a responder installed, messageBox, inputBox, the print dialog,
// keyDown and beep ask it instead of showing or sounding anything, so tests run headless without
// timers racing the program. The real program installs none.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "framework/core/str.h"

namespace fw {

struct MessageBoxRequest {
  Str owner, title, text;   // owner: window name
  int buttons = 0, icon = 0;
  // The text as the box shows it, in UTF-8. It says more than `text` only
  // when it names characters that CP932 lacks (a box refused them): `text`
  // gives each of those as its code, "U+20BB7".
  std::string shownText;
};
struct InputBoxRequest {
  Str owner, title, prompt, defaultText;
};
struct PrintDialogRequest {
  std::string printerName;  // the chosen printer (system name)
  int copies = 1;           // the responder may change it
};

struct SaveFileRequest {
  Str owner, title, suggestedName, filter;
};

struct Responder {
  std::function<int(const MessageBoxRequest&)> messageBox;
  std::function<Str(const InputBoxRequest&)> inputBox;
  std::function<bool(PrintDialogRequest&)> printDialog;  // true = confirm
  std::function<Str(const SaveFileRequest&)> saveFile;    // "" = cancelled
  std::function<bool(int virtualKey)> keyDown;
  std::function<void()> beep;  // told of every beep instead of sounding it
};

// nullptr restores the real dialogs and keyboard.
void setResponder(Responder* responder);
Responder* responder();

// A ready-made responder: answers from queues and records every request.
// An unexpected dialog (empty queue) is recorded and answered as Enter would
// answer it: a message box with its first button (OK 0, Abort 2, Yes 5,
// Retry 3), an input box with the byte 27 (cancelled), the print dialog and the
// file dialog with cancel; so a test sees it in the log instead of hanging. Installing one
// hides the responder installed before it until it is destroyed.
class ScriptedResponder {
 public:
  ScriptedResponder();   // installs itself
  ~ScriptedResponder();  // puts the previous responder back
  ScriptedResponder(const ScriptedResponder&) = delete;
  ScriptedResponder& operator=(const ScriptedResponder&) = delete;
  std::deque<int> messageAnswers;
  std::deque<Str> inputAnswers;
  std::deque<bool> printAnswers;
  std::deque<Str> saveFileAnswers;
  std::function<bool(int)> keys;   // default: no key down
  std::vector<MessageBoxRequest> messages;
  std::vector<InputBoxRequest> inputs;
  std::vector<PrintDialogRequest> printDialogs;
  std::vector<SaveFileRequest> saveFileDialogs;
  int beeps = 0;

 private:
  Responder responder_;
  Responder* previous_;
};

}  // namespace fw
