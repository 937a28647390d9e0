// Two runs of the suite (or of the benchmarks) at once on one machine must
// not write the same files: every test and benchmark keeps its files in a
// temporary directory of its own (tests/support/temp_dir.h, or a mkdtemp
// name), never at a fixed path under the shared temporary directory.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Spelled in pieces, so that this file does not find itself.
const std::vector<std::string> kSharedPlaces = {
    std::string("\"/") + "tmp",                    // a literal path under /tmp
    std::string("::testing::") + "TempDir()",     // gtest's one directory for all tests
};
const std::string kUnderTempDirectory = std::string("temp_directory_path()") + " / \"";
const std::string kUniqueName = "XXXXXX";

std::vector<std::string> sharedPathsIn(const fs::path& file) {
  std::vector<std::string> found;
  std::ifstream in(file);
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    bool shared = false;
    for (const std::string& place : kSharedPlaces) shared |= line.find(place) != std::string::npos;
    if (line.find(kUnderTempDirectory) != std::string::npos &&
        line.find(kUniqueName) == std::string::npos)
      shared = true;
    if (shared) found.push_back(file.string() + ":" + std::to_string(number) + ": " + line);
  }
  return found;
}

TEST(TemporaryPaths, NoTestOrBenchmarkWritesAFixedPathInTheSharedTemporaryDirectory) {
  std::vector<std::string> found;
  for (const char* folder : {"tests", "bench"}) {
    const fs::path root = fs::path(TESSIVO_SOURCE_DIR) / folder;
    ASSERT_TRUE(fs::is_directory(root)) << root;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
      const std::string ext = entry.path().extension().string();
      if (ext != ".cpp" && ext != ".h") continue;
      for (std::string& hit : sharedPathsIn(entry.path())) found.push_back(std::move(hit));
    }
  }
  std::string report;
  for (const std::string& hit : found) report += hit + "\n";
  EXPECT_TRUE(found.empty()) << report;
}

}  // namespace
