// keyDown: the Esc key that stops the long loops.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWidget>
#include <chrono>

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

// A loop that tests Esc once per record must not pay for a pass of the event
// loop at every test, yet window messages keep coming in while it polls. A
// zero timer fires once per pass.
TEST(KeyDown, PollingLetsMessagesInEveryFewMilliseconds) {
  using namespace std::chrono;
  int passes = 0;
  QTimer timer;
  timer.setInterval(0);
  QObject::connect(&timer, &QTimer::timeout, [&] { ++passes; });
  timer.start();
  const auto start = steady_clock::now();
  long polls = 0;
  while (passes < 3 && steady_clock::now() - start < seconds(2)) {
    keyDown(kVkEscape);
    ++polls;
  }
  const auto elapsedMs = duration_cast<milliseconds>(steady_clock::now() - start).count();
  EXPECT_GE(passes, 3);
  EXPECT_LE(passes, elapsedMs / 5 + 2) << polls << " polls in " << elapsedMs << " ms";
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
