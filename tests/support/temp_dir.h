// Fresh temporary directories for one test: two runs of the suite at once
// on one machine never share a file.
#pragma once

#include <string>

namespace tessivo::test {

// A directory of its own under the system's temporary directory, removed
// with everything in it at the end of its scope.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  // path()/name
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// A TempDir that is also the current directory for the test's lifetime (the
// program keeps EKG_DATA and EKG_SYS relative to it).

class TempCwd {
 public:
  TempCwd();
  ~TempCwd();
  TempCwd(const TempCwd&) = delete;
  TempCwd& operator=(const TempCwd&) = delete;
  const std::string& path() const { return path_; }
  // Whole file as bytes ("" when missing); path relative to the directory.
  std::string read(const std::string& relative) const;
  void write(const std::string& relative, const std::string& bytes) const;
  bool exists(const std::string& relative) const;

 private:
  std::string path_;
  std::string previous_;
};

}  // namespace tessivo::test
