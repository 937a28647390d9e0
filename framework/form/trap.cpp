// The program trap, the fatal-error report and the end of the program.
#include "framework/form/trap.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <utility>

#include "framework/core/cp932.h"
#include "framework/core/files.h"
#include "framework/form/dialogs.h"

namespace fw {
namespace {

TrapHandler g_trap;
bool g_ending = false;

struct Description {
  int number;
  const char* utf8;
};

constexpr Description kDescriptions[] = {
    {err::InvalidArgument, "引数が正しくありません"},
    {err::Overflow, "オーバーフローしました"},
    {err::OutOfMemory, "メモリが不足しています"},
    {err::TypeMismatch, "型が一致しません"},
    {err::ResumeWithoutError, "エラーが発生していないのに再開しようとしました"},
    {err::Subscript, "番号が範囲を超えています"},
    {err::BadFileNumber, "ファイル番号が正しくありません"},
    {err::BadFileMode, "このファイルモードではできない操作です"},
    {err::FileAlreadyOpen, "ファイルは既に開かれています"},
    {err::FileNotFound, "ファイルが見つかりません"},
    {err::RecordIncomplete, "レコードが途中で切れています"},
    {err::BadFileName, "ファイル名が正しくありません"},
    {err::FileAccess, "ファイルにアクセスできません"},
    {err::FileNotOpen, "ファイルが開かれていません"},
    {err::PathNotFound, "パスが見つかりません"},
    {err::SharingViolation, "ファイルは他で使用中です"},
    {err::LockViolation, "レコードはロックされています"},
    {err::DeviceUnavailable, "デバイスが使用できません"},
    {err::DiskFull, "ディスクがいっぱいです"},
    {err::FieldOverflow, "フィールドの合計がレコード長を超えています"},
    {err::RecordBeyondEnd, "レコードがファイルの終わりを超えています"},
    {err::AlreadyExists, "既に存在します"},
    {err::IoError, "入出力エラーが発生しました"},
    {err::ImeFailed, "日本語入力を切り替えられません"},
    {err::NoObject, "オブジェクトが存在しません"},
    {err::AlreadyOpen, "オブジェクトは既に開かれています"},
    {err::WrongKind, "オブジェクトの種類が違います"},
    {err::NoVariable, "オブジェクト変数が設定されていません"},
    {err::CannotCreate, "オブジェクトを作成できません"},
    {err::InvalidValue, "オブジェクトに設定できない値です"},
    {err::NotPossible, "現在の設定ではこの操作はできません"},
    {err::BitmapLoad, "ビットマップを読み込めません"},
    {err::DefinitionMissing, "ウィンドウ定義がありません"},
    {err::ControlNotFound, "コントロール名が見つかりません"},
    {err::DefinitionFaulty, "ウィンドウ定義が壊れています"},
    {err::ListRefused, "リストボックスが操作を受け付けません"},
    {err::ComboRefused, "コンボボックスが操作を受け付けません"},
    {err::Unexpected, "予期しないエラーが発生しました"},
};

// The program file's name, as the title of the fatal report.
Str programName() {
  QString name = QCoreApplication::applicationName();
  if (name.isEmpty() && QCoreApplication::instance())
    name = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
  if (name.isEmpty()) name = QStringLiteral("Tessivo");
  return fromUtf8(name.toStdString());
}

// No trap took the error: tell the operator where it happened, then end.
[[noreturn]] void fatal(const RuntimeError& e) {
  Str report = fatalErrorText(e);
  try {
    messageBox(nullptr, programName(), report, mb::OK, mb::Exclamation);
  } catch (...) {
    // No box can be shown (no memory left, no display): the report goes
    // where whoever started the program can still read it.
    std::fprintf(stderr, "%s\n", toUtf8(report).c_str());
  }
  endProgram();
}

// Runs fn; any other exception leaving it (std::bad_alloc, an exception of
// Qt or of the standard library) becomes a runtime error, so that it meets
// the trap and the fatal report like every failure of the services instead
// of ending the program unannounced. ProgramEnd passes through.
bool runAsRuntimeError(const std::function<void()>& fn) {
  try {
    fn();
    return true;
  } catch (const RuntimeError&) {
    throw;
  } catch (const ProgramEnd&) {
    throw;
  } catch (const std::bad_alloc&) {
    raise(err::OutOfMemory);
  } catch (const std::exception& e) {
    // The operator's message cannot carry it; whoever started the program can.
    std::fprintf(stderr, "%s\n", e.what());
    raise(err::Unexpected);
  } catch (...) {
    raise(err::Unexpected);
  }
}

}  // namespace

Str errorDescription(int number) {
  for (const auto& d : kDescriptions)
    if (d.number == number) return fromUtf8(d.utf8);
  return fromUtf8("原因不明のエラーです");
}

Str fatalErrorText(const RuntimeError& e) {
  return "\r\n" + Str(e.module()) + " [" + std::to_string(e.line()) + fromUtf8("行]:エラー[") +
         std::to_string(e.number()) + "]\r\n" + errorDescription(e.number());
}

void installProgramTrap(TrapHandler handler) { g_trap = std::move(handler); }

bool runTrapped(const std::function<void()>& fn) {
  try {
    return runAsRuntimeError(fn);
  } catch (const RuntimeError& e) {
    if (!g_trap) fatal(e);
    // An error inside the handler has no trap left to go to.
    TrapHandler handler = g_trap;  // the handler may install another one
    try {
      runAsRuntimeError([&] { handler(e); });
    } catch (const RuntimeError& inHandler) {
      fatal(inHandler);
    }
    return false;
  }
}

void endProgram() {
  g_ending = true;
  try {
    closeAll();
  } catch (const RuntimeError&) {
    // Ending anyway: a file that refuses to close changes nothing now.
  }
  throw ProgramEnd{};
}

bool programEnding() { return g_ending; }

void resetTrapState() {
  g_trap = nullptr;
  g_ending = false;
}

}  // namespace fw
