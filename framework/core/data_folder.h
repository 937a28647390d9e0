// The folder a program keeps its files in (its current directory once
// entered), chosen at start from the command line, the computer's settings
// file, the user's home folder or the directory the program was started in.
//
// Paths here are the system's own (UTF-8 on Linux), not CP932 names: they
// come from the command line and the settings file, before any file of the
// program is opened.
#pragma once

#include <string>

namespace fw {

struct DataFolderRequest {
  std::string commandLineFolder;  // from the command line; "" when not given
  // The computer's settings file, lines of "data=FOLDER" (an absolute path;
  // '#' starts a comment line). A missing file is no setting.
  std::string settingsFile;
  // Started from the desktop menu: without a folder named above, the folder
  // homeFolderName in the user's home folder, created when missing. Started
  // otherwise, the current directory.
  bool fromMenu = false;
  std::string homeFolderName;
};

enum class DataFolderSource { CommandLine, SettingsFile, HomeFolder, CurrentDirectory };

enum class DataFolderProblem {
  None,
  Missing,         // the folder does not exist (a share not mounted, a typo)
  NotAFolder,      // the name is a file
  NotWritable,     // no new file can be made in it (read-only share, rights)
  CannotCreate,    // the home default could not be made
  NoHomeFolder,    // the home default, without a home folder to put it in
  BadSetting,      // the settings file cannot be read or names a relative path
};

struct DataFolder {
  std::string path;  // absolute; for BadSetting the settings file
  DataFolderSource source = DataFolderSource::CurrentDirectory;
  DataFolderProblem problem = DataFolderProblem::None;
};

// The first of: the settings file's folder (set by the administrator for
// the whole computer), the command-line folder, the home default (started from the menu; created here when missing), the
// current directory. A folder named on the command line or in the settings
// file is never created: it may be a share that is not mounted yet, and a
// new empty folder in its place would hide the clinic's history. Reads no
// file of the program and changes no directory.
DataFolder chooseDataFolder(const DataFolderRequest& request);

// "<system settings folder>/<name>": /etc/tessivo.conf on Linux.
std::string systemSettingsFile(const std::string& name);

// Makes the folder the current directory; false when that fails.
bool enterDataFolder(const DataFolder& folder);

}  // namespace fw
