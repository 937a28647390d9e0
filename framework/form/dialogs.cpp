// Message box, input box, pause, beep, clipboard and the single-instance lock.
#include "framework/form/dialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <chrono>
#include <cstdio>
#include <thread>

#include "framework/core/cp932.h"
#include "framework/core/error.h"
#include "framework/form/internal/dialog_instance_lock.h"
#include "framework/form/internal/dialog_owner.h"
#include "framework/form/internal/form_objects.h"
#include "framework/form/internal/input_method.h"
#include "framework/form/internal/text_boxes.h"
#include "framework/form/responder.h"

namespace fw {
namespace {

QString qt(const Str& cp932) { return QString::fromStdString(toUtf8(cp932)); }
Str program(const QString& text) { return fromUtf8(text.toStdString()); }

// CR LF (and a lone CR) become the line breaks Qt shows.
QString lines(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QChar('\r'), QChar('\n'));
  return text;
}

bool haveWidgets() { return qobject_cast<QApplication*>(QCoreApplication::instance()); }

struct ButtonSet {
  QMessageBox::StandardButton buttons[3];
  int count;
  bool escapeCloses;  // a Cancel button, or OK alone
};

ButtonSet buttonSet(int kind) {
  using B = QMessageBox;
  switch (kind) {
    case mb::OK: return {{B::Ok}, 1, true};
    case mb::OKCancel: return {{B::Ok, B::Cancel}, 2, true};
    case mb::AbortRetryIgnore: return {{B::Abort, B::Retry, B::Ignore}, 3, false};
    case mb::YesNoCancel: return {{B::Yes, B::No, B::Cancel}, 3, true};
    case mb::YesNo: return {{B::Yes, B::No}, 2, false};
    default: return {{B::Retry, B::Cancel}, 2, true};
  }
}

int resultOf(QMessageBox::StandardButton button) {
  switch (button) {
    case QMessageBox::Cancel: return mb::ResCancel;
    case QMessageBox::Abort: return mb::ResAbort;
    case QMessageBox::Retry: return mb::ResRetry;
    case QMessageBox::Ignore: return mb::ResIgnore;
    case QMessageBox::Yes: return mb::ResYes;
    case QMessageBox::No: return mb::ResNo;
    default: return mb::ResOK;
  }
}

// The captions a Japanese system gives its message box buttons; Qt's own
// are English unless its translations happen to be installed.
QString buttonCaption(QMessageBox::StandardButton button) {
  switch (button) {
    case QMessageBox::Cancel: return QStringLiteral(u"キャンセル");
    case QMessageBox::Abort: return QStringLiteral(u"中止(&A)");
    case QMessageBox::Retry: return QStringLiteral(u"再試行(&R)");
    case QMessageBox::Ignore: return QStringLiteral(u"無視(&I)");
    case QMessageBox::Yes: return QStringLiteral(u"はい(&Y)");
    case QMessageBox::No: return QStringLiteral(u"いいえ(&N)");
    default: return QStringLiteral("OK");
  }
}

QMessageBox::Icon qtIcon(int icon) {
  switch (icon) {
    case mb::Stop: return QMessageBox::Critical;
    case mb::Question: return QMessageBox::Question;
    case mb::Exclamation: return QMessageBox::Warning;
    case mb::Information: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

// A box without a way to cancel (Yes/No, Abort/Retry/Ignore) must be answered
// with one of its buttons: QMessageBox would otherwise let Esc or the close
// box pick "No" or "Abort" for the operator.
class NoEscape : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::Close:
        event->ignore();
        return true;
      case QEvent::ShortcutOverride:
      case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
          key->accept();
          return true;
        }
        break;
      }
      default:
        break;
    }
    return QObject::eventFilter(watched, event);
  }
};

constexpr int kInputLimitBytes = 64;

// The code of a character: "U+20BB7".
std::string codeOf(const std::string& utf8) {
  const QList<uint> codes = QString::fromStdString(utf8).toUcs4();
  return QStringLiteral("U+%1")
      .arg(codes.isEmpty() ? 0u : codes.front(), 4, 16, QLatin1Char('0'))
      .toUpper()
      .toStdString();
}

// The notice naming the characters, each written by `name`.
std::string refusedNotice(const std::vector<std::string>& characters,
                          std::string (*name)(const std::string&)) {
  constexpr std::size_t kNamed = 5;
  std::string text;
  for (std::size_t i = 0; i < characters.size() && i < kNamed; ++i)
    text += "「" + name(characters[i]) + "」";
  if (characters.size() > kNamed) text += "など";
  return text + "はこのプログラムでは使えない文字です。別の字で入力して下さい。";
}

std::string asItIs(const std::string& utf8) { return utf8; }

// The message box over a resolved owner; `shown` is the text in UTF-8 as
// the operator reads it.
int showMessageBox(const internal::DialogOwner& parent, const Str& title, const Str& text,
                   const std::string& shown, int buttons, int icon) {
  if (Responder* r = responder(); r && r->messageBox)
    return r->messageBox(MessageBoxRequest{parent.name, title, text, buttons, icon, shown});

  ButtonSet set = buttonSet(buttons);
  if (!haveWidgets()) {
    std::fprintf(stderr, "%s\n%s\n", toUtf8(title).c_str(), shown.c_str());
    return resultOf(set.buttons[0]);
  }
  QMessageBox box(parent.widget);
  box.setWindowTitle(qt(title));
  box.setTextFormat(Qt::PlainText);
  box.setText(lines(QString::fromStdString(shown)));
  box.setIcon(qtIcon(icon));
  for (int i = 0; i < set.count; ++i)
    box.addButton(set.buttons[i])->setText(buttonCaption(set.buttons[i]));
  box.setDefaultButton(set.buttons[0]);
  NoEscape noEscape;
  if (!set.escapeCloses) {
    box.setWindowFlag(Qt::WindowCloseButtonHint, false);
    box.installEventFilter(&noEscape);
  }
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  if (!clicked) return resultOf(set.buttons[0]);
  return resultOf(box.standardButton(clicked));
}

}  // namespace

int messageBox(Window* owner, const Str& title, const Str& text, int buttons, int icon) {
  if (buttons < mb::OK || buttons > mb::RetryCancel) raise(err::InvalidArgument);
  if (icon < mb::Stop || icon > mb::NoIcon) raise(err::InvalidArgument);
  return showMessageBox(internal::resolveDialogOwner(owner), title, text, toUtf8(text), buttons,
                        icon);
}

std::string refusedCharactersNotice(const std::vector<std::string>& characters) {
  return refusedNotice(characters, asItIs);
}

namespace internal {

void tellCharactersRefused(const DialogOwner& owner, const std::vector<std::string>& characters) {
  showMessageBox(owner, kRefusedCharactersTitle, fromUtf8(refusedNotice(characters, codeOf)),
                 refusedNotice(characters, asItIs), mb::OK, mb::Information);
}

}  // namespace internal

Str inputBox(Window* owner, const Str& title, const Str& prompt, const Str& defaultText) {
  constexpr std::size_t kTextLimitBytes = 65;
  if (title.size() >= kTextLimitBytes || prompt.size() >= kTextLimitBytes ||
      defaultText.size() >= kTextLimitBytes)
    raise(err::InvalidArgument);
  internal::DialogOwner parent = internal::resolveDialogOwner(owner);

  if (Responder* r = responder(); r && r->inputBox)
    return r->inputBox(InputBoxRequest{parent.name, title, prompt, defaultText});

  const Str cancelled(1, '\x1b');
  if (!haveWidgets()) return cancelled;

  QDialog dialog(parent.widget);
  dialog.setWindowTitle(qt(title));
  dialog.setWindowFlag(Qt::WindowContextHelpButtonHint, false);
  auto* layout = new QVBoxLayout(&dialog);
  auto* label = new QLabel(lines(qt(prompt)), &dialog);
  label->setTextFormat(Qt::PlainText);
  layout->addWidget(label);
  auto* edit = new internal::SingleLineEdit(&dialog, kInputLimitBytes);
  edit->setObjectName(QStringLiteral("inputText"));
  edit->gate().owner = [&dialog, name = parent.name] {
    return internal::DialogOwner{&dialog, name};
  };
  edit->setProgramText(qt(defaultText));
  edit->selectAll();
  edit->setMinimumWidth(280);
  // The program opens or closes the input method just before it asks.
  internal::followProgramImeMode(edit);
  layout->addWidget(edit);
  auto* row = new QHBoxLayout;
  row->addStretch();
  auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
  auto* cancel = new QPushButton(QString::fromUtf8("ｷｬﾝｾﾙ"), &dialog);
  ok->setDefault(true);
  row->addWidget(ok);
  row->addWidget(cancel);
  layout->addLayout(row);
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
  edit->setFocus();

  if (dialog.exec() != QDialog::Accepted) return cancelled;
  return program(edit->text());
}

Str saveFileDialog(Window* owner, const Str& title, const Str& suggestedName, const Str& filter) {
  internal::DialogOwner parent = internal::resolveDialogOwner(owner);
  if (Responder* r = responder(); r && r->saveFile)
    return r->saveFile(SaveFileRequest{parent.name, title, suggestedName, filter});
  if (!haveWidgets()) return Str();
  QString start = QDir::current().filePath(qt(suggestedName));
  for (;;) {
    const QString chosen = QFileDialog::getSaveFileName(parent.widget, qt(title), start, qt(filter));
    if (chosen.isEmpty()) return Str();
    const std::vector<std::string> missing = charactersWithoutCp932(chosen.toStdString());
    if (missing.empty()) return program(chosen);
    // The file would be written under another name ('?' in their place).
    internal::tellCharactersRefused(parent, missing);
    start = chosen;
  }
}

void pause(int hundredths) {
  if (hundredths < 0 || hundredths > 65535) raise(err::InvalidArgument);
  const auto duration = std::chrono::milliseconds(hundredths * 10);
  const auto until = std::chrono::steady_clock::now() + duration;
  if (!QCoreApplication::instance()) {
    std::this_thread::sleep_until(until);
    return;
  }
  // Windows keep repainting and taking input while the program sleeps; the
  // event queue itself is served only by waitForEvents.
  for (auto now = std::chrono::steady_clock::now(); now < until && !internal::endRequested();
       now = std::chrono::steady_clock::now()) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(until - now);
    QEventLoop loop;
    QTimer::singleShot(left, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
  }
  internal::leaveProcedureIfEnded();
}

void beep() {
  if (Responder* r = responder(); r && r->beep) return r->beep();
  if (haveWidgets()) QApplication::beep();
}

void clipboardClear() {
  if (haveWidgets()) QGuiApplication::clipboard()->clear();
}

void clipboardSetText(const Str& text) {
  if (haveWidgets()) QGuiApplication::clipboard()->setText(qt(text));
}

bool previousInstance() {
  // Held until the process ends.
  static internal::InstanceLock lock;
  static const bool otherHolds = [] {
    if (lock.tryAcquire(internal::instanceLockPath())) return false;
    // The program then refuses to run as if another copy held the lock;
    // the operator's message cannot tell the two apart, this line can.
    if (!lock.failure().empty()) std::fprintf(stderr, "%s\n", lock.failure().c_str());
    return true;
  }();
  return otherHolds;
}

}  // namespace fw
