// Tessivo: ECG chart entry and printing.
#include "entry/procedures.h"
#include "entry/startup.h"
#include "framework/form/program.h"
#include "masters/procedures.h"
#include "printing/procedures.h"

int main(int argc, char** argv) {
  entry::registerProcedures();
  printing::registerProcedures();
  masters::registerProcedures();
  return fw::runProgram(argc, argv, {.start = entry::startProgram});
}
