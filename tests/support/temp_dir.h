// A fresh temporary directory that becomes the current directory for the
// test's lifetime (the program keeps EKG_DATA and EKG_SYS relative to it).
#pragma once

#include <string>

namespace tessivo::test {

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
