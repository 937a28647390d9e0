#include "printing/pdf_copy.h"

#include <cstdio>

#include "common/paths.h"
#include "common/print_texts.h"
#include "common/settings_file.h"
#include "framework/core/error.h"
#include "framework/core/files.h"
#include "framework/form/dialogs.h"
#include "framework/form/printer.h"
#include "printing/chart_layout.h"

namespace printing {

using fw::Str;
using namespace fw::literals;

namespace {

constexpr std::size_t kExamNoChars = 20;

Str twoDigits(int n) {
  char text[8];
  std::snprintf(text, sizeof text, "%02d", n);
  return text;
}

void makeFolderIfMissing(const Str& name) {
  if (!fw::isFolder(name)) fw::makeDirectory(name);
}

// A name of its own for this sheet: the folders made, a taken name numbered.
Str freshName(const fw::LocalTime& t, long entry, const Str& examNo) {
  const Str year = std::to_string(t.year);
  const Str yearFolder = Str(common::files::kPdfFolder) + "\\" + year;
  const Str monthFolder = yearFolder + "\\" + twoDigits(t.month);
  makeFolderIfMissing(common::files::kPdfFolder);
  makeFolderIfMissing(yearFolder);
  makeFolderIfMissing(monthFolder);
  const Str name = pdfCopyName(t, entry, examNo);
  const Str stem = name.substr(0, name.size() - 4);
  Str candidate = name;
  for (int n = 2; fw::fileExists(candidate); ++n) candidate = stem + "_" + std::to_string(n) + ".pdf";
  return candidate;
}

}  // namespace

bool pdfCopiesOn() {
  if (!fw::fileExists(common::files::kPdfCopies)) return false;
  return common::switchedOn(common::files::kPdfCopies);
}

Str pdfCopyName(const fw::LocalTime& t, long entry, const Str& examNo) {
  Str who;
  if (entry >= 1) {
    who = "E" + std::to_string(entry);
  } else {
    Str safe;
    for (char c : examNo) {
      if (safe.size() == kExamNoChars) break;
      const bool plain = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
      safe += plain ? c : '_';
    }
    who = "N" + (safe.empty() ? Str("0") : safe);
  }
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d%02d%02d_%02d%02d%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return Str(common::files::kPdfFolder) + "\\" + std::to_string(t.year) + "\\" +
         twoDigits(t.month) + "\\" + stamp + "_" + who + ".pdf";
}

PdfCopies::PdfCopies() {
  try {
    on_ = pdfCopiesOn();
  } catch (const fw::RuntimeError&) {
    on_ = false;  // an unreadable switch prints as before
  }
}

void PdfCopies::sheet(long entry, const Str& examNo,
                      const std::function<void(fw::Surface&)>& draw) {
  if (!on_) return;
  Str name;
  try {
    name = freshName(fw::now(), entry, examNo);
    fw::Printer pdf;
    pdf.chooseFile(name, fw::kPaperA4, fw::kLandscape);
    pdf.startDocument(common::text::kPrintDocumentName);
    pdf.newPage();
    pdf.setScaleMode(kChartScaleMode);
    draw(pdf);
    pdf.endPage();
    pdf.endDocument();
    pdf.release();
    ++written_;
  } catch (const fw::RuntimeError&) {
    failed_ = true;
  }
}

void PdfCopies::tellFailure(fw::Window* owner, const Str& title) {
  if (!failed_ || told_) return;
  told_ = true;
  try {
    fw::messageBox(owner, title,
                   "印刷したカルテのPDFファイルを保存できませんでした。"_sj + "\r\n" +
                       "EKG_DATA\\PDFフォルダの空き容量と書き込みの可否を確認して下さい。"_sj,
                   fw::mb::OK, fw::mb::Information);
  } catch (const fw::RuntimeError&) {
  }
}

}  // namespace printing
