// Tessivo: ECG chart entry and printing.
#include "entry/procedures.h"
#include "entry/startup.h"
#include "framework/form/program.h"
#include "history/backup.h"
#include "history/procedures.h"
#include "history/store/verify_command.h"
#include "masters/procedures.h"
#include "printing/chart_preview.h"
#include "printing/procedures.h"

int main(int argc, char** argv) {
  if (const auto code = history::runVerifyCommand(argc, argv)) return *code;
  entry::registerProcedures();
  printing::registerProcedures();
  masters::registerProcedures();
  history::registerProcedures();
  // The day's backup once the folders exist and this is the only instance;
  // it runs beside the main window.
  const int code = fw::runProgram(argc, argv, {.start = [] {
                                                 printing::addMainWindowCommands();
                                                 entry::startProgram();
                                                 history::backUpIfDue();
                                               }});
  history::stopBackup();
  return code;
}
