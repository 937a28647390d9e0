#include "framework/form/print_run.h"

#include "framework/core/error.h"
#include "framework/form/trap.h"

namespace fw {

PrintRun::PrintRun() {
  resumeNext([&] { printer_ = std::make_unique<Printer>(); });
}

PrintRun::~PrintRun() = default;

Printer& PrintRun::printer() {
  if (!printer_) raise(err::NoObject);
  return *printer_;
}

void PrintRun::choose(const Str& printerName, int paper, int orientation) {
  resumeNext([&] { printer().choose(printerName, paper, orientation); });
}

bool PrintRun::dialog() {
  PrintRange range;
  confirmed_ = false;
  started_ = ended_ = false;
  resumeNext([&] { confirmed_ = printer().dialog(range); });
  return confirmed_;
}

void PrintRun::startDocument(const Str& name) {
  started_ = resumeNext([&] { printer().startDocument(name); });
}

void PrintRun::newPage() {
  resumeNext([&] { printer().newPage(); });
}

void PrintRun::endPage() {
  resumeNext([&] { printer().endPage(); });
}

void PrintRun::endDocument() {
  ended_ = resumeNext([&] { printer().endDocument(); });
}

Str PrintRun::queueName() const { return printer_ ? printer_->queueName() : Str(); }

void PrintRun::release() {
  resumeNext([&] { printer().release(); });
}

}  // namespace fw
