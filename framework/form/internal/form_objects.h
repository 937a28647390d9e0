// The Qt side of windows and controls: the objects behind fw::Window and
// fw::Control, and the registry of open windows.
//
// A WindowImpl owns its top-level widget and its controls. Closing a window
// hides it and marks it closed at once (every later operation on it or its
// controls raises 1000, FormRefs read empty); the objects themselves stay
// alive until no event procedure runs any more, because a procedure may
// still hold a reference to the window it has just closed.
#pragma once

#include <QPointer>
#include <QWidget>
#include <map>
#include <memory>
#include <vector>

#include "framework/form/events.h"
#include "framework/form/window.h"
#include "framework/form/internal/definition_loader.h"

class QAbstractButton;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;

namespace fw::internal {

class WindowImpl;
class FormWidget;

// Object name + event -> bound procedure name, from the definition's code 80
// records (only names the registry held when the window was built).
using BindingTable = std::map<int, Str>;

// Outer frame of a top-level window around its client area, in pixels. The
// definitions give the outer size as designed on Windows at 96 dpi, so the
// client area is the outer size less these Win32 metrics, whatever frame the
// window manager then draws (offscreen there is none).
struct FrameMargins {
  int left = 0, top = 0, right = 0, bottom = 0;
};
FrameMargins frameMargins(uint32_t style, uint32_t exStyle);

// Colour numbers of definitions (0 black .. 15 white): the shape palette.
uint32_t paletteColour(int index);

class ControlImpl final : public QObject, public Control {
 public:
  ControlImpl(WindowImpl& window, const ObjectDef& def, QWidget* parent);
  ~ControlImpl() override;

  Kind kind() const override { return kind_; }
  Str name() const override { return name_; }
  Window& window() const override;

  Str text() const override;
  void setText(const Str& text) override;
  int value() const override;
  void setValue(int v) override;

  void addItem(const Str& text) override;
  void clearItems() override;
  int itemCount() const override;
  Str itemText(int index) const override;
  int selectedIndex() const override;
  void setSelectedIndex(int index) override;
  bool itemSelected(int index) const override;
  void setItemSelected(int index, bool on) override;

  bool readOnly() const override;
  void setReadOnly(bool on) override;
  void setSelection(int start, int end, bool scroll) override;
  int imeMode() const override;
  void setImeMode(int mode) override;

  bool visible() const override;
  void setVisible(bool on) override;
  bool enabled() const override;
  void setEnabled(bool on) override;
  void setFocus() override;
  bool hasFocus() const override;

  Str fontName() const override;
  float fontSize() const override;
  bool fontBold() const override;
  void setFontName(const Str& face) override;
  void setFontSize(float points) override;
  void setFontBold(bool on) override;
  void setFontItalic(bool on) override;
  void setFontUnderline(bool on) override;

  int x() const override;
  int y() const override;
  int width() const override;
  int height() const override;
  void resize(int width, int height) override;

  void setContextMenu(const std::vector<Str>& items) override;
  // The operator chose item `index` of the context menu (the menu, tests).
  void chooseMenuItem(int index);

  uint32_t style() const override { return style_; }
  uint32_t textColour() const override { return textRgb_; }
  uint32_t backColour() const override { return backRgb_; }

  // For the window and the test helpers.
  QWidget* widget() const { return widget_; }
  QListWidget* listWidget() const { return list_; }
  QComboBox* comboWidget() const { return combo_; }
  QPlainTextEdit* multiLineEdit() const { return multi_; }
  QLineEdit* singleLineEdit() const { return single_; }
  QAbstractButton* button() const { return button_; }
  void bindEvents(const std::vector<EventBinding>& events);
  void postEvent(Event e);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void check() const;                   // 1000 once the window is closed
  void requireKind(std::initializer_list<Kind> kinds) const;  // 1002
  [[noreturn]] void refuse() const;     // 1016 list, 1017 combo
  void applyFont();
  void applyColours();
  void applyImeAttributes();
  void setComboHeight();
  void fitListToWholeRows();

  WindowImpl& window_;
  Kind kind_;
  Str name_;
  uint32_t style_, exStyle_;
  uint32_t textRgb_ = 0, backRgb_ = 0xFFFFFF;
  BindingTable bindings_;
  std::vector<Str> menuItems_;
  bool menuConnected_ = false;
  int imeMode_ = 0;
  int limitTextBytes_ = 32767;
  int listHeight_ = 0;  // combo: height of the opened list; list: height asked for
  Str fontFace_;
  float fontPoints_ = 9;
  bool bold_ = false, italic_ = false, underline_ = false;

  QPointer<QWidget> widget_;
  QAbstractButton* button_ = nullptr;
  QPlainTextEdit* multi_ = nullptr;
  QLineEdit* single_ = nullptr;
  QLabel* label_ = nullptr;
  QListWidget* list_ = nullptr;
  QComboBox* combo_ = nullptr;
};

class WindowImpl final : public Window, public std::enable_shared_from_this<WindowImpl> {
 public:
  explicit WindowImpl(const WindowDefinition& def);
  ~WindowImpl() override;

  Str name() const override { return name_; }
  Control& control(const Str& name) override;
  bool hasControl(const Str& name) const override;
  int controlCount() const override;
  Control& controlAt(int index) override;

  Str caption() const override;
  void setCaption(const Str& caption) override;
  bool visible() const override;
  void setVisible(bool on) override;
  bool enabled() const override;
  void setEnabled(bool on) override;
  void setTopMost(bool on) override;
  void setFocus() override;
  void activate() override;
  void bringToForeground() override;
  void minimise() override;
  void move(int x, int y) override;
  void resize(int width, int height) override;
  int geometry(int item) const override;
  void disableCloseCommand() override;
  bool closeCommandEnabled() const override { return closeEnabled_; }
  void setMousePointer(int shape) override;
  float lastMouse(int item) const override;
  int imeMode() const override;
  void setImeMode(int mode) override;

  Surface& surface() override;
  uint32_t picturePixel(int x, int y) const override;
  bool saveScreenshot(const std::string& pngPath) override;
  uint32_t style() const override { return style_; }

  // Framework side.
  bool closed() const { return closed_; }
  void check() const;                   // 1000 once closed
  FormWidget* widget() const { return widget_; }
  int showState() const { return showState_; }
  void showInitialState();              // code 201
  void markClosed();                    // hides; events from now on are dropped
  void postEvent(const Str& objectName, const BindingTable& bindings, Event e, EventArgs args,
                 const void* mergeKey = nullptr);
  void raiseOwn(Event e, EventArgs args = {}) { postEvent(name_, bindings_, e, args); }
  // The operator asked to close the window (close box, system menu).
  bool operatorClose();
  void noteMouse(int x, int y) { lastX_ = x; lastY_ = y; }
  bool building() const { return building_; }
  void finishBuilding() { building_ = false; }
  void pictureChanged();
  void clientResized(int width, int height);
  std::vector<std::unique_ptr<ControlImpl>>& controls() { return controls_; }

 private:
  void applyFlags();
  void applyIcon(const Str& iconName);

  Str name_;
  uint32_t style_, exStyle_;
  FrameMargins margins_;
  BindingTable bindings_;
  int showState_ = 1;
  int imeMode_ = 0;
  bool closeEnabled_ = true;
  bool topMost_ = false;
  bool closed_ = false;
  bool building_ = true;
  float lastX_ = 0, lastY_ = 0;
  uint32_t backRgb_ = 0xFFFFFF;
  std::unique_ptr<Surface> surface_;
  QPointer<FormWidget> widget_;
  std::vector<std::unique_ptr<ControlImpl>> controls_;
};

// The top-level widget of a window: paints the window's picture behind the
// controls and turns mouse, resize, focus and close into events.
class FormWidget final : public QWidget {
 public:
  explicit FormWidget(WindowImpl& owner);
  WindowImpl* owner() const { return owner_; }
  void detach() { owner_ = nullptr; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  EventArgs mouseArgs(QMouseEvent* event, bool pressedButtonOnly) const;
  WindowImpl* owner_;
};

// Registry of open windows (window.cpp).
void registerOpenWindow(const std::shared_ptr<WindowImpl>& window);
// Marks the window closed and forgets it; the objects live on until
// releaseClosedWindows() runs with no procedure running.
void destroyWindow(WindowImpl& window);
void destroyAllWindows();
void releaseClosedWindows();
// nullptr forgets the main window (tests start over without one).
void setMainWindow(const std::shared_ptr<WindowImpl>& window);
std::shared_ptr<WindowImpl> mainWindowImpl();  // nullptr once gone
// True once the main window that was built has been destroyed: the program
// is over, and nothing queued is served any more.
bool mainWindowGone();
std::vector<std::shared_ptr<WindowImpl>> openWindows();

// Dispatch (events.cpp).
// The procedure for an event of an object: its binding, else the naming rule
// NAME_EVENT (name upper-cased). nullptr when there is none.
const Procedure* findProcedure(const BindingTable& bindings, const Str& objectName, Event e);
// Queues the procedure; false when 64 events are already pending.
// mergeKey: when the newest waiting event carries the same key, the new one
// is not queued: the waiting procedure has not run yet and will see the
// newer state (nullptr never merges).
bool queueEvent(const std::shared_ptr<WindowImpl>& window, const Procedure& procedure,
                const EventArgs& args, const void* mergeKey = nullptr);
// Calls a procedure at once (_QUERYCLOSE), under the program trap.
void callNow(const Procedure& procedure, EventArgs& args);
// Runs code as a procedure (the start code): under the program trap, with
// queued events held back. False when abandoned by an error or an end.
bool runAsProcedure(const std::function<void()>& code);
bool procedureRunning();
void clearEventQueue();
// The program loop installs a hook that is told when an event was queued.
void setEventQueuedHook(std::function<void()> hook);
// Tells the program loop that something changed (an event, a closed window).
void wakeProgramLoop();
// Makes the receiver of postToProgram, once there is an application (the
// program start, tests); it goes with the application.
void openPostBox();
// Forgets work posted but not yet queued (tests start over).
void dropPostedWork();
// Serves the queue until it is empty (nothing when a procedure is running).
void serveEventQueue();
// Raised by endProgram inside a procedure: destroy every window, empty the queue.
void endProgramNow();
bool endRequested();
// The statement boundary after window messages were processed (doEvents,
// keyDown, pause): when a procedure called meanwhile (a _QUERYCLOSE) ended
// the program, the running procedure is abandoned here (ProgramEnd).
void leaveProcedureIfEnded();
void resetDispatch();

// "MAINFORM" -> upper case, ASCII letters only (double-byte characters kept).
Str upperName(const Str& name);

}  // namespace fw::internal
