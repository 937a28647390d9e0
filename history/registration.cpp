#include "history/registration.h"

#include <climits>

#include "common/history_format.h"
#include "common/window_look.h"
#include "entry/main_window_interface.h"
#include "framework/core/numbers.h"
#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/surface.h"
#include "history/backup.h"
#include "history/outside_faults.h"
#include "history/store/store.h"
#include "history/texts.h"

namespace history {

fw::FormRef FORM3;
std::optional<OpenedEntry> OPENED_ENTRY;

namespace {

using fw::Str;
using fw::literals::operator""_sj;

constexpr std::size_t kNumberBytes = 10;

void closeIme(fw::Window& window) { window.setImeMode(fw::ime::Off); }

bool hasDoubleByte(const Str& s) {
  for (unsigned char c : s) {
    if (fw::isLeadByte(c)) return true;
  }
  return false;
}

// The first failing number check, shown with its message; true when all pass.
struct NumberTexts {
  Str title, tooLong, fullWidth, belowOne;
};

bool refused(fw::Window* owner, const Str& title, const Str& text) {
  fw::messageBox(owner, title, text, fw::mb::OK, fw::mb::Information);
  return true;
}

bool numberTooLong(fw::Window* owner, const Str& value, const NumberTexts& t) {
  return value.size() > kNumberBytes && refused(owner, t.title, t.tooLong);
}

bool numberMalformed(fw::Window* owner, const Str& value, const NumberTexts& t) {
  if (hasDoubleByte(value)) return refused(owner, t.title, t.fullWidth);
  if (!value.empty() && fw::val(value) < 1) return refused(owner, t.title, t.belowOne);
  return false;
}

const NumberTexts& examNumberTexts() {
  static const NumberTexts t{"番号"_sj, text::kExamNoTooLong, text::kExamNoFullWidth,
                             text::kExamNoBelowOne};
  return t;
}

const NumberTexts& chartNumberTexts() {
  static const NumberTexts t{"カルテ番号"_sj, text::kChartNoTooLong, text::kChartNoFullWidth,
                             text::kChartNoBelowOne};
  return t;
}

// The seven checks in their order; the chart number is padded and shown
// between the fourth and the fifth. Returns the record to store, or nothing.
std::optional<common::ExamineeRecord> checkedRecord(fw::Window* owner) {
  const Str examNo = fw::trim(fw::ctl("EDIT1").text());
  if (numberTooLong(owner, examNo, examNumberTexts())) return std::nullopt;
  if (numberMalformed(owner, examNo, examNumberTexts())) return std::nullopt;
  Str chartNo = fw::trim(fw::ctl("EDIT7").text());
  if (numberTooLong(owner, chartNo, chartNumberTexts())) return std::nullopt;
  if (!chartNo.empty()) {
    chartNo = fw::right("0000000000" + chartNo, kNumberBytes);
    fw::ctl("EDIT7").setText(chartNo);
  }
  if (numberMalformed(owner, chartNo, chartNumberTexts())) return std::nullopt;
  if (fw::trim(fw::ctl("EDIT8").text()).empty()) {
    refused(owner, "氏名"_sj, text::kNameMissing);
    return std::nullopt;
  }
  // Every field as it stands in its control, committed with Enter or not.
  common::ExamineeRecord record = entry::readFromMainWindow();
  record.CHART_NO = chartNo;
  return record;
}

Str confirmation(const Str& question) {
  const common::ExamineeRecord r = entry::readFromMainWindow();
  return "氏　名："_sj + r.NAME + fw::CRLF + "実施日："_sj +
         dateText(r.EXAM_YEAR, r.EXAM_MONTH, r.EXAM_DAY) + fw::CRLF + fw::CRLF + question;
}

bool confirmed(fw::Window* owner, const Str& title, const Str& question) {
  if (fw::messageBox(owner, title, confirmation(question), fw::mb::YesNo, fw::mb::Question) ==
      fw::mb::ResYes) {
    return true;
  }
  closeIme(owner ? *owner : fw::mainWindow());
  return false;
}

// Pairs are kept by position; counts that differ mean an earlier write was
// cut short or a file was replaced. The operator hears of it once per run.
void warnOfCountMismatchOnce(fw::Window* owner) {
  static bool warned = false;
  if (warned) return;
  const long attributes = attributeCount();
  const long clinical = clinicalCount();
  if (attributes == clinical) return;
  warned = true;
  fw::messageBox(owner, text::kCountMismatchTitle,
                 text::countMismatch(fw::str(attributes), fw::str(clinical)), fw::mb::OK,
                 fw::mb::Information);
}

common::AttributeValues attributesFor(const common::ExamineeRecord& r) {
  return common::attributesOf(r, today());
}

// ---- FORM3 ----------------------------------------------------------------

void backToMainWindow() {
  if (fw::isOpen(FORM3)) {
    closeIme(*FORM3);
    fw::closeWindow(FORM3);
  }
  fw::Window& main = fw::mainWindow();
  main.setEnabled(true);
  main.setVisible(true);
}

void FORM3_START() {
  fw::Window& form = *FORM3;
  fw::Surface& s = form.surface();
  s.setBackColor(common::kWindowBackground);
  s.clear();
  for (const char* button : {"BUTTON12", "BUTTON13", "BUTTON14"}) {
    fw::Control& b = form.control(button);
    b.setFontName("ＭＳ ゴシック"_sj);
    b.setFontSize(20);
    b.setFontBold(true);
  }
  const common::ExamineeRecord r = entry::readFromMainWindow();
  // The bright half of the text palette: white and black. Numbers 7 and 0
  // of the dark half would give silver on grey, which the background nearly
  // swallows.
  constexpr int kWhite = 15, kBlack = 8;
  const uint32_t white = fw::textPaletteColour(kWhite), black = fw::textPaletteColour(kBlack);
  s.setFontName("ＭＳ ゴシック"_sj);
  s.setFontSize(20);
  s.setFontBold(true);
  fw::printWithShadow(s, 45, 20, "氏  名："_sj + r.NAME, white, black);
  fw::printWithShadow(s, 45, 45, "実施日："_sj + dateText(r.EXAM_YEAR, r.EXAM_MONTH, r.EXAM_DAY),
                      white, black);
  s.setFontSize(18);
  s.setFontBold(false);
  fw::printWithShadow(s, 45, 85, "この受検者の入力データを履歴ファイルに登録します。"_sj, white,
                      black);
  fw::printWithShadow(s, 45, 105, "ファイルの登録方法を選択して下さい。"_sj, white, black);
}

void BUTTON1_ON() {
  if (fw::trim(entry::CURRENT_ENTRY).empty()) {
    SINKITOUROKU(&fw::mainWindow());
    return;
  }
  if (!fw::isOpen(FORM3)) fw::openWindow(FORM3, "FORM3", 0);
  FORM3->setVisible(true);
  FORM3->setTopMost(true);
  fw::mainWindow().setEnabled(false);
}

// The changed-data counter is reset only when the entry was written: after
// No or a refused check the window still holds unregistered input.
void BUTTON12_ON() {
  if (UWAGAKIHOZON(FORM3.get())) entry::EDIT_COUNT = 0;
  backToMainWindow();
}

void BUTTON13_ON() {
  if (SINKITOUROKU(FORM3.get())) entry::EDIT_COUNT = 0;
  backToMainWindow();
}

}  // namespace

Str dateText(const Str& year, const Str& month, const Str& day) {
  auto part = [](const Str& value, const Str& unit) {
    const Str v = fw::trim(value);
    return (v.empty() ? Str("   ") : v) + unit;
  };
  return part(year, "年"_sj) + part(month, "月"_sj) + part(day, "日"_sj);
}

bool SINKITOUROKU(fw::Window* owner) {
  const Str title = "新規登録"_sj;
  if (!confirmed(owner, title, text::kNewQuestion)) return false;
  const std::optional<common::ExamineeRecord> record = checkedRecord(owner);
  if (!record) return false;
  const bool written = survivingOutsideFaults(
      owner, title, text::kRegisterFailed,
      [&] {
        warnOfCountMismatchOnce(owner);
        backUpIfDue();
        appendEntry(attributesFor(*record), common::clinicalOf(*record, today()));
      },
      text::kTypedValuesKept);
  if (!written) return false;
  entry::CURRENT_ENTRY.clear();
  OPENED_ENTRY.reset();
  entry::ZENBU_KESU();
  entry::EDIT_COUNT = 0;
  entry::MAINFORM_START();
  return true;
}

bool UWAGAKIHOZON(fw::Window* owner) {
  const Str title = "上書き登録"_sj;
  if (!confirmed(owner, title, text::kOverwriteQuestion)) return false;
  const std::optional<common::ExamineeRecord> record = checkedRecord(owner);
  if (!record) return false;
  const double number = fw::val(entry::CURRENT_ENTRY);
  if (!(number >= 1 && number <= static_cast<double>(LONG_MAX))) return false;
  const long n = static_cast<long>(number);
  // Only the version the operator opened (or last wrote from here) is
  // overwritten: another computer may have changed or removed it since.
  std::optional<RecordStamp> expected;
  if (OPENED_ENTRY && OPENED_ENTRY->number == n) expected = OPENED_ENTRY->stamp;
  EntryCheck check = EntryCheck::Gone;
  RecordStamp written = 0;
  const bool ran = survivingOutsideFaults(
      owner, title, text::kRegisterFailed,
      [&] {
        backUpIfDue();
        check = overwriteEntry(n, attributesFor(*record), common::clinicalOf(*record, today()),
                               expected, &written);
      },
      text::kTypedValuesKept);
  if (!ran) return false;
  if (check != EntryCheck::Current) {
    fw::messageBox(owner, title, text::kOverwriteChangedElsewhere, fw::mb::OK,
                   fw::mb::Information);
    return false;
  }
  OPENED_ENTRY = OpenedEntry{n, written};
  return true;
}

void registerRegistrationProcedures() {
  auto on = [](const char* name, void (*body)()) {
    fw::registerProcedure(name, [body](fw::EventArgs&) { body(); });
  };
  on("BUTTON1_ON", BUTTON1_ON);
  on("FORM3_START", FORM3_START);
  on("BUTTON12_ON", BUTTON12_ON);
  on("BUTTON13_ON", BUTTON13_ON);
  on("BUTTON14_ON", backToMainWindow);
  // Closed some other way than its buttons: the main window must not stay
  // disabled behind it.
  fw::registerProcedure("FORM3_QUERYCLOSE", [](fw::EventArgs&) {
    fw::Window& main = fw::mainWindow();
    main.setEnabled(true);
    main.setVisible(true);
  });
}

}  // namespace history
