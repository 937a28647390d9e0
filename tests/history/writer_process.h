// The writer program (tests/history/store_writer.cpp) run as a second
// program beside a test, in the current directory, with its output on a pipe.
#pragma once

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace history_test {

class Writer {
 public:
  Writer(long count, const std::string& tag) : Writer({std::to_string(count), tag}) {}
  explicit Writer(std::vector<std::string> args) {
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    std::string program = TESSIVO_STORE_WRITER;
    std::vector<char*> argv{program.data()};
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const int e = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (e != 0) {
      close(fds[0]);
      throw std::runtime_error("cannot start " + program);
    }
    out_ = fdopen(fds[0], "r");
  }
  ~Writer() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (out_) fclose(out_);
  }
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;

  // The next line without its line end; false at the end of the output.
  bool line(std::string& text) {
    char buf[256];
    if (!fgets(buf, sizeof buf, out_)) return false;
    text = buf;
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return true;
  }
  void kill9() { kill(pid_, SIGKILL); }
  // Waits for the program to end; its exit code, or -signal.
  int wait() {
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  }

 private:
  pid_t pid_ = -1;
  FILE* out_ = nullptr;
};

// An acknowledged append: "<n> <tag>" parsed.
inline bool parseAck(const std::string& text, long* n, std::string* tag) {
  const auto blank = text.find(' ');
  if (blank == std::string::npos || text.rfind("error", 0) == 0) return false;
  *n = std::stol(text.substr(0, blank));
  *tag = text.substr(blank + 1);
  return true;
}

}  // namespace history_test
