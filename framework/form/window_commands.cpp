#include "framework/form/window_commands.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <map>

#include "framework/core/cp932.h"
#include "framework/core/error.h"
#include "framework/form/events.h"
#include "framework/form/internal/form_objects.h"

namespace fw {

namespace {

constexpr const char* kProcedureProperty = "tessivoProcedure";

internal::WindowImpl& implOf(Window& window) {
  auto& impl = static_cast<internal::WindowImpl&>(window);
  impl.check();
  return impl;
}

QList<QAction*> commandActions(Window& window) {
  QList<QAction*> found;
  for (QAction* action : implOf(window).widget()->actions()) {
    if (action->property(kProcedureProperty).isValid()) found.push_back(action);
  }
  return found;
}

// The menu's area per window widget (absent: everywhere).
std::map<const QWidget*, std::function<bool(int, int)>>& areas() {
  static std::map<const QWidget*, std::function<bool(int, int)>> byWidget;
  return byWidget;
}

bool offeredAt(QWidget* widget, int x, int y) {
  auto found = areas().find(widget);
  return found == areas().end() || !found->second || found->second(x, y);
}

void offerMenu(QWidget* widget) {
  if (widget->contextMenuPolicy() == Qt::CustomContextMenu) return;
  widget->setContextMenuPolicy(Qt::CustomContextMenu);
  QObject::connect(widget, &QWidget::customContextMenuRequested, widget, [widget](QPoint at) {
    if (!widget->isEnabled() || !offeredAt(widget, at.x(), at.y())) return;
    QMenu menu(widget);
    for (QAction* action : widget->actions()) {
      if (action->property(kProcedureProperty).isValid()) menu.addAction(action);
    }
    menu.exec(widget->mapToGlobal(at));
  });
  QObject::connect(widget, &QObject::destroyed, [widget] { areas().erase(widget); });
}

}  // namespace

void setWindowCommandArea(Window& window, std::function<bool(int x, int y)> offered) {
  QWidget* widget = implOf(window).widget();
  areas()[widget] = std::move(offered);
}

void addWindowCommand(Window& window, const Str& caption, const std::string& shortcut,
                      const Str& procedure) {
  internal::WindowImpl& impl = implOf(window);
  QWidget* widget = impl.widget();
  for (QAction* existing : commandActions(window)) {
    if (existing->property(kProcedureProperty).toString().toStdString() == procedure) return;
  }
  auto* action = new QAction(QString::fromStdString(toUtf8(caption)), widget);
  action->setProperty(kProcedureProperty, QString::fromStdString(procedure));
  if (!shortcut.empty()) {
    action->setShortcut(QKeySequence(QString::fromStdString(shortcut)));
    action->setShortcutContext(Qt::WindowShortcut);
  }
  std::weak_ptr<internal::WindowImpl> owner = impl.shared_from_this();
  QObject::connect(action, &QAction::triggered, widget, [owner, procedure] {
    auto window = owner.lock();
    if (!window || window->closed() || !window->widget()->isEnabled()) return;
    // Looked up when chosen, like any event: a procedure that is not
    // registered makes the command do nothing.
    const internal::BindingTable bound{{int(Event::On), procedure}};
    if (const Procedure* found = internal::findProcedure(bound, Str(), Event::On)) {
      EventArgs args;
      args.window = window.get();
      internal::queueEvent(window, *found, args);
    }
  });
  widget->addAction(action);
  offerMenu(widget);
}

std::vector<Str> windowCommands(Window& window) {
  std::vector<Str> captions;
  for (QAction* action : commandActions(window))
    captions.push_back(fromUtf8(action->text().toStdString()));
  return captions;
}

namespace testing {

bool pressShortcut(Window& window, const std::string& shortcut) {
  const QKeySequence wanted(QString::fromStdString(shortcut));
  for (QAction* action : commandActions(window)) {
    if (!action->shortcut().isEmpty() && action->shortcut() == wanted) {
      action->trigger();
      return true;
    }
  }
  return false;
}

bool chooseCommand(Window& window, const Str& caption) {
  const QString wanted = QString::fromStdString(toUtf8(caption));
  for (QAction* action : commandActions(window)) {
    if (action->text() == wanted) {
      action->trigger();
      return true;
    }
  }
  return false;
}

bool menuOfferedAt(Window& window, int x, int y) {
  QWidget* widget = implOf(window).widget();
  return widget->contextMenuPolicy() == Qt::CustomContextMenu && offeredAt(widget, x, y);
}

}  // namespace testing

namespace {
std::vector<Str>& commandProcedures() {
  static std::vector<Str> names;
  return names;
}
}  // namespace

void registerCommandProcedure(const Str& name, std::function<void()> procedure) {
  registerProcedure(name, [procedure = std::move(procedure)](EventArgs&) { procedure(); });
  commandProcedures().push_back(name);
}

std::vector<Str> commandProcedureNames() { return commandProcedures(); }

}  // namespace fw
