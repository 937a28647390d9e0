// The input method on Linux: fcitx5 through its controller on the session
// bus, IBus through its own bus, whichever Qt's input module talks to.
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
#include <QWidget>
#include <cstring>
#include <functional>

#include "framework/form/internal/platform/ime_platform.h"

namespace fw::internal::ime_platform {

namespace {

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

IBusSwitch* ibusSwitch() {
  static QPointer<IBusSwitch> instance;
  if (!instance) {
    instance = new IBusSwitch;
    instance->setParent(QCoreApplication::instance());
  }
  return instance;
}

}  // namespace

ImeFramework detect() { return loadedInputModule(); }

void switchFor(ImeFramework framework, QWidget*, ImeAction action) {
  if (framework == ImeFramework::Fcitx5) callFcitx(action);
  if (framework == ImeFramework::IBus) ibusSwitch()->request(action);
}

}  // namespace fw::internal::ime_platform
