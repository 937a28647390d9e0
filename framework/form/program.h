// Program start and the event loop.
#pragma once

#include <functional>

namespace fw {

struct ProgramOptions {
  // Called once the main window MAINFORM has been built, before the first
  // wait for events (the program's start code).
  std::function<void()> start;
};

// Creates the Qt application (if there is none yet), builds MAINFORM from its
// definition, runs options.start, then waits for events until the main window
// is gone or endProgram() is called. Returns the process exit code.
int runProgram(int argc, char** argv, const ProgramOptions& options);

// For tests: makes sure a Qt application exists (offscreen in tests) and
// builds MAINFORM without entering the loop; returns false on failure.
bool initForTests();
// Destroys every window and clears the queue, traps and ending state.
void resetForTests();

}  // namespace fw
