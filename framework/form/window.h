// Windows and controls built from window definitions.
//
// The application never creates a control by code: it opens whole windows by
// name and reads and writes control properties. Windows are owned by the
// framework; a FormRef is the application's object variable for one and
// becomes empty when the window is closed. Operations on an empty or closed
// object raise 1000, on the wrong kind 1002. Flags follow the program's
// convention where it matters (is-open returns -1/0 as bool here).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/str.h"
#include "framework/form/surface.h"

namespace fw {

// Input-method modes of the IME-mode property.
namespace ime {
inline constexpr int NoControl = 0;    // leave the input method as it is
inline constexpr int On = 1;
inline constexpr int Off = 2;
inline constexpr int Disable = 3;      // the box takes no input-method text
inline constexpr int Hiragana = 4;     // on, full-width hiragana
inline constexpr int KatakanaFull = 5;
inline constexpr int KatakanaHalf = 6;
inline constexpr int AlphaFull = 7;
inline constexpr int Alpha = 8;
}  // namespace ime

// Items of Window::geometry.
namespace geometry {
inline constexpr int Left = 0;    // outer rectangle, screen pixels
inline constexpr int Top = 1;
inline constexpr int Width = 2;
inline constexpr int Height = 3;
inline constexpr int State = 4;   // 0 minimised, 1 maximised, 2 normal
inline constexpr int Active = 5;  // -1 when active
}  // namespace geometry

// Mouse pointer shapes of a window.
namespace pointer {
inline constexpr int Arrow = 0;
inline constexpr int Hourglass = 2;
}  // namespace pointer

// Object kinds with their control type codes in window definitions.
enum class Kind : int {
  Window = 0, Button = 3, Radio = 4, Check = 5, Group = 6, Edit = 7, Label = 8,
  List = 9, HScroll = 10, VScroll = 11, Combo = 12, Picture = 13,
};

class Window;

class Control {
 public:
  virtual ~Control() = default;
  virtual Kind kind() const = 0;
  virtual Str name() const = 0;
  virtual Window& window() const = 0;

  virtual Str text() const = 0;                 // edit, label, button, combo
  virtual void setText(const Str& text) = 0;
  virtual int value() const = 0;               // check/radio: 1 or 0
  virtual void setValue(int v) = 0;            // 1 or 0, else error 5

  // List and combo boxes (1016 / 1017 when the control refuses).
  virtual void addItem(const Str& text) = 0;
  virtual void clearItems() = 0;
  virtual int itemCount() const = 0;
  virtual Str itemText(int index) const = 0;   // "" for an empty list, error 27 outside
  virtual int selectedIndex() const = 0;       // -1 when none
  virtual void setSelectedIndex(int index) = 0;  // -1 clears
  virtual bool itemSelected(int index) const = 0;  // multiple-selection list
  // -1 = every item; a single-selection list refuses (1016).
  virtual void setItemSelected(int index, bool on) = 0;

  // Edit boxes.
  virtual bool readOnly() const = 0;
  virtual void setReadOnly(bool on) = 0;
  // Selects bytes start..end (end -1 = end of text); scroll brings the caret
  // into view. (0, -1, true) selects all.
  virtual void setSelection(int start, int end, bool scroll) = 0;
  virtual int imeMode() const = 0;
  virtual void setImeMode(int mode) = 0;       // 0..8, else error 5

  virtual bool visible() const = 0;
  virtual void setVisible(bool on) = 0;
  virtual bool enabled() const = 0;
  virtual void setEnabled(bool on) = 0;
  virtual void setFocus() = 0;
  virtual bool hasFocus() const = 0;

  virtual Str fontName() const = 0;
  virtual float fontSize() const = 0;
  virtual bool fontBold() const = 0;
  virtual void setFontName(const Str& face) = 0;
  virtual void setFontSize(float points) = 0;
  virtual void setFontBold(bool on) = 0;
  virtual void setFontItalic(bool on) = 0;
  virtual void setFontUnderline(bool on) = 0;

  // Geometry in the parent's client pixels.
  virtual int x() const = 0;
  virtual int y() const = 0;
  virtual int width() const = 0;
  virtual int height() const = 0;
  virtual void resize(int width, int height) = 0;

  // A menu the right mouse button opens on the control, added by the program
  // beside its window definition; choosing item i queues NAME_MENU with
  // EventArgs::menuItem i. An empty list takes the menu away; a disabled
  // control opens none.
  virtual void setContextMenu(const std::vector<Str>& items) = 0;

  // Definition details, for tests and diagnostics.
  virtual uint32_t style() const = 0;
  virtual uint32_t textColour() const = 0;
  virtual uint32_t backColour() const = 0;
};

class Window {
 public:
  virtual ~Window() = default;
  virtual Str name() const = 0;
  virtual Control& control(const Str& name) = 0;  // case-insensitive; 1013 when absent
  virtual bool hasControl(const Str& name) const = 0;
  virtual int controlCount() const = 0;
  virtual Control& controlAt(int index) = 0;    // definition order

  virtual Str caption() const = 0;
  virtual void setCaption(const Str& caption) = 0;
  virtual bool visible() const = 0;
  virtual void setVisible(bool on) = 0;
  virtual bool enabled() const = 0;
  virtual void setEnabled(bool on) = 0;
  virtual void setTopMost(bool on) = 0;
  virtual void setFocus() = 0;
  virtual void activate() = 0;
  virtual void bringToForeground() = 0;
  virtual void minimise() = 0;
  virtual void move(int x, int y) = 0;          // screen pixels, each < 32768
  virtual void resize(int width, int height) = 0;
  // 0 left, 1 top, 2 width, 3 height (outer rectangle); 4 state (0 minimised,
  // 1 maximised, 2 normal); 5 -1 when active.
  virtual int geometry(int item) const = 0;
  virtual void disableCloseCommand() = 0;
  virtual bool closeCommandEnabled() const = 0;
  virtual void setMousePointer(int shape) = 0;  // 0 arrow, 2 hourglass
  virtual float lastMouse(int item) const = 0;  // 0 x, 1 y of the last move
  virtual int imeMode() const = 0;
  virtual void setImeMode(int mode) = 0;

  // The window's picture (redraw mode 1: a backing copy that survives repaints).
  virtual Surface& surface() = 0;
  // Colour of a pixel of the picture (client coordinates), RGB red lowest.
  virtual uint32_t picturePixel(int x, int y) const = 0;
  // Renders the whole window with its controls to a PNG (tests, manuals).
  virtual bool saveScreenshot(const std::string& pngPath) = 0;

  virtual uint32_t style() const = 0;
};

// The application's object variable for a window.
class FormRef {
 public:
  FormRef() = default;
  bool empty() const;                  // never opened, or closed since
  Window& operator*() const;           // error 1000 when empty
  Window* operator->() const { return &**this; }
  Window* get() const;                 // nullptr when empty

 private:
  friend void openWindow(FormRef&, const Str&, int);
  friend void bindWindow(FormRef&, Window&);
  std::weak_ptr<Window> window_;
};

// Builds the named window ("form2", any case) from its definition. showMode 0
// creates it hidden, -1 shows it in its definition's initial state; other
// values error 5; a name over 21 bytes error 5; an open window in var 1001;
// a missing definition 1012; a faulty one 1014 after the "DazuVudive" box.
// The window's _START is queued and runs at the next wait for events.
void openWindow(FormRef& var, const Str& name, int showMode);
void closeWindow(FormRef& var);        // destroys the window; var becomes empty
void closeWindow(Window& window);
bool isOpen(const FormRef& var);
void bindWindow(FormRef& var, Window& window);

// The main window MAINFORM (the object 0 of the program); error 1000 once closed.
Window& mainWindow();
bool mainWindowExists();
// Control by name in the main window (shorthand used throughout the program).
Control& ctl(const Str& name);

}  // namespace fw
