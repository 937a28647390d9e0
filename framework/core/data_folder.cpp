#include "framework/core/data_folder.h"

#include <fstream>
#include <algorithm>
#include <random>
#include <vector>

#include "framework/core/internal/os.h"

namespace fw {

namespace {

std::string trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// "/a/./b/../c" as "/a/c", so that a message names the folder plainly. A
// "//server/share" path keeps its two slashes.
std::string withoutDotParts(const std::string& path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find('/', start), path.size());
    const std::string part = path.substr(start, end - start);
    if (part == "..") {
      if (parts.size() > 1) parts.pop_back();
    } else if (part != "." && (!part.empty() || parts.empty())) {
      parts.push_back(part);
    }
    start = end + 1;
  }
  std::string out = path.rfind("//", 0) == 0 ? "/" : "";
  for (std::size_t i = 0; i < parts.size(); ++i) out += (i ? "/" : "") + parts[i];
  return out.empty() ? "/" : out;
}

bool isAbsolute(const std::string& path) {
  const bool drive = path.size() >= 3 && path[1] == ':' && (path[2] == '/' || path[2] == '\\');
  return drive || (!path.empty() && (path[0] == '/' || path[0] == '\\'));
}

// The last "data=" line; false when the file exists but cannot be read.
bool readSetting(const std::string& file, std::string* folder) {
  if (!os::pathExists(file)) return true;
  std::ifstream in(file);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    line = trimmed(line);
    if (line.empty() || line[0] == '#') continue;
    const auto eq = line.find('=');
    if (eq == std::string::npos || trimmed(line.substr(0, eq)) != "data") continue;
    *folder = trimmed(line.substr(eq + 1));
  }
  return !in.bad();
}

// Whether a new file can be made in the folder: a read-only mount says so
// only when written to, and rights may come from groups, ACLs or the share.
bool canCreateFilesIn(const std::string& folder) {
  std::random_device random;
  const std::string probe = folder + "/.write-check-" + std::to_string(random());
  os::FileHandle file = os::kNoFile;
  os::OpenRequest request;
  request.writes = true;
  request.creation = os::Creation::CreateNew;
  if (os::openFile(probe, request, &file) != 0) return false;
  os::closeFile(file);
  os::removeFile(probe);
  return true;
}

DataFolder checked(DataFolder folder) {
  std::string absolute;
  if (os::absolutePath(folder.path, &absolute) == 0) folder.path = withoutDotParts(absolute);
  if (!os::pathExists(folder.path))
    folder.problem = DataFolderProblem::Missing;
  else if (!os::isDirectoryFollowingLinks(folder.path))
    folder.problem = DataFolderProblem::NotAFolder;
  else if (!canCreateFilesIn(folder.path))
    folder.problem = DataFolderProblem::NotWritable;
  return folder;
}

}  // namespace

DataFolder chooseDataFolder(const DataFolderRequest& request) {
  std::string setting;
  if (!readSetting(request.settingsFile, &setting))
    return {request.settingsFile, DataFolderSource::SettingsFile, DataFolderProblem::BadSetting};
  if (!setting.empty()) {
    if (!isAbsolute(setting))
      return {request.settingsFile, DataFolderSource::SettingsFile,
              DataFolderProblem::BadSetting};
    return checked({setting, DataFolderSource::SettingsFile});
  }
  if (!request.commandLineFolder.empty())
    return checked({request.commandLineFolder, DataFolderSource::CommandLine});

  if (request.fromMenu) {
    const std::string home = os::homeDirectory();
    if (home.empty()) return {"", DataFolderSource::HomeFolder, DataFolderProblem::NoHomeFolder};
    const std::string folder = home + "/" + request.homeFolderName;
    if (!os::pathExists(folder) && os::makeDirectory(folder) != 0)
      return {folder, DataFolderSource::HomeFolder, DataFolderProblem::CannotCreate};
    return checked({folder, DataFolderSource::HomeFolder});
  }
  return checked({".", DataFolderSource::CurrentDirectory});
}

std::string systemSettingsFile(const std::string& name) {
  return os::systemSettingsDirectory() + "/" + name;
}

bool enterDataFolder(const DataFolder& folder) {
  return os::changeDirectory(folder.path) == 0;
}

}  // namespace fw
