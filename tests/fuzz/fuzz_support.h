// What every fuzz target shares: a check that stops the run with a message
// (libFuzzer then saves the input), CP932 and UTF-8 well-formedness, and a
// scratch directory on a memory file system for the targets that read files.
#pragma once

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace fuzz {

#define FUZZ_CHECK(condition)                                                             \
  do {                                                                                    \
    if (!(condition)) {                                                                   \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::abort();                                                                       \
    }                                                                                     \
  } while (0)

inline bool isLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
inline bool isTrail(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// No half character: every lead byte has a trail byte after it.
inline bool wellFormedCp932(std::string_view s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (!isLead(static_cast<unsigned char>(s[i]))) continue;
    if (i + 1 >= s.size() || !isTrail(static_cast<unsigned char>(s[i + 1]))) return false;
    ++i;
  }
  return true;
}

// Whether the last character of `s` is whole (a lead byte at the very end is
// half of one), walking characters from the start.
inline bool endsOnWholeCharacter(std::string_view s) {
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (isLead(static_cast<unsigned char>(s[i]))) {
      if (i + 1 >= s.size()) return false;
      ++i;
    }
  }
  return true;
}

inline bool validUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    std::size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    if (n >= 2 && b < 0xC2) return false;  // overlong
    for (std::size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n;
  }
  return true;
}

// The current directory becomes a fresh directory with EKG_SYS and EKG_DATA,
// on /dev/shm when there is one (each run writes a file or two).
// libFuzzer reads the seed files only as it runs them, after this change of
// directory: corpus directories must be given as absolute paths (as
// tools/fuzz.sh gives them), or the seeds read as empty.
inline void enterScratchDirectory() {
  static bool entered = false;
  if (entered) return;
  entered = true;
  const std::filesystem::path shm = "/dev/shm";
  std::string dir = (std::filesystem::exists(shm) ? shm : std::filesystem::temp_directory_path()) /
                    "tessivo-fuzz-XXXXXX";
  if (!mkdtemp(dir.data())) std::abort();
  std::filesystem::current_path(dir);
  std::filesystem::create_directory("EKG_SYS");
  std::filesystem::create_directory("EKG_DATA");
  static const std::string removeAtExit = dir;
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(removeAtExit, ignored);
  });
}

inline void writeFile(const char* path, const std::uint8_t* data, std::size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

inline std::string readFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

}  // namespace fuzz
