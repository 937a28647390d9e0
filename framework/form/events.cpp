#include "framework/form/events.h"

#include <stdexcept>
#include <vector>

#include <QCoreApplication>
#include <QEvent>
#include <deque>
#include <map>
#include <mutex>

#include "framework/form/internal/form_objects.h"
#include "framework/form/trap.h"

namespace fw {

const char* eventSuffix(Event e) {
  switch (e) {
    case Event::On: return "_ON";
    case Event::Change: return "_CHANGE";
    case Event::Start: return "_START";
    case Event::End: return "_END";
    case Event::SetFocus: return "_SETFOCUS";
    case Event::KillFocus: return "_KILLFOCUS";
    case Event::Resize: return "_RESIZE";
    case Event::Click: return "_CLICK";
    case Event::DblClick: return "_DBLCLICK";
    case Event::MouseDown: return "_MOUSEDOWN";
    case Event::MouseUp: return "_MOUSEUP";
    case Event::MouseMove: return "_MOUSEMOVE";
    case Event::QueryClose: return "_QUERYCLOSE";
    case Event::MouseWheel: return "_MOUSEWHEEL";
    case Event::Menu: return "_MENU";
  }
  return "";
}

namespace {

struct Pending {
  std::weak_ptr<internal::WindowImpl> window;
  Procedure procedure;
  EventArgs args;
  const void* mergeKey = nullptr;
};

std::map<Str, Procedure>& registry() {
  static std::map<Str, Procedure> procedures;
  return procedures;
}

std::deque<Pending> g_queue;
int g_running = 0;        // procedures on the stack (the start code counts as one)
bool g_serving = false;
bool g_endRequested = false;
std::function<void()> g_queuedHook;

struct RunningScope {
  RunningScope() { ++g_running; }
  ~RunningScope() { --g_running; }
};

void run(const Procedure& procedure, EventArgs& args) {
  RunningScope running;
  try {
    runTrapped([&] { procedure(args); });
  } catch (const ProgramEnd&) {
    internal::endProgramNow();
  }
}

}  // namespace

void registerProcedure(const Str& name, Procedure procedure) {
  // Two folders answering one event would leave the outcome to the order of
  // registration: refuse it while the program starts.
  if (!registry().emplace(name, std::move(procedure)).second) {
    throw std::logic_error("event procedure registered twice: " + name);
  }
}

std::vector<Str> registeredProcedureNames() {
  std::vector<Str> names;
  for (const auto& entry : registry()) names.push_back(entry.first);
  return names;
}

void unregisterAllProcedures() { registry().clear(); }

void unregisterProcedure(const Str& name) { registry().erase(name); }

bool hasProcedure(const Str& name) { return registry().count(name) != 0; }

void waitForEvents() {
  if (g_running > 0 || g_serving) return;
  do {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    internal::serveEventQueue();
  } while (!g_queue.empty() && !g_endRequested);
  internal::releaseClosedWindows();
}

void doEvents() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  internal::leaveProcedureIfEnded();
}

int pendingEventCount() { return int(g_queue.size()); }

namespace {

constexpr QEvent::Type kPostedWork = QEvent::Type(QEvent::User + 1);

// The receiver of work posted by other threads, on the user-interface thread.
class PostBox final : public QObject {
 public:
  using QObject::QObject;
  ~PostBox() override;

 protected:
  bool event(QEvent* e) override;
};

// What other threads hand over. Never destroyed: a thread may still post
// while the program ends.
struct Posting {
  std::mutex mutex;
  PostBox* box = nullptr;  // nullptr while there is no application
  std::deque<std::function<void()>> work;
};

Posting& posting() {
  static auto* p = new Posting;
  return *p;
}

PostBox::~PostBox() {
  const std::lock_guard<std::mutex> lock(posting().mutex);
  posting().box = nullptr;
  posting().work.clear();
}

bool PostBox::event(QEvent* e) {
  bool posted = false;
  std::deque<std::function<void()>> ready;
  {
    // Taken before the event is looked at: the posting thread made it under
    // this lock, so the lock orders its making before this read.
    const std::lock_guard<std::mutex> lock(posting().mutex);
    posted = e->type() == kPostedWork;
    if (posted) ready.swap(posting().work);
  }
  if (!posted) return QObject::event(e);
  const std::shared_ptr<internal::WindowImpl> main = internal::mainWindowImpl();
  if (!main || main->closed()) return true;
  for (std::function<void()>& work : ready) {
    internal::queueEvent(main, [work = std::move(work)](EventArgs&) { work(); }, EventArgs{},
                         nullptr);
  }
  return true;
}

}  // namespace

void postToProgram(std::function<void()> work) {
  const std::lock_guard<std::mutex> lock(posting().mutex);
  if (!posting().box) return;
  posting().work.push_back(std::move(work));
  QCoreApplication::postEvent(posting().box, new QEvent(kPostedWork));
}

namespace internal {

void openPostBox() {
  const std::lock_guard<std::mutex> lock(posting().mutex);
  if (posting().box || !QCoreApplication::instance()) return;
  posting().box = new PostBox(QCoreApplication::instance());
}

void dropPostedWork() {
  const std::lock_guard<std::mutex> lock(posting().mutex);
  posting().work.clear();
}

const Procedure* findProcedure(const BindingTable& bindings, const Str& objectName, Event e) {
  auto& procedures = registry();
  auto bound = bindings.find(int(e));
  if (bound != bindings.end()) {
    auto found = procedures.find(bound->second);
    if (found != procedures.end()) return &found->second;
  }
  auto byRule = procedures.find(upperName(objectName) + eventSuffix(e));
  return byRule == procedures.end() ? nullptr : &byRule->second;
}

bool queueEvent(const std::shared_ptr<WindowImpl>& window, const Procedure& procedure,
                const EventArgs& args, const void* mergeKey) {
  if (g_endRequested) return false;
  if (mergeKey && !g_queue.empty() && g_queue.back().mergeKey == mergeKey) return true;
  if (int(g_queue.size()) >= kEventQueueLimit) return false;  // the newest is dropped
  g_queue.push_back({window, procedure, args, mergeKey});
  if (g_queuedHook) g_queuedHook();
  return true;
}

void callNow(const Procedure& procedure, EventArgs& args) { run(procedure, args); }

bool runAsProcedure(const std::function<void()>& code) {
  RunningScope running;
  try {
    return runTrapped(code);
  } catch (const ProgramEnd&) {
    endProgramNow();
    return false;
  }
}

void wakeProgramLoop() {
  if (g_queuedHook) g_queuedHook();
}

bool procedureRunning() { return g_running > 0; }

void clearEventQueue() { g_queue.clear(); }

void setEventQueuedHook(std::function<void()> hook) { g_queuedHook = std::move(hook); }

void serveEventQueue() {
  if (g_running > 0 || g_serving) return;
  g_serving = true;
  while (!g_queue.empty() && !g_endRequested) {
    // Once the main window is gone the program is over: what was still
    // queued, even for another window, would only run against it.
    if (mainWindowGone()) {
      g_queue.clear();
      break;
    }
    Pending next = std::move(g_queue.front());
    g_queue.pop_front();
    std::shared_ptr<WindowImpl> window = next.window.lock();
    if (!window || window->closed()) continue;  // its window was closed meanwhile
    next.args.window = window.get();
    run(next.procedure, next.args);
  }
  g_serving = false;
}

void endProgramNow() {
  g_endRequested = true;
  g_queue.clear();
  destroyAllWindows();
  if (g_queuedHook) g_queuedHook();
}

bool endRequested() { return g_endRequested; }

// An end requested from a procedure called while messages were processed
// abandons the running procedure at its statement boundary, never from
// inside Qt's event handling.
void leaveProcedureIfEnded() {
  if (g_endRequested && g_running > 0) throw ProgramEnd{};
}

void resetDispatch() {
  g_queue.clear();
  g_endRequested = false;
  g_serving = false;
}

}  // namespace internal
}  // namespace fw
