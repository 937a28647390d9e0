// What the program does before its first window: the command line, and the
// folder it keeps EKG_DATA and EKG_SYS in (see fw::chooseDataFolder for the
// order of the choices).
//
//   tessivo [--data FOLDER] [--from-menu]
//   tessivo --print-data-folder [--data FOLDER] [--from-menu]
//   tessivo --verify-history [--data FOLDER] [--from-menu]
//   tessivo --version | --help
//
// The computer's setting is /etc/tessivo.conf ("data=/srv/tessivo"), or the
// file the environment variable TESSIVO_CONF names (tests).
#pragma once

#include <string>

#include "framework/core/data_folder.h"
#include "framework/core/str.h"

namespace app {

struct CommandLine {
  enum class Action { Run, Version, Help, PrintDataFolder, VerifyHistory, Usage };
  Action action = Action::Run;
  bool fromMenu = false;
  std::string dataFolder;  // "" when not given
  std::string error;       // for Usage: what was wrong, UTF-8
};

CommandLine parseCommandLine(int argc, const char* const* argv);

// The answer to every action but Run, on standard output (errors on
// standard error), without a display; returns the exit code: 0, 1 when the
// data folder cannot be used, 2 for a wrong command line.
int answerWithoutWindow(const CommandLine& commandLine);

fw::DataFolder chooseDataFolder(const CommandLine& commandLine);

// For the actions that work on the data folder without a window: chooses
// and enters it; says on standard error what is wrong with it and returns 1
// when it cannot be used, else 0.
int enterDataFolderWithoutWindow(const CommandLine& commandLine);

// The start code's first step: makes the folder the current directory. A
// folder that cannot be used is said in a message box and the program ends;
// a read-only folder that already holds EKG_DATA and EKG_SYS is said too,
// and the program goes on (the history can be read, searched and printed).
void enterDataFolderOrEnd(const fw::DataFolder& folder);

// The message about the folder ("" when there is nothing to say); call it
// with the folder entered. `fatal` tells whether the program cannot go on.
fw::Str dataFolderMessage(const fw::DataFolder& folder, bool* fatal);

}  // namespace app
