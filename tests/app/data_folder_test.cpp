// Where the program keeps its files: the program itself asked, as a process
// with its own home folder, settings file and working directory; and the
// message box at start for a folder it cannot use. Linux only: the
// program is started through posix_spawn, the read-only case as another
// account (setpriv).
#ifndef _WIN32
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "app/start.h"
#include "framework/core/cp932.h"
#include "framework/form/responder.h"
#include "framework/form/trap.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using tessivo::test::TempDir;

struct Answer {
  int exitCode = -1;
  std::string folder;   // standard output, without its line end
  std::string message;  // standard error
};

// A computer: a home folder, the settings file (absent until written), a
// working directory and a shared folder.
class Computer : public ::testing::Test {
 protected:
  Computer() {
    for (const char* d : {"home", "cwd", "share", "share2"}) fs::create_directory(dir.file(d));
  }

  void setting(const std::string& text) const { std::ofstream(dir.file("tessivo.conf")) << text; }

  // The program run in the working directory with only these variables;
  // asOperator: under the account "nobody" when the test runs as root (root
  // writes into read-only folders), as a whole account, not only its
  // effective id, so that the program does not run as a privileged one.
  Answer ask(const std::vector<std::string>& arguments, bool asOperator = false) const {
    Answer a;
    int fds[2];
    if (pipe(fds) != 0) return a;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, dir.file("errors").c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0666);
    posix_spawn_file_actions_addchdir_np(&actions, dir.file("cwd").c_str());
    std::vector<std::string> args;
    std::string program = TESSIVO_PROGRAM;
    if (asOperator && geteuid() == 0) {
      // A copy the account can reach, wherever the build tree is.
      program = dir.file("tessivo");
      fs::copy_file(TESSIVO_PROGRAM, program, fs::copy_options::overwrite_existing);
      chmod(program.c_str(), 0755);
      args = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--"};
    }
    args.insert(args.end(), {program, "--print-data-folder"});
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<std::string> env{"HOME=" + dir.file("home"),
                                 "TESSIVO_CONF=" + dir.file("tessivo.conf"), "LANG=C.UTF-8"};
    // A sanitizer build of the program reports as the suite's own run does.
    for (const char* name : {"ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS"})
      if (const char* value = std::getenv(name)) env.push_back(std::string(name) + "=" + value);
    std::vector<char*> argv, envp;
    for (std::string& s : args) argv.push_back(s.data());
    for (std::string& s : env) envp.push_back(s.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    pid_t pid = 0;
    const int e = posix_spawn(&pid, args[0].c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (e != 0) {
      close(fds[0]);
      return a;
    }
    FILE* out = fdopen(fds[0], "r");
    std::array<char, 4096> buf{};
    while (std::fgets(buf.data(), buf.size(), out)) a.folder += buf.data();
    fclose(out);
    int status = 0;
    waitpid(pid, &status, 0);
    a.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (!a.folder.empty() && a.folder.back() == '\n') a.folder.pop_back();
    std::ifstream in(dir.file("errors"));
    a.message.assign(std::istreambuf_iterator<char>(in), {});
    return a;
  }

  TempDir dir;
};

TEST_F(Computer, TheFolderComesFromSettingOptionMenuOrWorkingDirectoryInThatOrder) {
  const std::string share = dir.file("share"), share2 = dir.file("share2");
  struct Row {
    const char* setting;  // nullptr: no settings file
    std::vector<std::string> arguments;
    std::string folder;
  };
  const Row rows[] = {
      // From a terminal without anything: the working directory, as always.
      {nullptr, {}, dir.file("cwd")},
      {"# no folder set\n", {}, dir.file("cwd")},
      // From the menu: the home default.
      {nullptr, {"--from-menu"}, dir.file("home") + "/Tessivo"},
      // The computer's setting, from the menu or a terminal; comments, blanks
      // and a Windows line end around it.
      {"# clinic\n\n  data = SHARE \r\n", {"--from-menu"}, share},
      {"data=SHARE\n", {}, share},
      // The command line, without a setting; relative to the working directory.
      {nullptr, {"--data", share2}, share2},
      {"# no folder set\n", {"--from-menu", "--data=../share2"}, share2},
      {nullptr, {"--data", "../share2/./"}, share2},
      // The administrator's setting holds over the command line: every
      // computer of the clinic keeps to the one history.
      {"data=SHARE\n", {"--data", share2}, share},
  };
  for (const Row& row : rows) {
    fs::remove(dir.file("tessivo.conf"));
    if (row.setting) {
      std::string text = row.setting;
      if (auto at = text.find("SHARE"); at != std::string::npos) text.replace(at, 5, share);
      setting(text);
    }
    const Answer a = ask(row.arguments);
    EXPECT_EQ(a.exitCode, 0) << a.message;
    EXPECT_EQ(a.folder, row.folder);
    EXPECT_EQ(a.message, "");
  }
  // The home default was made on the first start from the menu.
  EXPECT_TRUE(fs::is_directory(dir.file("home/Tessivo")));
}

TEST_F(Computer, AFolderThatCannotBeUsedIsSaidAndNeverCreated) {
  std::ofstream(dir.file("cwd/notes.txt")) << "x";
  struct Row {
    std::string setting;  // "": no settings file
    std::vector<std::string> arguments;
    const char* says;
  };
  const Row rows[] = {
      {"", {"--data", "/nonexistent/share"}, "/nonexistent/share」が見つかりません"},
      {"data=" + dir.file("gone") + "\n", {"--from-menu"}, "見つかりません"},
      {"", {"--data", "notes.txt"}, "フォルダではありません"},
      {"data=relative/share\n", {}, "絶対パスではありません"},
      {"", {"--data"}, "フォルダを指定して下さい"},
      {"", {"--bogus"}, "知らないオプション"},
  };
  for (const Row& row : rows) {
    fs::remove(dir.file("tessivo.conf"));
    if (!row.setting.empty()) setting(row.setting);
    const Answer a = ask(row.arguments);
    EXPECT_NE(a.exitCode, 0) << row.says;
    EXPECT_NE(a.message.find(row.says), std::string::npos) << a.message;
  }
  EXPECT_FALSE(fs::exists(dir.file("gone")));
  EXPECT_FALSE(fs::exists("/nonexistent"));
}

TEST_F(Computer, AReadOnlyFolderIsUsableOnlyWhenItHoldsTheProgramsFolders) {
  fs::create_directory(dir.file("share/EKG_DATA"));
  fs::create_directory(dir.file("share/EKG_SYS"));
  chmod(dir.file("share").c_str(), 0555);
  chmod(dir.file("share2").c_str(), 0555);
  // The operator's account writes its messages into a file it may write.
  std::ofstream(dir.file("errors")).close();
  chmod(dir.file("errors").c_str(), 0666);

  const Answer holding = ask({"--data", dir.file("share")}, true);
  EXPECT_EQ(holding.exitCode, 0);
  EXPECT_NE(holding.message.find("書き込めません"), std::string::npos) << holding.message;
  EXPECT_NE(holding.message.find("表示・検索・印刷はできます"), std::string::npos);

  const Answer empty = ask({"--data", dir.file("share2")}, true);
  EXPECT_EQ(empty.exitCode, 1);
  EXPECT_NE(empty.message.find("書き込み権限"), std::string::npos) << empty.message;
}

TEST_F(Computer, VersionAndHelpNeedNoDisplay) {
  const std::string env = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb '";
  FILE* out = popen((env + TESSIVO_PROGRAM + "' --version").c_str(), "r");
  std::array<char, 256> buf{};
  ASSERT_TRUE(out && std::fgets(buf.data(), buf.size(), out));
  EXPECT_EQ(pclose(out), 0);
  EXPECT_EQ(std::string(buf.data()).rfind("Tessivo ", 0), 0u);
  EXPECT_EQ(std::system((env + TESSIVO_PROGRAM + "' --help >/dev/null").c_str()), 0);
}

// The start code's first step, in process: the box the operator sees.
class StartInFolder : public ::testing::Test {
 protected:
  ~StartInFolder() override { fs::current_path(before); }
  // The message shown, if any; whether the program ended.
  std::optional<std::string> start(const std::string& folder, bool* ended) {
    fw::ScriptedResponder answers;
    app::CommandLine commandLine;
    commandLine.dataFolder = folder;
    *ended = false;
    try {
      app::enterDataFolderOrEnd(app::chooseDataFolder(commandLine));
    } catch (const fw::ProgramEnd&) {
      *ended = true;
    }
    fw::resetTrapState();
    if (answers.messages.empty()) return std::nullopt;
    EXPECT_EQ(answers.messages.size(), 1u);
    EXPECT_EQ(fw::toUtf8(answers.messages[0].title), "データフォルダ");
    return fw::toUtf8(answers.messages[0].text);
  }
  const fs::path before = fs::current_path();
  TempDir dir;
};

TEST_F(StartInFolder, AUsableFolderBecomesTheWorkingDirectorySilently) {
  bool ended = true;
  EXPECT_EQ(start(dir.path(), &ended), std::nullopt);
  EXPECT_FALSE(ended);
  EXPECT_EQ(fs::current_path(), fs::path(dir.path()));
}

TEST_F(StartInFolder, AMissingFolderIsSaidInJapaneseAndTheProgramEnds) {
  bool ended = false;
  const auto message = start(dir.file("share-not-mounted"), &ended);
  ASSERT_TRUE(message);
  EXPECT_NE(message->find("share-not-mounted」が見つかりません"), std::string::npos) << *message;
  EXPECT_TRUE(ended);
  EXPECT_EQ(fs::current_path(), before);
}

}  // namespace

#endif  // _WIN32
