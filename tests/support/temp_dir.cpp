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
// A directory no other run uses: a random name, claimed by creating it.
std::string makeTempDir() {
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "tessivo-test-%08x", static_cast<unsigned>(random()));
    const fs::path dir = fs::temp_directory_path() / name;
    if (fs::create_directory(dir)) return dir.string();
  }
  throw std::runtime_error("no temporary directory could be made");
}
}  // namespace

TempDir::TempDir() : path_(makeTempDir()) {}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

TempCwd::TempCwd() {
  path_ = makeTempDir();
  previous_ = fs::current_path().string();
  fs::current_path(path_);
}

TempCwd::~TempCwd() {
  std::error_code ec;
  fs::current_path(previous_, ec);
  fs::remove_all(path_, ec);
}

std::string TempCwd::read(const std::string& relative) const {
  std::ifstream in(fs::path(path_) / relative, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void TempCwd::write(const std::string& relative, const std::string& bytes) const {
  fs::path p = fs::path(path_) / relative;
  fs::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << bytes;
}

bool TempCwd::exists(const std::string& relative) const {
  return fs::exists(fs::path(path_) / relative);
}

}  // namespace tessivo::test
