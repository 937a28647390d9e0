// Error trapping.
//
// The program installs one trap at start (installProgramTrap): it receives
// every RuntimeError that escapes an event procedure or the start code. The
// procedure is then abandoned; the handler decides whether the program goes
// on (it simply returns) or ends (it calls endProgram). Without a program
// trap an error is fatal: the framework reports "\r\n%s [%u行]:エラー[%d]"
// with a description in a box titled with the program's name and ends.
//
// A procedure that must go on after a failing statement (the printing
// procedures) wraps each statement in resumeNext: the error is swallowed and
// the next statement runs.
#pragma once

#include <functional>
#include <utility>

#include "framework/core/error.h"
#include "framework/core/str.h"

namespace fw {

using TrapHandler = std::function<void(const RuntimeError&)>;
void installProgramTrap(TrapHandler handler);
// Runs fn under the program trap: used by the dispatcher for every procedure
// and by the start code. Returns false when fn was abandoned by an error and
// the trap let the program go on. ProgramEnd passes through untouched; an
// error without a trap, or raised inside the handler, is reported as fatal
// and ends the program (ProgramEnd is thrown). Any other exception counts as
// a runtime error: std::bad_alloc as err::OutOfMemory, the rest (exceptions
// of Qt or of the standard library) as err::Unexpected.
bool runTrapped(const std::function<void()>& fn);

// The fatal report: "\r\n<module> [<line>行]:エラー[<number>]", CR LF and the
// description of the number (CP932).
Str fatalErrorText(const RuntimeError& error);
Str errorDescription(int number);

// Runs one statement; a RuntimeError in it is skipped. Returns false when
// the statement failed.
template <class F>
bool resumeNext(F&& statement) {
  try {
    std::forward<F>(statement)();
    return true;
  } catch (const RuntimeError&) {
    return false;
  }
}

// Closes all files and windows and ends the program (the event loop returns
// from run() with exit code 0). Never returns to the caller: it throws an
// internal unwinding signal that only the dispatcher catches.
[[noreturn]] void endProgram();
// True from endProgram on: windows then close without asking _QUERYCLOSE.
bool programEnding();
// Tests: removes the program trap and clears the ending state.
void resetTrapState();

// What endProgram throws; caught by the dispatcher and by runProgram. Tests
// that call a procedure which may end the program catch it.
struct ProgramEnd {};

}  // namespace fw
