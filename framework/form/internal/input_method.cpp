#include "framework/form/internal/input_method.h"

#include <link.h>

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstring>
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
constexpr int kCallTimeoutMs = 800;

const char* const kFcitxService = "org.fcitx.Fcitx5";
const char* const kFcitxPath = "/controller";
const char* const kFcitxInterface = "org.fcitx.Fcitx.Controller1";

int inputModuleCallback(dl_phdr_info* info, size_t, void* data) {
  const char* name = info->dlpi_name;
  if (!name || !std::strstr(name, "/platforminputcontexts/")) return 0;
  const char* file = std::strrchr(name, '/') + 1;
  auto* found = static_cast<ImeFramework*>(data);
  if (std::strstr(file, "fcitx")) *found = ImeFramework::Fcitx5;
  else if (std::strstr(file, "ibus")) *found = ImeFramework::IBus;
  return *found == ImeFramework::None ? 0 : 1;
}

// The input module Qt loaded decides which framework the boxes talk to
// (Qt loads only the module it uses; a requested module that is missing
// falls back to plain composing, which no framework hears about).
ImeFramework loadedInputModule() {
  // Windows nobody sees (the test runs) type nothing, and must not switch the
  // input method of whatever the user has open meanwhile.
  QString platform = QGuiApplication::platformName();
  if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) return ImeFramework::None;
  ImeFramework found = ImeFramework::None;
  dl_iterate_phdr(inputModuleCallback, &found);
  return found;
}

// The connection the fcitx5 module of Qt opens for its input contexts;
// without it (another module version), the session bus.
QDBusConnection fcitxConnection() {
  QDBusConnection module(QStringLiteral("fcitx"));
  if (module.isConnected()) return module;
  return QDBusConnection::sessionBus();
}

void callFcitx(ImeAction action) {
  QDBusConnection bus = fcitxConnection();
  if (!bus.isConnected()) return;
  QDBusMessage call = QDBusMessage::createMethodCall(
      kFcitxService, kFcitxPath, kFcitxInterface,
      action == ImeAction::Open ? QStringLiteral("Activate") : QStringLiteral("Deactivate"));
  // A bus that would start fcitx5 on demand must not: an input method the
  // user does not run stays off.
  call.setAutoStartService(false);
  bus.asyncCall(call, kCallTimeoutMs);
}

class Dispatcher final : public QObject {
 public:
  Dispatcher() {
    framework_ = loadedInputModule();
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
    if (framework_ == ImeFramework::Fcitx5) callFcitx(action_);
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
