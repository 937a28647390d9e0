#include "framework/form/responder.h"

#include <utility>

#include "framework/form/dialogs.h"

namespace fw {
namespace {

Responder* g_responder = nullptr;

// What an unscripted box answers: its first button, as Enter would.
int firstButtonResult(int buttons) {
  switch (buttons) {
    case mb::AbortRetryIgnore: return 2;
    case mb::YesNoCancel:
    case mb::YesNo: return 5;
    case mb::RetryCancel: return 3;
    default: return 0;
  }
}

}  // namespace

void setResponder(Responder* r) { g_responder = r; }
Responder* responder() { return g_responder; }

ScriptedResponder::ScriptedResponder() : previous_(responder()) {
  responder_.messageBox = [this](const MessageBoxRequest& request) {
    messages.push_back(request);
    if (messageAnswers.empty()) return firstButtonResult(request.buttons);
    int answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
  };
  responder_.inputBox = [this](const InputBoxRequest& request) {
    inputs.push_back(request);
    if (inputAnswers.empty()) return Str(1, '\x1b');
    Str answer = std::move(inputAnswers.front());
    inputAnswers.pop_front();
    return answer;
  };
  responder_.printDialog = [this](PrintDialogRequest& request) {
    printDialogs.push_back(request);
    if (printAnswers.empty()) return false;
    bool answer = printAnswers.front();
    printAnswers.pop_front();
    return answer;
  };
  responder_.saveFile = [this](const SaveFileRequest& request) {
    saveFileDialogs.push_back(request);
    if (saveFileAnswers.empty()) return Str();
    Str answer = std::move(saveFileAnswers.front());
    saveFileAnswers.pop_front();
    return answer;
  };
  responder_.keyDown = [this](int virtualKey) { return keys ? keys(virtualKey) : false; };
  responder_.beep = [this] { ++beeps; };
  setResponder(&responder_);
}

ScriptedResponder::~ScriptedResponder() { setResponder(previous_); }

}  // namespace fw
