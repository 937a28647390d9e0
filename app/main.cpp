// Tessivo: ECG chart entry and printing.
#include "app/start.h"
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
  // --version, --help, --verify-history and a wrong command line need no
  // display.
  const app::CommandLine commandLine = app::parseCommandLine(argc, argv);
  if (commandLine.action == app::CommandLine::Action::VerifyHistory) {
    if (const int code = app::enterDataFolderWithoutWindow(commandLine)) return code;
    return history::verifyHistoryReport(stdout);
  }
  if (commandLine.action != app::CommandLine::Action::Run)
    return app::answerWithoutWindow(commandLine);
  const fw::DataFolder dataFolder = app::chooseDataFolder(commandLine);

  entry::registerProcedures();
  printing::registerProcedures();
  masters::registerProcedures();
  history::registerProcedures();
  // The day's backup once the folders exist and this is the only instance;
  // it runs beside the main window.
  const int code = fw::runProgram(argc, argv, {.start = [&dataFolder] {
                                                 app::enterDataFolderOrEnd(dataFolder);
                                                 printing::addMainWindowCommands();
                                                 entry::startProgram();
                                                 history::backUpIfDue();
                                               }});
  history::stopBackup();
  return code;
}
