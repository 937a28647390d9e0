#include "app/start.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/paths.h"
#include "framework/core/cp932.h"
#include "framework/core/files.h"
#include "framework/form/dialogs.h"
#include "framework/form/trap.h"

namespace app {

using fw::literals::operator""_sj;
using Problem = fw::DataFolderProblem;

namespace {

const char kHelp[] =
    "使い方: tessivo [--data フォルダ] [--from-menu] [--verify-history]\n"
    "心電図室のカルテ印刷プログラム。\n"
    "\n"
    "データ(EKG_DATA、EKG_SYS、EKG_BACKUP)を置くフォルダは、次の順に決まります:\n"
    "  1. /etc/tessivo.conf の data=フォルダ (絶対パス。管理者がパソコンごとに設定)\n"
    "  2. --data フォルダ\n"
    "  3. --from-menu (メニューからの起動) のとき ~/Tessivo (無ければ作ります)\n"
    "  4. それ以外は起動したときのカレントディレクトリ\n"
    "\n"
    "  --data フォルダ        このフォルダのデータを使う\n"
    "  --from-menu            メニューから起動された (デスクトップ項目が付けます)\n"
    "  --print-data-folder    使うデータフォルダを表示して終わる\n"
    "  --verify-history       変更の記録と履歴ファイルが合っているかを調べて終わる\n"
    "                         (0: 合っている、1: 合っていない、2: 読めない)\n"
    "  --version              版を表示して終わる\n"
    "  --help                 この説明を表示して終わる\n";

const fw::Str kTitle = "データフォルダ"_sj;

bool holdsTheProgramsFolders() {
  return fw::isFolderFollowingLinks(common::files::kDataDir) &&
         fw::isFolderFollowingLinks(common::files::kSysDir);
}

// The folder made the current directory where it can be (a read-only one
// too, to see what it holds); one that cannot be entered counts as missing.
fw::DataFolder entered(fw::DataFolder folder) {
  if ((folder.problem == Problem::None || folder.problem == Problem::NotWritable) &&
      !fw::enterDataFolder(folder))
    folder.problem = Problem::Missing;
  return folder;
}

}  // namespace

CommandLine parseCommandLine(int argc, const char* const* argv) {
  CommandLine c;
  auto usage = [&c](std::string error) {
    c.action = CommandLine::Action::Usage;
    c.error = std::move(error);
    return c;
  };
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--version") {
      c.action = CommandLine::Action::Version;
    } else if (arg == "--help" || arg == "-h") {
      c.action = CommandLine::Action::Help;
    } else if (arg == "--print-data-folder") {
      c.action = CommandLine::Action::PrintDataFolder;
    } else if (arg == "--verify-history") {
      c.action = CommandLine::Action::VerifyHistory;
    } else if (arg == "--from-menu") {
      c.fromMenu = true;
    } else if (arg == "--data" || arg.rfind("--data=", 0) == 0) {
      if (arg == "--data") {
        if (i + 1 >= argc) return usage("--data の後にフォルダを指定して下さい。");
        c.dataFolder = argv[++i];
      } else {
        c.dataFolder = arg.substr(std::strlen("--data="));
      }
      if (c.dataFolder.empty()) return usage("--data の後にフォルダを指定して下さい。");
    } else {
      return usage("知らないオプションです: " + arg);
    }
  }
  return c;
}

fw::DataFolder chooseDataFolder(const CommandLine& commandLine) {
  fw::DataFolderRequest request;
  request.commandLineFolder = commandLine.dataFolder;
  const char* settings = std::getenv("TESSIVO_CONF");
  request.settingsFile = settings && *settings ? settings : fw::systemSettingsFile("tessivo.conf");
  request.fromMenu = commandLine.fromMenu;
  request.homeFolderName = "Tessivo";
  return fw::chooseDataFolder(request);
}

fw::Str dataFolderMessage(const fw::DataFolder& folder, bool* fatal) {
  const fw::Str name = fw::fromUtf8(folder.path);
  *fatal = folder.problem != Problem::None;
  switch (folder.problem) {
    case Problem::None:
      return "";
    case Problem::Missing:
      return "データフォルダ「"_sj + name +
             "」が見つかりません。\r\nフォルダの名前と、共有フォルダがつながっているかを確かめてから、"
             "起動し直して下さい。"_sj;
    case Problem::NotAFolder:
      return "「"_sj + name +
             "」はフォルダではありません。\r\nデータフォルダの指定を確かめてから、起動し直して下さい。"_sj;
    case Problem::NotWritable:
      if (holdsTheProgramsFolders()) {
        *fatal = false;
        return "データフォルダ「"_sj + name +
               "」に書き込めません。\r\n履歴の表示・検索・印刷はできますが、登録・削除と設定の保存は"
               "できません。"_sj;
      }
      return "データフォルダ「"_sj + name +
             "」に書き込めません。\r\nフォルダの書き込み権限を管理者に確かめてもらってから、"
             "起動し直して下さい。"_sj;
    case Problem::CannotCreate:
      return "データフォルダ「"_sj + name +
             "」を作れません。\r\nホームフォルダの空き容量と書き込み権限を確かめて下さい。"_sj;
    case Problem::NoHomeFolder:
      return "ホームフォルダが分からないため、データフォルダを作れません。\r\n"
             "--data でフォルダを指定して起動して下さい。"_sj;
    case Problem::BadSetting:
      return "設定ファイル「"_sj + name +
             "」を読めないか、data= のフォルダが絶対パスではありません。\r\n"
             "管理者に設定を直してもらって下さい。"_sj;
  }
  return "";
}

void enterDataFolderOrEnd(const fw::DataFolder& folder) {
  bool fatal = false;
  const fw::Str message = dataFolderMessage(entered(folder), &fatal);
  if (message.empty()) return;
  fw::messageBox(nullptr, kTitle, message, fw::mb::OK,
                 fatal ? fw::mb::Stop : fw::mb::Exclamation);
  if (fatal) fw::endProgram();
}

namespace {

// Chooses and enters the data folder; prints its path when asked, and on
// standard error what is wrong with it. 1 when it cannot be used, else 0.
int enterAndTell(const CommandLine& commandLine, bool printPath) {
  const fw::DataFolder folder = entered(chooseDataFolder(commandLine));
  bool fatal = false;
  const fw::Str message = dataFolderMessage(folder, &fatal);
  if (printPath) std::printf("%s\n", folder.path.c_str());
  if (!message.empty()) {
    std::string text = fw::toUtf8(message);
    for (auto at = text.find('\r'); at != std::string::npos; at = text.find('\r'))
      text.erase(at, 1);
    std::fprintf(stderr, "%s\n", text.c_str());
  }
  return fatal ? 1 : 0;
}

}  // namespace

int answerWithoutWindow(const CommandLine& commandLine) {
  switch (commandLine.action) {
    case CommandLine::Action::Run:
    case CommandLine::Action::VerifyHistory:
      return 0;
    case CommandLine::Action::Version:
      std::printf("Tessivo %s\n", TESSIVO_VERSION);
      return 0;
    case CommandLine::Action::Help:
      std::fputs(kHelp, stdout);
      return 0;
    case CommandLine::Action::Usage:
      std::fprintf(stderr, "tessivo: %s\n詳しくは tessivo --help\n", commandLine.error.c_str());
      return 2;
    case CommandLine::Action::PrintDataFolder:
      return enterAndTell(commandLine, true);
  }
  return 0;
}

int enterDataFolderWithoutWindow(const CommandLine& commandLine) {
  return enterAndTell(commandLine, false);
}

}  // namespace app
