// Commands a window offers beyond its definition: an entry of the context
// menu of the window's background (a right click beside the controls) and a
// keyboard shortcut, both running a registered procedure through the event
// queue, exactly like a button's click. The window definition stays as it
// is, so stored definitions and their control numbering are untouched.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/core/str.h"

namespace fw {

class Window;

// Adds the command to the window (error 1000 on a closed window); a
// command for the same procedure is added only once. caption:
// the menu text (CP932); shortcut: a key sequence such as "Ctrl+P" or "F5",
// "" for none; procedure: the registered procedure name to queue. A
// disabled window offers neither menu nor shortcut.
void addWindowCommand(Window& window, const Str& caption, const std::string& shortcut,
                      const Str& procedure);

// Registers a procedure that only a window command raises (no window
// definition names it), so that checks of the registered names know it.
void registerCommandProcedure(const Str& name, std::function<void()> procedure);
// The names registered so.
std::vector<Str> commandProcedureNames();

// Where the menu is offered: only at client points (pixels) for which
// `offered` is true, so that it stays off the window's own click areas. By
// default everywhere on the background.
void setWindowCommandArea(Window& window, std::function<bool(int x, int y)> offered);

// The menu captions of the window's commands, in the order added.
std::vector<Str> windowCommands(Window& window);

namespace testing {
// The operator presses the key sequence on the window; true when a command
// took it.
bool pressShortcut(Window& window, const std::string& shortcut);
// The operator picks the caption from the background's context menu.
bool chooseCommand(Window& window, const Str& caption);
// Whether a right click at the client point would offer the menu.
bool menuOfferedAt(Window& window, int x, int y);
}  // namespace testing

}  // namespace fw
