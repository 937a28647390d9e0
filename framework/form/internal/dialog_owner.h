// How the dialogs find the window that owns them.
//
// The window layer knows which Window objects are open and which widget shows
// each; it installs a resolver once its windows exist. The dialogs only use
// the widget as the parent of the modal box and the name for the responder.
#pragma once

#include <functional>

#include "framework/core/str.h"

class QWidget;

namespace fw {
class Window;
}

namespace fw::internal {

struct DialogOwner {
  QWidget* widget = nullptr;  // parent of the box; nullptr = no parent
  Str name;                   // window name ("MAINFORM"), "" when none
};

// owner nullptr means the main window; when there is no main window the
// resolver returns an empty DialogOwner (the box then has no parent). For a
// window that is not open it raises error 1000 (or 1002 for an object that is
// not a window).
using DialogOwnerResolver = std::function<DialogOwner(Window* owner)>;

// Installed by the window layer; an empty function restores the fallback,
// which parents the box on the active window and names it after owner->name()
// (nullptr: "MAINFORM").
void setDialogOwnerResolver(DialogOwnerResolver resolver);
DialogOwner resolveDialogOwner(Window* owner);

}  // namespace fw::internal
