// Operator actions for tests: each goes through the same Qt widgets and
// signals as a real click or keystroke, so the events reach the queue exactly
// as they would at the desk. Serve them with waitForEvents().
#pragma once

#include <string>

#include "framework/core/str.h"

namespace fw {
class Control;
class Window;
}  // namespace fw

namespace fw::testing {

void click(Control& control);                     // button, check box, radio
void typeText(Control& edit, const Str& text);    // at the caret; "\r\n" = Enter
void pressEnter(Control& edit);
// Text that a Str cannot carry (characters outside CP932), in UTF-8: typed as
// one key press, or committed by the input method at the caret.
void typeUtf8(Control& edit, const std::string& utf8);
void commitFromInputMethod(Control& edit, const std::string& utf8);
// Ctrl+V on an edit or combo box: whatever the clipboard holds.
void paste(Control& box);
void selectItem(Control& listOrCombo, int index); // as a click on the item
void doubleClickItem(Control& listOrCombo, int index);
void focus(Control& control);
// Right click and a choice in the control's context menu (error 27 for an
// index the menu does not have).
void chooseMenuItem(Control& control, int index);
// Mouse on a window's client area (pixels); button 1 left, 2 right, 4 middle.
void mouseClick(Window& window, int x, int y, int button = 1);
void mouseDoubleClick(Window& window, int x, int y, int button = 1);
void mouseMove(Window& window, int x, int y);
// The close box / system menu Close, as the operator would use it.
void requestClose(Window& window);

}  // namespace fw::testing
