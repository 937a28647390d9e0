// keyDown and the key tracker.
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QPointer>
#include <chrono>
#include <set>

#include "framework/form/dialogs.h"
#include "framework/form/internal/form_objects.h"
#include "framework/form/internal/key_state.h"
#include "framework/form/responder.h"

namespace fw {
namespace internal {
namespace {

std::set<int> g_keysDown;

class KeyTracker : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::KeyPress:
      case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        // A key that is held repeats as release/press pairs on some
        // platforms; it stays down until the real release.
        if (key->isAutoRepeat()) break;
        if (int vk = virtualKeyOfQtKey(key->key())) {
          if (event->type() == QEvent::KeyPress)
            g_keysDown.insert(vk);
          else
            g_keysDown.erase(vk);
        }
        break;
      }
      case QEvent::ApplicationDeactivate:
        // Releases made in another program never reach us.
        releaseAllKeys();
        break;
      default:
        break;
    }
    return QObject::eventFilter(watched, event);
  }
};

QPointer<KeyTracker> g_tracker;

}  // namespace

void installKeyTracker() {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || g_tracker) return;
  g_tracker = new KeyTracker(app);
  app->installEventFilter(g_tracker);
}

void releaseAllKeys() { g_keysDown.clear(); }

int virtualKeyOfQtKey(int k) {
  if (k >= Qt::Key_A && k <= Qt::Key_Z) return 'A' + (k - Qt::Key_A);
  if (k >= Qt::Key_0 && k <= Qt::Key_9) return '0' + (k - Qt::Key_0);
  if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return 112 + (k - Qt::Key_F1);
  switch (k) {
    case Qt::Key_Escape: return 27;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: return 0;
  }
}

}  // namespace internal

// Watch the keyboard from the moment the application exists, so that a key
// already held when a long loop starts polling is known.
static void startKeyTracker() { internal::installKeyTracker(); }
Q_COREAPP_STARTUP_FUNCTION(startKeyTracker)

namespace {

// Long loops test Esc once per record: a pass of the event loop at every test
// would cost more than the record. Window messages (the keyboard among them)
// are let in at most this often; a key held down is seen all the same.
constexpr std::chrono::milliseconds kMessageInterval{5};
std::chrono::steady_clock::time_point g_lastMessages;

void letKeysIn() {
  // Key events posted to Qt's own queue (synthesized ones; the keyboard's
  // come with the window messages) are cheap to deliver: take them at every
  // test. Presses go before releases, so a tap queued between two tests
  // leaves the key up.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::KeyPress);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::KeyRelease);
  if (std::chrono::steady_clock::now() - g_lastMessages < kMessageInterval) return;
  // Queued event procedures are not started here: only waitForEvents serves
  // them.
  QCoreApplication::processEvents();
  g_lastMessages = std::chrono::steady_clock::now();
}

}  // namespace

bool keyDown(int virtualKey) {
  internal::installKeyTracker();
  if (QCoreApplication::instance()) letKeysIn();
  internal::leaveProcedureIfEnded();
  if (Responder* r = responder()) return r->keyDown ? r->keyDown(virtualKey) : false;
  return internal::g_keysDown.count(virtualKey) != 0;
}

}  // namespace fw
