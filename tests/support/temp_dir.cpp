#include "tests/support/temp_dir.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

namespace tessivo::test {

namespace {
// Paths are UTF-8 with '/' both ways, as the program's own are: a narrow
// path would take the system's code page on Windows (CP932 on a Japanese one).
fs::path pathOf(const std::string& utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}
std::string utf8Of(const fs::path& path) {
  const std::u8string text = path.generic_u8string();
  return std::string(text.begin(), text.end());
}

// A directory no other run uses: a random name, claimed by creating it.
std::string makeTempDir() {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "tessivo-test-%08x", static_cast<unsigned>(random()));
    const fs::path dir = fs::temp_directory_path() / name;
    if (fs::create_directory(dir)) return utf8Of(dir);
  }
  throw std::runtime_error("no temporary directory could be made");
}
}  // namespace

TempDir::TempDir() : path_(makeTempDir()) {}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(pathOf(path_), ec);
}

TempCwd::TempCwd() {
  path_ = makeTempDir();
  previous_ = utf8Of(fs::current_path());
  fs::current_path(pathOf(path_));
}

TempCwd::~TempCwd() {
  std::error_code ec;
  fs::current_path(pathOf(previous_), ec);
  fs::remove_all(pathOf(path_), ec);
}

std::string TempCwd::read(const std::string& relative) const {
  std::ifstream in(pathOf(path_) / pathOf(relative), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void TempCwd::write(const std::string& relative, const std::string& bytes) const {
  fs::path p = pathOf(path_) / pathOf(relative);
  fs::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << bytes;
}

bool TempCwd::exists(const std::string& relative) const {
  return fs::exists(pathOf(path_) / pathOf(relative));
}

}  // namespace tessivo::test
