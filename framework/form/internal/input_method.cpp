#include "framework/form/internal/input_method.h"

#include <link.h>

#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstring>
#include <functional>
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

// --- IBus -------------------------------------------------------------------
//
// IBus has no open or closed state: the user switches between a keyboard
// layout engine ("xkb:...") and a conversion engine, for every program at
// once. Closing switches to the keyboard engine the user was last seen
// using, opening to the Japanese engine the user was last seen using, else
// to the first installed of the common Japanese engines. The daemon does not
// tell which engines the user has chosen, so closing does nothing until a
// keyboard engine has been seen.

const char* const kIBusService = "org.freedesktop.IBus";
const char* const kIBusPath = "/org/freedesktop/IBus";
const char* const kIBusConnection = "tessivo-ibus";
const char* const kJapaneseEngines[] = {"mozc-jp", "anthy", "kkc", "skk"};

// ibus-daemon writes its address into a file named after the machine and
// the X display; IBUS_ADDRESS overrides it, as for IBus's own clients.
QString ibusAddress() {
  QString address = qEnvironmentVariable("IBUS_ADDRESS");
  if (!address.isEmpty()) return address;
  QString display = qEnvironmentVariable("DISPLAY");  // host:number.screen
  int colon = display.lastIndexOf(':');
  if (colon < 0) return {};
  QString host = display.left(colon);
  if (host.isEmpty()) host = QStringLiteral("unix");
  QString number = display.mid(colon + 1).section('.', 0, 0);
  QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config");
  QFile file(config + QStringLiteral("/ibus/bus/") +
             QString::fromLatin1(QDBusConnection::localMachineId()) + '-' + host + '-' + number);
  if (!file.open(QIODevice::ReadOnly)) return {};
  while (!file.atEnd()) {
    QByteArray line = file.readLine().trimmed();
    if (line.startsWith("IBUS_ADDRESS=")) return QString::fromLocal8Bit(line.mid(13));
  }
  return {};
}

// The connection Qt's IBus module opened to the daemon when it started;
// without it (the module talks through the portal), one of our own.
QDBusConnection ibusConnection() {
  QDBusConnection module(QStringLiteral("QIBusProxy"));
  if (module.isConnected()) return module;
  static QString connectedTo;
  QString address = ibusAddress();
  QDBusConnection bus(QString::fromLatin1(kIBusConnection));
  if (bus.isConnected() && address == connectedTo) return bus;
  // A restarted daemon has a new address.
  QDBusConnection::disconnectFromBus(QString::fromLatin1(kIBusConnection));
  connectedTo = address;
  if (address.isEmpty()) return QDBusConnection(QString::fromLatin1(kIBusConnection));
  return QDBusConnection::connectToBus(address, QString::fromLatin1(kIBusConnection));
}

// The leading fields of an engine description as IBus serialises it:
// (type name, attachments, name, long name, description, language, ...).
struct EngineDesc {
  QString name, language;
  bool keyboard() const { return name.startsWith(QLatin1String("xkb:")); }
  bool japanese() const { return !keyboard() && language == QLatin1String("ja"); }
};

EngineDesc engineDesc(QVariant value) {
  // Variants in variants until the structure.
  while (value.canConvert<QDBusVariant>() && value.userType() == qMetaTypeId<QDBusVariant>())
    value = value.value<QDBusVariant>().variant();
  EngineDesc desc;
  if (value.userType() != qMetaTypeId<QDBusArgument>()) return desc;
  const QDBusArgument arg = value.value<QDBusArgument>();
  if (arg.currentType() != QDBusArgument::StructureType) return desc;
  QString type, longName, description;
  QVariantMap attachments;
  arg.beginStructure();
  arg >> type >> attachments >> desc.name >> longName >> description >> desc.language;
  arg.endStructure();
  return desc;
}

QDBusMessage ibusCall(const char* method, const QVariantList& arguments = {}) {
  QDBusMessage call = QDBusMessage::createMethodCall(kIBusService, kIBusPath, kIBusService,
                                                     QString::fromLatin1(method));
  call.setArguments(arguments);
  return call;
}

class IBusSwitch final : public QObject {
 public:
  void request(ImeAction action) {
    QDBusConnection bus = ibusConnection();
    if (!bus.isConnected()) return;
    QDBusMessage get = QDBusMessage::createMethodCall(
        kIBusService, kIBusPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get.setArguments({QString::fromLatin1(kIBusService), QStringLiteral("GlobalEngine")});
    whenAnswered(bus.asyncCall(get, kCallTimeoutMs), [this, action](const QDBusMessage& reply) {
      // No global engine yet is an error answer: nothing is in use.
      EngineDesc current = reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
                               ? engineDesc(reply.arguments().first())
                               : EngineDesc{};
      if (current.keyboard()) keyboard_ = current.name;
      if (current.japanese()) japanese_ = current.name;
      if (action == ImeAction::Close && !current.name.isEmpty() && !current.keyboard() &&
          !keyboard_.isEmpty())
        setEngine(keyboard_);
      if (action == ImeAction::Open && !current.japanese()) open();
    });
  }

 private:
  void open() {
    if (!japanese_.isEmpty()) return setEngine(japanese_);
    QDBusConnection bus = ibusConnection();
    QStringList names;
    for (const char* name : kJapaneseEngines) names << QString::fromLatin1(name);
    whenAnswered(bus.asyncCall(ibusCall("GetEnginesByNames", {names}), kCallTimeoutMs),
                 [this](const QDBusMessage& reply) {
                   if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
                     return;
                   const QDBusArgument engines = reply.arguments().first().value<QDBusArgument>();
                   if (engines.currentType() != QDBusArgument::ArrayType) return;
                   engines.beginArray();
                   while (!engines.atEnd() && japanese_.isEmpty()) {
                     QDBusVariant engine;
                     engines >> engine;
                     EngineDesc desc = engineDesc(engine.variant());
                     if (desc.japanese()) japanese_ = desc.name;
                   }
                   engines.endArray();
                   if (!japanese_.isEmpty()) setEngine(japanese_);
                 });
  }

  void setEngine(const QString& name) {
    ibusConnection().asyncCall(ibusCall("SetGlobalEngine", {name}), kCallTimeoutMs);
  }

  void whenAnswered(const QDBusPendingCall& call,
                    std::function<void(const QDBusMessage&)> then) {
    auto* watcher = new QDBusPendingCallWatcher(call, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [watcher, then = std::move(then)] {
              then(watcher->reply());
              watcher->deleteLater();
            });
  }

  QString keyboard_;  // engines the user was seen using
  QString japanese_;
};

// --- Dispatch ---------------------------------------------------------------

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
    if (framework_ == ImeFramework::IBus) ibus_.request(action_);
  }

  ImeFramework framework_ = ImeFramework::None;
  ImeAction programState_ = ImeAction::Leave;
  QPointer<QWidget> target_;
  ImeAction action_ = ImeAction::Leave;
  std::vector<QPointer<QWidget>> windows_;  // windows that have had the focus
  QTimer settle_;
  QTimer repeat_;
  int repeats_ = 0;
  IBusSwitch ibus_;
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
