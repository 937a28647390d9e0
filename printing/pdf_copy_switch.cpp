#include "printing/pdf_copy_switch.h"

#include "common/paths.h"
#include "common/settings_file.h"
#include "framework/core/error.h"
#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "framework/form/window_commands.h"
#include "printing/pdf_copy.h"

namespace printing {

using fw::Str;
using namespace fw::literals;

namespace {

const Str kTitle = "カルテのPDF保存"_sj;

Str question(bool on) {
  const Str now = on ? "現在は保存しています。"_sj : "現在は保存していません。"_sj;
  return "印刷したカルテを、1枚ずつPDFファイルにも保存しますか？"_sj + fw::CRLF +
         "保存先: EKG_DATA\\PDF\\年\\月"_sj + fw::CRLF + fw::CRLF + now;
}

}  // namespace

Str pdfSwitchCaption() { return "カルテのPDF保存..."_sj; }

void PDF_HOZON_SETTEI() {
  bool on = false;
  try {
    on = pdfCopiesOn();
  } catch (const fw::RuntimeError&) {
    on = false;  // an unreadable switch counts as off, as the print takes it
  }
  const int answer = fw::messageBox(nullptr, kTitle, question(on), fw::mb::YesNo, fw::mb::Question);
  const bool wanted = answer == fw::mb::ResYes;
  if (wanted == on) return;
  try {
    common::writeSetting(common::files::kPdfCopies, wanted ? "1" : "0");
  } catch (const fw::RuntimeError&) {
    fw::messageBox(nullptr, kTitle,
                   "PDF保存の設定をファイルに保存できませんでした。"_sj + fw::CRLF +
                       "EKG_SYSフォルダの書き込みの可否を確認して下さい。"_sj,
                   fw::mb::OK, fw::mb::Information);
  }
}

void registerPdfSwitchProcedure() {
  fw::registerCommandProcedure("PDF_HOZON_SETTEI", PDF_HOZON_SETTEI);
}

}  // namespace printing
