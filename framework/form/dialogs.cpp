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
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QValidator>
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
#include "framework/form/responder.h"

namespace fw {
namespace {

QString qt(const Str& cp932) { return QString::fromStdString(toUtf8(cp932)); }
Str program(const QString& text) { return fromUtf8(text.toStdString()); }

// CR LF (and a lone CR) become the line breaks Qt shows.
QString lines(const Str& cp932) {
  QString text = qt(cp932);
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

// Keeps the edit field at 64 bytes of CP932: what was just typed or pasted is
// cut back (never half a character) instead of the end of the text.
class ByteLimit : public QValidator {
 public:
  using QValidator::QValidator;

  State validate(QString& input, int& pos) const override {
    while (bytes(input) > kInputLimitBytes) {
      int at = pos > 0 ? pos - 1 : input.size() - 1;
      if (at < 0) break;
      int width = (at > 0 && input[at].isLowSurrogate() && input[at - 1].isHighSurrogate()) ? 2 : 1;
      at -= width - 1;
      input.remove(at, width);
      if (pos > at) pos = at;
    }
    return Acceptable;
  }

  static int bytes(const QString& text) {
    return static_cast<int>(fromUtf8(text.toStdString()).size());
  }
};

}  // namespace

int messageBox(Window* owner, const Str& title, const Str& text, int buttons, int icon) {
  if (buttons < mb::OK || buttons > mb::RetryCancel) raise(err::InvalidArgument);
  if (icon < mb::Stop || icon > mb::NoIcon) raise(err::InvalidArgument);
  internal::DialogOwner parent = internal::resolveDialogOwner(owner);

  if (Responder* r = responder(); r && r->messageBox)
    return r->messageBox(MessageBoxRequest{parent.name, title, text, buttons, icon});

  ButtonSet set = buttonSet(buttons);
  if (!haveWidgets()) {
    std::fprintf(stderr, "%s\n%s\n", toUtf8(title).c_str(), toUtf8(text).c_str());
    return resultOf(set.buttons[0]);
  }
  QMessageBox box(parent.widget);
  box.setWindowTitle(qt(title));
  box.setTextFormat(Qt::PlainText);
  box.setText(lines(text));
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
  auto* label = new QLabel(lines(prompt), &dialog);
  label->setTextFormat(Qt::PlainText);
  layout->addWidget(label);
  auto* edit = new QLineEdit(&dialog);
  edit->setObjectName(QStringLiteral("inputText"));
  edit->setValidator(new ByteLimit(edit));
  edit->setText(qt(defaultText));
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
  const QString chosen = QFileDialog::getSaveFileName(
      parent.widget, qt(title), QDir::current().filePath(qt(suggestedName)), qt(filter));
  return chosen.isEmpty() ? Str() : program(chosen);
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
