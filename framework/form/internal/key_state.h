// The keyboard state behind keyDown.
//
// Qt delivers keys as events only, so an application-wide event filter keeps
// the set of keys held down, keyed by Windows virtual-key codes (27 Esc,
// 13 Enter, 'A'..'Z', '0'..'9', 112.. F1..). The filter is installed when the
// application object is created (or on the first keyDown).
#pragma once

namespace fw::internal {

// Installs the tracker on the running application; idempotent, no-op without
// an application object.
void installKeyTracker();
// The virtual-key code of a Qt key (Qt::Key), 0 for keys without one.
int virtualKeyOfQtKey(int qtKey);
// Forgets every held key (the application lost the keyboard).
void releaseAllKeys();

}  // namespace fw::internal
