#include "framework/form/internal/input_method.h"
#include "framework/form/internal/platform/ime_platform.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <iterator>
#include <vector>

namespace fw::internal {

namespace {

// The controller acts on the input context that fcitx5 saw focused last,
// so our call must reach fcitx5 after the Qt module's focus. fcitx5 handles
// the messages of one connection in order: sent on the module's own
// connection, a call made once the focus has moved comes after the module's
// focus message. A window that gets the focus for the first time (the input
// box) has no input context yet; the module creates it a little later, and
// the call is repeated until that has surely happened.
constexpr int kSettleMs = 20;
constexpr int kNewWindowRepeatMs[] = {250, 700, 1500};

// --- Dispatch ---------------------------------------------------------------

class Dispatcher final : public QObject {
 public:
  Dispatcher() {
    framework_ = ime_platform::detect();
    settle_.setSingleShot(true);
    repeat_.setSingleShot(true);
    connect(&settle_, &QTimer::timeout, this, [this] { send(); });
    connect(&repeat_, &QTimer::timeout, this, [this] {
      send();
      if (++repeats_ < int(std::size(kNewWindowRepeatMs)))
        repeat_.start(kNewWindowRepeatMs[repeats_] - kNewWindowRepeatMs[repeats_ - 1]);
    });
  }

  ImeFramework framework() const { return framework_; }
  ImeAction programState() const { return programState_; }

  void request(QWidget* widget, ImeAction action) {
    if (action == ImeAction::Leave) return;
    programState_ = action;
    if (framework_ == ImeFramework::None || !widget) return;
    target_ = widget;
    action_ = action;
    if (firstFocusOf(widget->window())) {
      repeats_ = 0;
      repeat_.start(kNewWindowRepeatMs[0]);
    }
    settle_.start(kSettleMs);
  }

 private:
  bool firstFocusOf(QWidget* window) {
    std::erase_if(windows_, [](const QPointer<QWidget>& w) { return w.isNull(); });
    if (std::find(windows_.begin(), windows_.end(), window) != windows_.end()) return false;
    windows_.emplace_back(window);
    return true;
  }

  void send() {
    // Only for a box of ours that still has the focus: otherwise the
    // framework's last focused input context may be another program's.
    if (!target_ || QApplication::focusWidget() != target_ || !target_->isActiveWindow()) return;
    ime_platform::switchFor(framework_, target_, action_);
  }

  ImeFramework framework_ = ImeFramework::None;
  ImeAction programState_ = ImeAction::Leave;
  QPointer<QWidget> target_;
  ImeAction action_ = ImeAction::Leave;
  std::vector<QPointer<QWidget>> windows_;  // windows that have had the focus
  QTimer settle_;
  QTimer repeat_;
  int repeats_ = 0;
};

Dispatcher* dispatcher() {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return nullptr;
  static QPointer<Dispatcher> instance;
  if (!instance) {
    instance = new Dispatcher;
    instance->setParent(QCoreApplication::instance());
  }
  return instance;
}

class FollowProgram final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::FocusIn)
      if (Dispatcher* d = dispatcher())
        d->request(static_cast<QWidget*>(watched), d->programState());
    return false;
  }
};

}  // namespace

ImeAction imeActionOf(int mode) {
  switch (mode) {
    case 1:
    case 4:
    case 5:
      return ImeAction::Open;
    case 2:
    case 6:
    case 7:
    case 8:
      return ImeAction::Close;
    default:
      return ImeAction::Leave;
  }
}

void applyImeMode(QWidget* widget, int mode) {
  if (Dispatcher* d = dispatcher()) d->request(widget, imeActionOf(mode));
}

void applyWindowImeMode(int mode) {
  if (Dispatcher* d = dispatcher()) d->request(QApplication::focusWidget(), imeActionOf(mode));
}

void followProgramImeMode(QWidget* edit) {
  if (!edit) return;
  edit->installEventFilter(new FollowProgram(edit));
}

ImeFramework imeFramework() {
  Dispatcher* d = dispatcher();
  return d ? d->framework() : ImeFramework::None;
}

}  // namespace fw::internal
