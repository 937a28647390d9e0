// One print run of a printing procedure, every step under resume-next.
//
// The printing procedures skip a failing statement and go on printing. This
// wraps the printer object's steps that way, and records what the run
// achieved: a job whose document could not be started or handed to the
// spooler would otherwise look like a success once its errors were skipped.
#pragma once

#include <memory>

#include "framework/core/str.h"
#include "framework/form/printer.h"

namespace fw {

class PrintRun {
 public:
  // Creates the printer object; when that fails every later step is skipped.
  PrintRun();
  ~PrintRun();
  PrintRun(const PrintRun&) = delete;
  PrintRun& operator=(const PrintRun&) = delete;

  // The steps of Printer, each skipped when it raises.
  void choose(const Str& printerName, int paper, int orientation);
  // True only when the operator confirmed the dialog.
  bool dialog();
  void startDocument(const Str& name);
  void newPage();
  void endPage();
  void endDocument();
  void release();

  // The page to draw on; error 1000 when there is no printer object (so a
  // drawing statement under resumeNext is skipped).
  Printer& printer();

  // The queue of the confirmed dialog ("" when there is no printer object).
  Str queueName() const;

  bool confirmed() const { return confirmed_; }
  // Confirmed, but the document was not both started and handed to the
  // spooler: nothing, or not everything, will come out of the printer.
  bool lost() const { return confirmed_ && !(started_ && ended_); }

 private:
  std::unique_ptr<Printer> printer_;
  bool confirmed_ = false, started_ = false, ended_ = false;
};

}  // namespace fw
