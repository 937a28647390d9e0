// The input method of the boxes against a real fcitx5 (and IBus) with the
// Anthy engine on a virtual X display, against a stuck fcitx5, and without
// any session bus. Run through with_input_method.sh, which brings them up;
// keys are typed with xdotool, as a keyboard types them.
// Linux only: fcitx5 and IBus over D-Bus.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QTimer>
#include <functional>
#include <optional>

#include "entry/procedures.h"
#include "entry/startup.h"
#include "entry/state.h"
#include "framework/core/cp932.h"
#include "framework/core/str.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/program.h"
#include "framework/form/responder.h"
#include "framework/form/testing.h"
#include "framework/form/window.h"
#include "masters/procedures.h"
#include "masters/procedures_internal.h"
#include "printing/procedures.h"
#include "tests/support/temp_dir.h"

namespace {

using fw::Str;
using namespace fw::literals;

constexpr int kInactive = 1;
constexpr int kActive = 2;

// Serves window messages and the program's events until `done` holds.
bool waitUntil(const std::function<bool()>& done, int milliseconds = 4000) {
  QDeadlineTimer deadline(milliseconds);
  for (;;) {
    fw::waitForEvents();
    if (done()) return true;
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
}

// Keeps serving for a while: a late call of the input-method layer would
// show up afterwards.
void serveFor(int milliseconds) {
  waitUntil([] { return false; }, milliseconds);
}

// fcitx5's answer about the input context that has the focus.
QVariant askFcitx(const char* method) {
  QDBusMessage call = QDBusMessage::createMethodCall(
      "org.fcitx.Fcitx5", "/controller", "org.fcitx.Fcitx.Controller1", method);
  QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 2000);
  return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
             ? reply.arguments().first()
             : QVariant();
}
int fcitxState() { return askFcitx("State").toInt(); }
QString fcitxInputMethod() { return askFcitx("CurrentInputMethod").toString(); }

// The name of IBus's global engine: the third field of its description.
QString ibusEngine() {
  static QDBusConnection bus = QDBusConnection::connectToBus(
      qEnvironmentVariable("IBUS_TEST_ADDRESS"), QStringLiteral("test-ibus"));
  QDBusMessage get = QDBusMessage::createMethodCall(
      "org.freedesktop.IBus", "/org/freedesktop/IBus", "org.freedesktop.DBus.Properties", "Get");
  get.setArguments({QStringLiteral("org.freedesktop.IBus"), QStringLiteral("GlobalEngine")});
  QDBusMessage reply = bus.call(get, QDBus::Block, 2000);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
  QVariant value = reply.arguments().first();
  while (value.userType() == qMetaTypeId<QDBusVariant>()) value = value.value<QDBusVariant>().variant();
  const QDBusArgument desc = value.value<QDBusArgument>();
  QString type, name;
  QVariantMap attachments;
  desc.beginStructure();
  desc >> type >> attachments >> name;
  desc.endStructure();
  return name;
}

// What `read` reports once it has reported `expected` for a while (a late
// call of the input-method layer would change it), else its last report.
template <typename T>
T settled(T (*read)(), const T& expected) {
  T seen{};
  if (!waitUntil([&] { return (seen = read()) == expected; })) return seen;
  serveFor(700);
  return read();
}
int settledState(int expected) { return settled(fcitxState, expected); }
std::string settledEngine(const char* expected) {
  return settled(ibusEngine, QString::fromLatin1(expected)).toStdString();
}

// Types keys (X key names) into the window with the X input focus.
void typeKeys(const QStringList& keys) {
  QStringList args{"key", "--delay", "40"};
  args += keys;
  ASSERT_EQ(QProcess::execute("xdotool", args), 0) << "xdotool failed";
}

// The field of the input box when the box is up and the field has the focus.
QLineEdit* focusedInputBoxField() {
  QWidget* box = QApplication::activeModalWidget();
  auto* field = box ? box->findChild<QLineEdit*>("inputText") : nullptr;
  return field && field->hasFocus() ? field : nullptr;
}

// Watches the input box from inside its modal loop: once its field has the
// focus, waits until fcitx5 reports `expected` and keeps reporting it for a
// while (or gives up), notes what it saw and cancels the box.
class InputBoxWatch {
 public:
  explicit InputBoxWatch(int expected) : expected_(expected) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { step(); });
    timer_.start(50);
    running_.start();
  }
  std::optional<int> state;
  QString engine;

 private:
  void step() {
    QWidget* box = QApplication::activeModalWidget();
    if (!focusedInputBoxField()) {
      if (running_.elapsed() > 8000) stop(box);
      return;
    }
    if (!focused_.isValid()) focused_.start();
    int now = fcitxState();
    if (now != expected_) held_.invalidate();
    else if (!held_.isValid()) held_.start();
    if ((held_.isValid() && held_.elapsed() > 700) || focused_.elapsed() > 4000) {
      state = now;
      engine = fcitxInputMethod();
      stop(box);
    }
  }
  void stop(QWidget* box) {
    timer_.stop();
    if (box) box->close();
  }

  int expected_;
  QTimer timer_;
  QElapsedTimer running_, focused_, held_;
};

class InputMethodTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fw::unregisterAllProcedures();
    entry::registerProcedures();
    masters::registerProcedures();
    printing::registerProcedures();
    ASSERT_TRUE(fw::initForTests());
    entry::EDIT_COUNT = 0;
    answers_.messageBox = [](const fw::MessageBoxRequest&) { return fw::mb::ResYes; };
    fw::setResponder(&answers_);
    entry::prepareMainWindow();
    entry::createDataDirectories();
    fw::waitForEvents();
    fw::mainWindow().activate();
    ASSERT_TRUE(waitUntil([] { return fw::mainWindow().geometry(5) == -1; }))
        << "the main window did not get the X input focus";
  }

  void TearDown() override {
    fw::setResponder(nullptr);
    fw::resetForTests();
    fw::unregisterAllProcedures();
  }

  static void focusBox(const char* name) { focusBox(fw::ctl(name)); }
  static void focusBox(fw::Control& box) {
    box.window().activate();
    box.setFocus();
    waitUntil([&] { return box.hasFocus(); });
  }

  tessivo::test::TempCwd cwd_;
  fw::Responder answers_;
};

using Fcitx5Ime = InputMethodTest;
using NoSessionBus = InputMethodTest;
using StuckInputMethod = InputMethodTest;
using IBusIme = InputMethodTest;

// Moves the focus through every text box of the main window, as the
// operator's Enter does, and has the program switch the input method of the
// window; returns how long that took.
qint64 focusEveryBoxMilliseconds() {
  static const char* const kBoxes[] = {
      "EDIT1",  "EDIT2",  "EDIT3",  "EDIT4",  "EDIT5",  "EDIT6",  "EDIT7",  "EDIT8",
      "EDIT9",  "EDIT10", "EDIT11", "EDIT12", "EDIT13", "EDIT14", "EDIT15", "EDIT16",
      "EDIT17", "EDIT18", "EDIT19", "EDIT20", "EDIT21", "EDIT22", "EDIT23", "EDIT98"};
  QElapsedTimer clock;
  clock.start();
  for (const char* name : kBoxes) {
    fw::ctl(name).setFocus();
    fw::waitForEvents();
  }
  fw::mainWindow().setImeMode(4);
  fw::mainWindow().setImeMode(2);
  fw::waitForEvents();
  return clock.elapsed();
}

// Types into the input box once its field has the focus.
class InputBoxTyping {
 public:
  explicit InputBoxTyping(QStringList keys) : keys_(std::move(keys)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { step(); });
    timer_.start(50);
  }

 private:
  void step() {
    if (!focusedInputBoxField()) return;
    timer_.stop();
    typeKeys(keys_);
  }
  QStringList keys_;
  QTimer timer_;
};

TEST_F(Fcitx5Ime, FocusOpensAndClosesTheInputMethodBoxByBox) {
  focusBox("EDIT8");
  EXPECT_EQ(settledState(kActive), kActive) << "name box";
  EXPECT_EQ(fcitxInputMethod().toStdString(), "anthy");
  focusBox("EDIT1");
  EXPECT_EQ(settledState(kInactive), kInactive) << "examinee number box";
  focusBox("EDIT9");
  EXPECT_EQ(settledState(kActive), kActive) << "birth year box";
  EXPECT_EQ(fcitxInputMethod().toStdString(), "anthy");
  // The program switching the input method of the focused box itself.
  fw::ctl("EDIT9").setImeMode(2);
  EXPECT_EQ(settledState(kInactive), kInactive) << "closed by the program";
  fw::mainWindow().setImeMode(4);
  EXPECT_EQ(settledState(kActive), kActive) << "opened through the window";
}

TEST_F(Fcitx5Ime, RomajiTypedIntoTheNameBoxArrivesAsHiragana) {
  focusBox("EDIT8");
  ASSERT_EQ(settledState(kActive), kActive);
  typeKeys({"y", "a", "m", "a", "d", "a", "Return"});
  EXPECT_TRUE(waitUntil([] { return fw::ctl("EDIT8").text() == "やまだ"_sj; }))
      << "EDIT8 holds \"" << fw::toUtf8(fw::ctl("EDIT8").text()) << "\"";
}

TEST_F(Fcitx5Ime, InputBoxTakesTheModeSetBeforeItOpens) {
  focusBox("EDIT8");
  ASSERT_EQ(settledState(kActive), kActive);

  {
    // As the number search asks: the input method off while the box is open.
    InputBoxWatch off(kInactive);
    fw::mainWindow().setImeMode(2);
    fw::inputBox(nullptr, "番号で検索"_sj, "番号を入力して下さい。"_sj, "");
    ASSERT_TRUE(off.state) << "the input box did not come up";
    EXPECT_EQ(*off.state, kInactive) << "input box after mode 2";
  }
  {
    // The hospital name: opened in hiragana by the program before it asks.
    InputBoxWatch hiragana(kActive);
    fw::testing::click(fw::ctl("BUTTON5"));
    fw::waitForEvents();
    ASSERT_TRUE(hiragana.state) << "the hospital name box did not come up";
    EXPECT_EQ(*hiragana.state, kActive) << "hospital name input box";
    EXPECT_EQ(hiragana.engine.toStdString(), "anthy");
  }
}

TEST_F(Fcitx5Ime, DoctorNameBoxOfItsOwnWindowOpensTheInputMethod) {
  focusBox("EDIT1");
  ASSERT_EQ(settledState(kInactive), kInactive);
  fw::testing::click(fw::ctl("BUTTON6"));
  fw::waitForEvents();
  ASSERT_TRUE(fw::isOpen(masters::FORM6));
  // As a window manager activates a window that comes up.
  masters::FORM6->activate();
  fw::Control& name = masters::FORM6->control("EDIT96");
  ASSERT_TRUE(waitUntil([&] { return name.hasFocus(); })) << "EDIT96 did not get the focus";
  EXPECT_EQ(settledState(kActive), kActive);
  EXPECT_EQ(fcitxInputMethod().toStdString(), "anthy");
}

// The correction boxes ask for full-width alphanumerics, but a full-width
// digit is no number to the correction file: they must take half-width ones.
TEST_F(Fcitx5Ime, CorrectionBoxesTakeHalfWidthDigits) {
  focusBox("EDIT8");
  ASSERT_EQ(settledState(kActive), kActive);
  fw::testing::click(fw::ctl("BUTTON21"));
  fw::waitForEvents();
  ASSERT_TRUE(fw::isOpen(printing::FORM4));
  fw::Control& vertical = printing::FORM4->control("EDIT25");
  vertical.setText("");
  focusBox(vertical);
  EXPECT_EQ(settledState(kInactive), kInactive);
  typeKeys({"minus", "1", "period", "5"});
  EXPECT_TRUE(waitUntil([&] { return vertical.text() == "-1.5"; }))
      << "EDIT25 holds \"" << fw::toUtf8(vertical.text()) << "\"";
}

TEST_F(NoSessionBus, BoxesTakeTheFocusAndTypedKeys) {
  EXPECT_LT(focusEveryBoxMilliseconds(), 3000);

  focusBox("EDIT1");
  typeKeys({"1", "2", "3", "Return"});
  EXPECT_TRUE(waitUntil([] { return fw::ctl("EDIT2").hasFocus(); })) << "EDIT1 was not committed";
  EXPECT_EQ(fw::ctl("EDIT1").text(), "123");

  InputBoxTyping typing({"a", "b", "c", "Return"});
  fw::mainWindow().setImeMode(4);
  EXPECT_EQ(fw::inputBox(nullptr, "氏名で検索"_sj, "氏名を入力して下さい。"_sj, ""), "abc");
}

// fcitx5 owns its name on the bus but answers nothing (stopped): a call
// that waited for it would hold the program for the bus timeout.
TEST_F(StuckInputMethod, FocusMovesDoNotWait) {
  EXPECT_LT(focusEveryBoxMilliseconds(), 3000);
}

// IBus has no closed state: closing is the keyboard engine the operator was
// seen using, opening the Japanese engine.
TEST_F(IBusIme, FocusSwitchesBetweenTheKeyboardAndTheJapaneseEngine) {
  focusBox("EDIT1");
  EXPECT_EQ(settledEngine("xkb:us::eng"), "xkb:us::eng") << "examinee number box";
  focusBox("EDIT8");
  EXPECT_EQ(settledEngine("anthy"), "anthy") << "name box";
  focusBox("EDIT1");
  EXPECT_EQ(settledEngine("xkb:us::eng"), "xkb:us::eng") << "examinee number box again";
  focusBox("EDIT9");
  EXPECT_EQ(settledEngine("anthy"), "anthy") << "birth year box";
}

}  // namespace
#endif  // _WIN32
