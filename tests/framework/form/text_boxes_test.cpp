// What the operator brings into the boxes of a window: a clipboard without
// text pastes nothing (Qt 6.4 crashed on it), and characters that CP932
// cannot hold are refused with one notice, whichever way they come in.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/program.h"
#include "framework/form/responder.h"
#include "framework/form/testing.h"
#include "framework/form/window.h"
#include "tests/framework/form/clipboards.h"

namespace fw {
namespace {

using test::kClipboardsWithoutText;

class TextBoxes : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(initForTests());
    openWindow(form4, "form4", 0);
    openWindow(form8, "form8", 0);
  }
  void TearDown() override {
    QGuiApplication::clipboard()->clear();
    resetForTests();
  }
  FormRef form4, form8;
  ScriptedResponder answers;
};

// Multi-line, single-line and read-only boxes, and a drop-down list.
TEST_F(TextBoxes, PastingAClipboardWithoutTextChangesNothing) {
  Control& combo = ctl("COMBO3");
  combo.addItem("田中"_sj);
  combo.setSelectedIndex(0);
  for (const auto& clipboard : kClipboardsWithoutText) {
    clipboard();
    for (Control* box : {&ctl("EDIT8"), &form4->control("EDIT25"), &form8->control("EDIT99")}) {
      box->setText("前"_sj);
      testing::paste(*box);
      EXPECT_EQ(box->text(), "前"_sj) << box->name();
    }
    testing::paste(combo);
    EXPECT_EQ(combo.selectedIndex(), 0);
    waitForEvents();
  }
  EXPECT_TRUE(answers.messages.empty());
}

// Every way in, for both kinds of box: the text is refused whole, and one of
// characters that CP932 has (NEC and IBM extensions, the Microsoft forms of
// the wave dash and the minus) comes in the same way.
TEST_F(TextBoxes, CharactersWithoutCp932AreRefusedWhereverTheyComeIn) {
  const std::vector<std::function<void(Control&, const std::string&)>> ways = {
      testing::typeUtf8, testing::commitFromInputMethod,
      [](Control& box, const std::string& utf8) {
        QGuiApplication::clipboard()->setText(QString::fromStdString(utf8));
        testing::paste(box);
      }};
  for (std::size_t way = 0; way < ways.size(); ++way) {
    for (Control* box : {&ctl("EDIT8"), &form4->control("EDIT25")}) {
      SCOPED_TRACE("way " + std::to_string(way) + " into " + box->name());
      answers.messages.clear();
      box->setText("山田"_sj);
      box->setSelection(-1, -1, false);
      ways[way](*box, "吉𠮷");
      waitForEvents();
      EXPECT_EQ(box->text(), "山田"_sj);
      ASSERT_EQ(answers.messages.size(), 1u);
      const MessageBoxRequest& notice = answers.messages[0];
      EXPECT_EQ(notice.title, kRefusedCharactersTitle);
      EXPECT_EQ(notice.shownText, "「𠮷」はこのプログラムでは使えない文字です。別の字で入力して下さい。");
      // The program's own text gives the character by its code.
      EXPECT_EQ(notice.text, "「U+20BB7」はこのプログラムでは使えない文字です。別の字で入力して下さい。"_sj);
      EXPECT_EQ(std::pair(notice.buttons, notice.icon), std::pair(mb::OK, mb::Information));

      ways[way](*box, "①㈱～－");
      waitForEvents();
      EXPECT_EQ(box->text(), "山田①㈱～－"_sj);
      EXPECT_EQ(answers.messages.size(), 1u);
    }
  }
}

// Refusals before the notice is shown make one notice; it names five.
TEST_F(TextBoxes, RefusalsBeforeTheNoticeMakeOne) {
  testing::typeUtf8(ctl("EDIT8"), "😀");
  testing::commitFromInputMethod(ctl("EDIT8"), "𠮷😀©®™é");
  waitForEvents();
  ASSERT_EQ(answers.messages.size(), 1u);
  EXPECT_EQ(answers.messages[0].owner, "MAINFORM");
  EXPECT_EQ(answers.messages[0].shownText,
            "「😀」「𠮷」「©」「®」「™」などはこのプログラムでは使えない文字です。別の字で入力して下さい。");
}

}  // namespace
}  // namespace fw
