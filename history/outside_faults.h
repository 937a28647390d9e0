// Failures that come from outside the program: the disk, the shared folder
// or another program holding the history (a lock not obtained in time, a
// full disk, a read-only or vanished folder, an input/output error). They
// never end the program while the operator registers, deletes, searches,
// lists or exports: the operator is told what happened and what to do, and
// may try again once the cause is gone. Any other runtime error is a
// mistake of the program and still reaches the program's error trap.
#pragma once

#include "framework/core/error.h"
#include "framework/core/str.h"
#include "framework/form/window.h"

namespace history {

// Whether a runtime error number is one of the failures above.
bool isOutsideFault(int errorNumber);

// The operator's lines for such a failure: the cause and what to do.
fw::Str outsideFaultCause(int errorNumber);

// Shows `whatFailed`, the cause and `afterwards` (OK, information icon),
// owned by `owner`.
void tellOutsideFault(fw::Window* owner, const fw::Str& title, const fw::Str& whatFailed,
                      int errorNumber, const fw::Str& afterwards = fw::Str());

// Runs `operation`. When it fails from outside the program, tells the
// operator as tellOutsideFault does and returns false; other errors are
// raised on. Returns true when the operation ran through.
template <class Operation>
bool survivingOutsideFaults(fw::Window* owner, const fw::Str& title, const fw::Str& whatFailed,
                            Operation&& operation, const fw::Str& afterwards = fw::Str()) {
  try {
    operation();
    return true;
  } catch (const fw::RuntimeError& e) {
    if (!isOutsideFault(e.number())) throw;
    tellOutsideFault(owner, title, whatFailed, e.number(), afterwards);
    return false;
  }
}

}  // namespace history
