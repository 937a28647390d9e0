#include "framework/form/window.h"

#include <QApplication>
#include <QCoreApplication>
#include <algorithm>

#include "framework/core/error.h"
#include "framework/form/events.h"
#include "framework/form/internal/definition_loader.h"
#include "framework/form/internal/dialog_owner.h"
#include "framework/form/internal/form_objects.h"

namespace fw {

namespace internal {
namespace {

std::vector<std::shared_ptr<WindowImpl>> g_open;
// Closed windows kept alive until no procedure can hold a reference to them.
std::vector<std::shared_ptr<WindowImpl>> g_closed;
std::weak_ptr<WindowImpl> g_main;
bool g_mainBuilt = false;

// Message boxes are modal to the window whose procedure shows them.
DialogOwner ownerOf(Window* owner) {
  DialogOwner result;
  WindowImpl* w = static_cast<WindowImpl*>(owner);
  if (!w) {
    auto main = mainWindowImpl();
    if (!main) return result;
    w = main.get();
  }
  w->check();
  result.widget = w->widget();
  result.name = w->name();
  return result;
}

}  // namespace

void registerOpenWindow(const std::shared_ptr<WindowImpl>& window) {
  static const bool resolverInstalled = [] {
    setDialogOwnerResolver(ownerOf);
    return true;
  }();
  (void)resolverInstalled;
  g_open.push_back(window);
}

void destroyWindow(WindowImpl& window) {
  if (window.closed()) return;
  window.markClosed();
  auto it = std::find_if(g_open.begin(), g_open.end(),
                         [&](const auto& w) { return w.get() == &window; });
  if (it != g_open.end()) {
    g_closed.push_back(*it);
    g_open.erase(it);
  }
  // The program loop wakes up to see whether the main window is gone.
  wakeProgramLoop();
}

void destroyAllWindows() {
  while (!g_open.empty()) destroyWindow(*g_open.back());
}

void releaseClosedWindows() {
  if (procedureRunning()) return;
  g_closed.clear();
}

void setMainWindow(const std::shared_ptr<WindowImpl>& window) {
  g_main = window;
  g_mainBuilt = window != nullptr;
}

bool mainWindowGone() { return g_mainBuilt && !mainWindowImpl(); }

std::shared_ptr<WindowImpl> mainWindowImpl() {
  auto main = g_main.lock();
  return main && !main->closed() ? main : nullptr;
}

std::vector<std::shared_ptr<WindowImpl>> openWindows() { return g_open; }

}  // namespace internal

using internal::WindowImpl;

bool FormRef::empty() const {
  auto w = window_.lock();
  return !w || static_cast<WindowImpl*>(w.get())->closed();
}

Window& FormRef::operator*() const {
  Window* w = get();
  if (!w) raise(err::NoObject);
  return *w;
}

Window* FormRef::get() const { return empty() ? nullptr : window_.lock().get(); }

void openWindow(FormRef& var, const Str& name, int showMode) {
  if (showMode != 0 && showMode != -1) raise(err::InvalidArgument);
  if (name.empty() || name.size() > 21) raise(err::InvalidArgument);
  if (!var.empty()) raise(err::AlreadyOpen);
  auto bytes = internal::definitionResource(name);
  if (!bytes) raise(err::DefinitionMissing);
  var.window_ = internal::openWindowFromBytes(*bytes, showMode);
}

void closeWindow(FormRef& var) {
  // The variable reads empty from now on: its window is marked closed.
  closeWindow(*var);
}

void closeWindow(Window& window) {
  auto& impl = static_cast<WindowImpl&>(window);
  impl.check();
  internal::destroyWindow(impl);
}

bool isOpen(const FormRef& var) { return !var.empty(); }

void bindWindow(FormRef& var, Window& window) {
  auto& impl = static_cast<WindowImpl&>(window);
  impl.check();
  var.window_ = impl.shared_from_this();
}

Window& mainWindow() {
  auto main = internal::mainWindowImpl();
  if (!main) raise(err::NoObject);
  return *main;
}

bool mainWindowExists() { return internal::mainWindowImpl() != nullptr; }

Control& ctl(const Str& name) { return mainWindow().control(name); }

}  // namespace fw
