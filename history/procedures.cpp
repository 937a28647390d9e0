#include "history/procedures.h"

#include "history/attribute_search.h"
#include "history/change_log_window.h"
#include "history/history_window.h"
#include "history/list_print.h"
#include "history/open_delete.h"
#include "history/registration.h"

namespace history {

void registerProcedures() {
  registerRegistrationProcedures();
  registerAttributeSearchProcedures();
  registerHistoryWindowProcedures();
  registerOpenDeleteProcedures();
  registerListPrintProcedures();
  registerCsvExportProcedures();
  registerChangeLogProcedures();
}

}  // namespace history
