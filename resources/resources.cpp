#include "resources/resources.h"

#include <QtCore/qglobal.h>

// Q_INIT_RESOURCE declares the initialiser in the enclosing scope, which must
// be the global one.
static void initResources() { Q_INIT_RESOURCE(tessivo_resources); }

namespace resources {

void ensureLinked() {
  // The data is normally registered by a static initialiser of the object
  // that CMake links into every user of this target; registering it again
  // here is harmless and covers code that runs before that initialiser.
  initResources();
}

}  // namespace resources
