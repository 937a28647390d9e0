// Message box, input box and pause. The real dialogs are driven offscreen
// the way the operator would answer them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "framework/core/error.h"
#include "framework/form/dialogs.h"
#include "framework/form/responder.h"
#include "tests/framework/form/clipboards.h"
#include "tests/support/error_of.h"

namespace fw {
namespace {

using tessivo::test::errorOf;

// Runs act on the modal dialog as soon as it is up.
void whenModal(std::function<void(QWidget*)> act) {
  auto* poll = new QTimer;
  poll->setInterval(10);
  QObject::connect(poll, &QTimer::timeout, [poll, act] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      poll->stop();
      poll->deleteLater();
      act(modal);
    }
  });
  poll->start();
}

void press(QWidget* target, int key, const QString& text = {},
           Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QKeyEvent down(QEvent::KeyPress, key, modifiers, text);
  QCoreApplication::sendEvent(target, &down);
  QKeyEvent up(QEvent::KeyRelease, key, modifiers, text);
  QCoreApplication::sendEvent(target, &up);
}

void typeInto(QWidget* dialog, const QString& text) {
  QLineEdit* edit = dialog->findChild<QLineEdit*>();
  for (QChar c : text) press(edit, 0, QString(c));
}

QPushButton* buttonCaptioned(QWidget* dialog, const QString& caption) {
  for (QPushButton* b : dialog->findChildren<QPushButton*>())
    if (b->text() == caption) return b;
  return nullptr;
}

QString repeated(const char* utf8, int n) { return QString::fromUtf8(utf8).repeated(n); }
Str fromRepeat(const char* utf8, int n) {
  Str out;
  for (int i = 0; i < n; ++i) out += sj(utf8);
  return out;
}

TEST(InputBox, EscReturnsTheSingleByte27) {
  whenModal([](QWidget* dialog) { press(dialog->focusWidget(), Qt::Key_Escape); });
  Str result = inputBox(nullptr, "T", "P", "default");
  EXPECT_EQ(result, Str(1, '\x1b'));
}

TEST(InputBox, OkReturnsTheTypedTextInCp932) {
  whenModal([](QWidget* dialog) {
    dialog->findChild<QLineEdit*>()->end(false);
    typeInto(dialog, QString::fromUtf8("山田ｱ1"));
    buttonCaptioned(dialog, "OK")->click();
  });
  EXPECT_EQ(inputBox(nullptr, "T", "P", "No."), "No.山田ｱ1"_sj);
}

TEST(InputBox, CancelButtonIsCaptionedInHalfWidthKatakana) {
  bool found = false;
  whenModal([&found](QWidget* dialog) {
    QPushButton* cancel = buttonCaptioned(dialog, QString::fromUtf8("ｷｬﾝｾﾙ"));
    found = cancel != nullptr;
    if (cancel)
      cancel->click();
    else
      static_cast<QDialog*>(dialog)->reject();
  });
  EXPECT_EQ(inputBox(nullptr, "T", "P", ""), Str(1, '\x1b'));
  EXPECT_TRUE(found);
}

// The field holds at most 64 bytes of CP932: a double-byte character that
// would end at byte 65 is refused whole.
TEST(InputBox, FieldIsLimitedTo64Bytes) {
  auto typed = [](const Str& defaultText, const QString& text) {
    whenModal([text](QWidget* dialog) {
      QLineEdit* edit = dialog->findChild<QLineEdit*>();
      edit->end(false);
      typeInto(dialog, text);
      buttonCaptioned(dialog, "OK")->click();
    });
    return inputBox(nullptr, "T", "P", defaultText);
  };
  {
    Str r = typed("", repeated("あ", 33));
    EXPECT_EQ(r.size(), 64u);
    EXPECT_EQ(r, fromRepeat("あ", 32));
  }
  {
    Str r = typed("A", repeated("あ", 40));  // 1 + 31 x 2 = 63, the 32nd would split
    EXPECT_EQ(r, "A" + fromRepeat("あ", 31));
  }
  {
    Str r = typed("AB", repeated("あ", 31) + "ｶX");  // 2 + 62 = 64: nothing more fits
    EXPECT_EQ(r, "AB" + fromRepeat("あ", 31));
  }
  {
    Str r = typed("", repeated("ｱ", 70));  // half-width katakana is one byte
    EXPECT_EQ(r, fromRepeat("ｱ", 64));
  }
}

// Answers message boxes only, recording them: the other dialogs are real.
struct MessageBoxesOnly : Responder {
  MessageBoxesOnly() {
    messageBox = [this](const MessageBoxRequest& r) { return shown.push_back(r), mb::ResOK; };
    setResponder(this);
  }
  ~MessageBoxesOnly() { setResponder(nullptr); }
  std::vector<MessageBoxRequest> shown;
};

TEST(InputBox, FieldPastesNoTextAndRefusesCharactersWithoutCp932) {
  MessageBoxesOnly notices;
  QString kept;
  whenModal([&kept](QWidget* dialog) {
    QLineEdit* edit = dialog->findChild<QLineEdit*>();
    edit->end(false);
    const QString ctrlV(QChar(0x16));
    for (const auto& clipboard : test::kClipboardsWithoutText) {
      clipboard();
      press(edit, Qt::Key_V, ctrlV, Qt::ControlModifier);
    }
    press(edit, 0, QString::fromUtf8("𠮷"));
    QInputMethodEvent commit;
    commit.setCommitString(QString::fromUtf8("😀"));
    QCoreApplication::sendEvent(edit, &commit);
    QGuiApplication::clipboard()->setText(QString::fromUtf8("吉𠮷"));
    press(edit, Qt::Key_V, ctrlV, Qt::ControlModifier);
    QCoreApplication::processEvents();  // the notice
    kept = edit->text();
    buttonCaptioned(dialog, "OK")->click();
  });
  EXPECT_EQ(inputBox(nullptr, "T", "P", "山田"_sj), "山田"_sj);
  EXPECT_EQ(kept, QString::fromUtf8("山田"));
  ASSERT_EQ(notices.shown.size(), 1u);
  EXPECT_EQ(notices.shown[0].shownText, refusedCharactersNotice({"𠮷", "😀"}));
  QGuiApplication::clipboard()->clear();
}

// The file would be written with '?' in place of the character: the dialog
// says so and asks again, offering the name the operator typed.
TEST(SaveFileDialog, NameWithACharacterCp932LacksIsAskedAgain) {
  MessageBoxesOnly notices;
  int asked = 0;
  QString offeredAgain;
  QPointer<QFileDialog> last;
  QTimer poll;
  poll.setInterval(10);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (!files || files == last) return;
    last = files;
    if (++asked == 1) {
      files->selectFile(QString::fromUtf8("吉𠮷.csv"));
      static_cast<QDialog*>(files)->accept();  // as the save button does
    } else {
      offeredAgain = files->selectedFiles().value(0);
      files->reject();
    }
  });
  poll.start();
  EXPECT_EQ(saveFileDialog(nullptr, "T", "a.csv", "CSV (*.csv)"), "");
  EXPECT_EQ(asked, 2);
  EXPECT_TRUE(offeredAgain.endsWith(QString::fromUtf8("/吉𠮷.csv"))) << offeredAgain.toStdString();
  ASSERT_EQ(notices.shown.size(), 1u);
  EXPECT_EQ(notices.shown[0].shownText, refusedCharactersNotice({"𠮷"}));
}

TEST(InputBox, TitlePromptAndDefaultMustBeUnder65Bytes) {
  ScriptedResponder answers;
  const Str ok64(64, 'x'), long65(65, 'x');
  EXPECT_EQ(errorOf([&] { inputBox(nullptr, ok64, ok64, ok64); }), 0);
  EXPECT_EQ(errorOf([&] { inputBox(nullptr, long65, "", ""); }), err::InvalidArgument);
  EXPECT_EQ(errorOf([&] { inputBox(nullptr, "", long65, ""); }), err::InvalidArgument);
  EXPECT_EQ(errorOf([&] { inputBox(nullptr, "", "", long65); }), err::InvalidArgument);
  EXPECT_EQ(answers.inputs.size(), 1u);
}

TEST(MessageBox, YesNoAnswersYesOrNo) {
  whenModal([](QWidget* box) {
    static_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click();
  });
  EXPECT_EQ(messageBox(nullptr, "T", "Q", mb::YesNo, mb::Question), mb::ResYes);
  whenModal([](QWidget* box) {
    static_cast<QMessageBox*>(box)->button(QMessageBox::No)->click();
  });
  EXPECT_EQ(messageBox(nullptr, "T", "Q", mb::YesNo, mb::Question), mb::ResNo);
}

// Without a Cancel button neither Esc nor the close box may answer for the
// operator: the box stays until Yes or No is clicked.
TEST(MessageBox, YesNoCannotBeClosedWithEscOrCloseBox) {
  bool stillOpen = false;
  QString shown;
  whenModal([&](QWidget* widget) {
    auto* box = static_cast<QMessageBox*>(widget);
    shown = box->text();
    press(box->focusWidget() ? box->focusWidget() : box, Qt::Key_Escape);
    press(box, Qt::Key_Escape);
    box->close();
    QTimer::singleShot(30, [&stillOpen, box] {
      stillOpen = QApplication::activeModalWidget() == box && box->isVisible();
      box->button(QMessageBox::No)->click();
    });
  });
  EXPECT_EQ(messageBox(nullptr, "T", "line1\r\nline2", mb::YesNo, mb::Question), mb::ResNo);
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(shown, "line1\nline2");
}

TEST(MessageBox, EscAnswersCancelWhereThereIsOne) {
  whenModal([](QWidget* box) { press(box, Qt::Key_Escape); });
  EXPECT_EQ(messageBox(nullptr, "T", "Q", mb::OKCancel, mb::Information), mb::ResCancel);
}

TEST(MessageBox, ButtonsOutside0To5OrIconOutside0To4AreError5) {
  ScriptedResponder answers;
  EXPECT_EQ(errorOf([] { messageBox(nullptr, "", "", -1, 0); }), err::InvalidArgument);
  EXPECT_EQ(errorOf([] { messageBox(nullptr, "", "", 6, 0); }), err::InvalidArgument);
  EXPECT_EQ(errorOf([] { messageBox(nullptr, "", "", 0, -1); }), err::InvalidArgument);
  EXPECT_EQ(errorOf([] { messageBox(nullptr, "", "", 0, 5); }), err::InvalidArgument);
  EXPECT_EQ(errorOf([] { messageBox(nullptr, "", "", 5, 4); }), 0);
  EXPECT_EQ(answers.messages.size(), 1u);
}

TEST(ScriptedResponder, RecordsRequestsByteForByte) {
  ScriptedResponder answers;
  answers.messageAnswers = {mb::ResNo};
  answers.inputAnswers = {"123"};
  const Str text = "データが変更されています。\r\nよろしいですか？"_sj;
  EXPECT_EQ(messageBox(nullptr, "終　了"_sj, text, mb::YesNo, mb::Question), mb::ResNo);
  EXPECT_EQ(inputBox(nullptr, "検索"_sj, "番号"_sj, "0"), "123");
  ASSERT_EQ(answers.messages.size(), 1u);
  EXPECT_EQ(answers.messages[0].title, "終　了"_sj);
  EXPECT_EQ(answers.messages[0].text, text);
  EXPECT_EQ(answers.messages[0].buttons, mb::YesNo);
  EXPECT_EQ(answers.messages[0].icon, mb::Question);
  ASSERT_EQ(answers.inputs.size(), 1u);
  EXPECT_EQ(answers.inputs[0].title, "検索"_sj);
  EXPECT_EQ(answers.inputs[0].prompt, "番号"_sj);
  EXPECT_EQ(answers.inputs[0].defaultText, "0");
}

TEST(ScriptedResponder, UnscriptedDialogsGetTheFirstButtonOrCancel) {
  ScriptedResponder answers;
  EXPECT_EQ(messageBox(nullptr, "", "", mb::OK, mb::Stop), mb::ResOK);
  EXPECT_EQ(messageBox(nullptr, "", "", mb::AbortRetryIgnore, mb::Stop), mb::ResAbort);
  EXPECT_EQ(messageBox(nullptr, "", "", mb::YesNo, mb::Question), mb::ResYes);
  EXPECT_EQ(messageBox(nullptr, "", "", mb::RetryCancel, mb::Stop), mb::ResRetry);
  EXPECT_EQ(inputBox(nullptr, "", "", "x"), Str(1, '\x1b'));
  EXPECT_EQ(answers.messages.size(), 4u);
  EXPECT_EQ(answers.inputs.size(), 1u);
}

TEST(ScriptedResponder, InnerOneHidesOuterUntilDestroyed) {
  ScriptedResponder outer;
  {
    ScriptedResponder inner;
    messageBox(nullptr, "inner", "", mb::OK, mb::Information);
    EXPECT_EQ(inner.messages.size(), 1u);
  }
  messageBox(nullptr, "outer", "", mb::OK, mb::Information);
  ASSERT_EQ(outer.messages.size(), 1u);
  EXPECT_EQ(outer.messages[0].title, "outer");
}

TEST(Pause, TwentyLastsAtLeast200Milliseconds) {
  auto start = std::chrono::steady_clock::now();
  pause(20);
  auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 190);
}

TEST(Pause, OutsideZeroTo65535IsError5) {
  EXPECT_EQ(errorOf([] { pause(-1); }), err::InvalidArgument);
  EXPECT_EQ(errorOf([] { pause(65536); }), err::InvalidArgument);
  EXPECT_EQ(errorOf([] { pause(0); }), 0);
}

}  // namespace
}  // namespace fw
