// keyDown: the Esc key that stops the long loops.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include "framework/form/dialogs.h"
#include "framework/form/internal/key_state.h"
#include "framework/form/responder.h"

namespace fw {
namespace {

void post(QWidget* target, QEvent::Type type, bool autoRepeat = false) {
  QCoreApplication::postEvent(
      target, new QKeyEvent(type, Qt::Key_Escape, Qt::NoModifier, QString(), autoRepeat));
}

// The press is still waiting in the queue when the loop polls: keyDown must
// take it in first. A held key repeats; only the real release lets it go.
TEST(KeyDown, HeldEscIsSeenUntilReleased) {
  internal::releaseAllKeys();
  QWidget window;
  window.show();
  EXPECT_FALSE(keyDown(kVkEscape));
  post(&window, QEvent::KeyPress);
  EXPECT_TRUE(keyDown(kVkEscape));
  EXPECT_TRUE(keyDown(kVkEscape));
  post(&window, QEvent::KeyRelease, true);
  post(&window, QEvent::KeyPress, true);
  post(&window, QEvent::KeyRelease, true);
  EXPECT_TRUE(keyDown(kVkEscape));
  EXPECT_FALSE(keyDown(13));
  post(&window, QEvent::KeyRelease);
  EXPECT_FALSE(keyDown(kVkEscape));
}

TEST(KeyDown, ResponderDecidesWhileInstalled) {
  internal::releaseAllKeys();
  QWidget window;
  window.show();
  post(&window, QEvent::KeyPress);
  {
    ScriptedResponder answers;
    EXPECT_FALSE(keyDown(kVkEscape));  // the real keyboard is not asked
    answers.keys = [](int vk) { return vk == kVkEscape; };
    EXPECT_TRUE(keyDown(kVkEscape));
    EXPECT_FALSE(keyDown(13));
  }
  EXPECT_TRUE(keyDown(kVkEscape));
  internal::releaseAllKeys();
}

}  // namespace
}  // namespace fw
