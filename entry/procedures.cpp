#include "entry/procedures.h"

#include "entry/main_window.h"
#include "entry/marks.h"
#include "entry/startup.h"

namespace entry {

void registerProcedures() {
  registerStartupProcedures();
  registerMainWindowProcedures();
  registerMarkProcedures();
}

}  // namespace entry
