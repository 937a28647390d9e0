// The writer program (tests/history/store_writer.cpp) run as a second
// program beside a test, in the current directory, with its output on a pipe.
#pragma once

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace history_test {

// What wait() gives for a writer ended by kill9().
#ifdef _WIN32
inline constexpr int kKilled = -9;
#else
inline constexpr int kKilled = -SIGKILL;
#endif

class Writer {
 public:
  Writer(long count, const std::string& tag) : Writer({std::to_string(count), tag}) {}
#ifdef _WIN32
  explicit Writer(std::vector<std::string> args) {
    // The writer lies beside this test program.
    std::wstring program(MAX_PATH, L'\0');
    program.resize(GetModuleFileNameW(nullptr, program.data(), MAX_PATH));
    program = program.substr(0, program.find_last_of(L"\\/") + 1) + L"history_store_writer.exe";
    std::wstring command = L"\"" + program + L"\"";
    for (const std::string& a : args) command += L" \"" + std::wstring(a.begin(), a.end()) + L"\"";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 0)) throw std::runtime_error("pipe");
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW start{};
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdOutput = write;
    start.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    start.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info{};
    const BOOL started = CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &start, &info);
    CloseHandle(write);
    if (!started) {
      CloseHandle(read);
      throw std::runtime_error("cannot start the writer program");
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    out_ = _fdopen(_open_osfhandle(reinterpret_cast<std::intptr_t>(read), _O_RDONLY), "r");
  }
  ~Writer() {
    if (process_) {
      TerminateProcess(process_, kTerminated);
      WaitForSingleObject(process_, INFINITE);
      CloseHandle(process_);
    }
    if (out_) fclose(out_);
  }
  void kill9() { TerminateProcess(process_, kTerminated); }
  // Waits for the program to end; its exit code, or kKilled.
  int wait() {
    WaitForSingleObject(process_, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    CloseHandle(process_);
    process_ = nullptr;
    return code == kTerminated ? kKilled : static_cast<int>(code);
  }
#else
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
  void kill9() { kill(pid_, SIGKILL); }
  // Waits for the program to end; its exit code, or -signal.
  int wait() {
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
  }
#endif
  Writer(const Writer&) = delete;
  Writer& operator=(const Writer&) = delete;

  // The next line without its line end; false at the end of the output.
  bool line(std::string& text) {
    char buf[256];
    if (!fgets(buf, sizeof buf, out_)) return false;
    text = buf;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return true;
  }

 private:
#ifdef _WIN32
  // The exit code TerminateProcess gives a killed writer.
  static constexpr DWORD kTerminated = 0xDEAD;
  HANDLE process_ = nullptr;
#else
  pid_t pid_ = -1;
#endif
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
