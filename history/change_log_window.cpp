#include "history/change_log_window.h"

#include <optional>
#include <vector>

#include "common/history_format.h"
#include "framework/core/cp932.h"
#include "framework/core/numbers.h"
#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/window.h"
#include "history/backup.h"
#include "history/history_window.h"
#include "history/outside_faults.h"
#include "history/registration.h"
#include "history/store/list_lines.h"
#include "history/texts.h"
#include "history/window_state.h"

namespace history {

using namespace fw::literals;
using common::AttributeField;
using common::ClinicalField;
using fw::Str;

fw::FormRef FORM10;

namespace {

// The entry FORM10 shows, its versions as LIST10 lists them, and its stamp
// when they were read: bringing a version back checks the entry is still so.
struct Shown {
  long n = 0;
  std::vector<changelog::Version> versions;
  RecordStamp stamp = 0;
};
Shown SHOWN;

struct OperationText {
  changelog::Operation op;
  const char* utf8;
};
constexpr OperationText kOperationTexts[] = {
    {changelog::Operation::Start, "記録前"},     {changelog::Operation::Register, "登録"},
    {changelog::Operation::Overwrite, "上書き"}, {changelog::Operation::Delete, "削除"},
    {changelog::Operation::Restore, "戻し"},
};

Str operationText(changelog::Operation op) {
  for (const OperationText& t : kOperationTexts) {
    if (t.op == op) return fw::sj(t.utf8);
  }
  return Str();
}

// "2026-12-09T21:05:03" as "2026/12/09 21:05:03".
Str timeText(const std::string& time) {
  if (time.size() != 19) return fw::fitWhole(Str(), 19);
  Str t = time;
  t[4] = t[7] = '/';
  t[10] = ' ';
  return t;
}

Str nameText(const std::string& utf8, long width) {
  return fw::fitWhole(utf8.empty() ? Str("-") : fw::fromUtf8(utf8), width);
}

// The values of a version besides those its line shows, for EDIT150: one
// row per value, in the order of the main window.
struct Detail {
  const char* labelUtf8;
  bool attribute;
  int field;
};
constexpr Detail kDetails[] = {
    {"生年", true, static_cast<int>(AttributeField::BirthYear)},
    {"年齢", true, static_cast<int>(AttributeField::Age)},
    {"性別", true, static_cast<int>(AttributeField::SexCode)},
    {"病院", true, static_cast<int>(AttributeField::Hospital)},
    {"登録日", true, static_cast<int>(AttributeField::RegistrationDate)},
    {"担当医", false, static_cast<int>(ClinicalField::Doctor)},
    {"体重", false, static_cast<int>(ClinicalField::Weight)},
    {"血圧", false, static_cast<int>(ClinicalField::BpHigh)},
    {"/", false, static_cast<int>(ClinicalField::BpLow)},
    {"薬剤", false, static_cast<int>(ClinicalField::Medication)},
    {"所見名", false, static_cast<int>(ClinicalField::FindingName)},
    {"医師所見", false, static_cast<int>(ClinicalField::DoctorFinding)},
    {"メモ", false, static_cast<int>(ClinicalField::Memo)},
};

Str detailsOf(const changelog::Version& v) {
  if (!v.attributeRecord) return text::kChangeLogVersionLost;
  const common::AttributeValues a = common::decodeAttributes(*v.attributeRecord);
  const common::ClinicalValues c = common::decodeClinical(v.clinicalRecord.value_or(Str()));
  Str out;
  for (const Detail& d : kDetails) {
    const Str value = d.attribute ? a[static_cast<AttributeField>(d.field)]
                                  : c[static_cast<ClinicalField>(d.field)];
    if (Str(d.labelUtf8) == "/") {
      out += "/" + value;
      continue;
    }
    out += (out.empty() ? Str() : Str("  ")) + fw::sj(d.labelUtf8) + "："_sj + value;
  }
  return out;
}

void tell(fw::Window* owner, const Str& message) {
  fw::messageBox(owner, text::kChangeLogTitle, message, fw::mb::OK, fw::mb::Information);
}

void closeChangeLog() {
  if (fw::isOpen(FORM10)) fw::closeWindow(FORM10);
  if (fw::isOpen(FORM2)) {
    FORM2->setEnabled(true);
    FORM2->setFocus();
  }
}

// Reads the versions of SHOWN.n and lists them; false when there are none
// or they cannot be read (the operator was told).
bool readVersions(fw::Window* owner) {
  std::vector<changelog::Version> versions;
  RecordStamp stamp = 0;
  const bool read = survivingOutsideFaults(owner, text::kChangeLogTitle,
                                           text::kChangeLogReadFailed, [&] {
                                             versions = changelog::versionsOf(SHOWN.n);
                                             if (auto e = readEntry(SHOWN.n)) stamp = e->stamp;
                                           });
  if (!read) return false;
  if (versions.empty()) {
    tell(owner, text::kChangeLogNone);
    return false;
  }
  SHOWN.versions = std::move(versions);
  SHOWN.stamp = stamp;
  return true;
}

void fillList() {
  fw::Window& form = *FORM10;
  form.control("TEXT150").setText("履歴番号"_sj + fw::str(SHOWN.n) +
                                  "　の変更の記録（新しい順）"_sj);
  fw::Control& list = form.control("LIST10");
  list.clearItems();
  for (const changelog::Version& v : SHOWN.versions) list.addItem(versionLine(v));
  list.setSelectedIndex(0);
  form.control("EDIT150").setText(detailsOf(SHOWN.versions.front()));
}

void LIST10_CLICK() {
  if (!fw::isOpen(FORM10)) return;
  const int index = FORM10->control("LIST10").selectedIndex();
  if (index < 0 || index >= static_cast<int>(SHOWN.versions.size())) return;
  FORM10->control("EDIT150").setText(detailsOf(SHOWN.versions[static_cast<std::size_t>(index)]));
}

void BUTTON50_ON() {
  if (!fw::isOpen(FORM10)) return;
  fw::Window* owner = FORM10.get();
  const int index = FORM10->control("LIST10").selectedIndex();
  if (index < 0 || index >= static_cast<int>(SHOWN.versions.size())) {
    tell(owner, text::kChangeLogPickVersion);
    return;
  }
  const changelog::Version version = SHOWN.versions[static_cast<std::size_t>(index)];
  if (!version.attributeRecord) {
    tell(owner, text::kChangeLogVersionLost);
    return;
  }
  if (version.current) {
    tell(owner, text::kChangeLogAlreadyCurrent);
    return;
  }
  const Str when = version.time.empty() ? operationText(changelog::Operation::Start)
                                        : timeText(version.time);
  if (fw::messageBox(owner, text::kChangeLogTitle, text::restoreQuestion(when), fw::mb::YesNo,
                     fw::mb::Question) != fw::mb::ResYes) {
    return;
  }
  EntryCheck check = EntryCheck::Gone;
  const bool ran = survivingOutsideFaults(owner, text::kChangeLogTitle, text::kRestoreFailed, [&] {
    backUpIfDue();
    check = changelog::restoreVersion(SHOWN.n, version, SHOWN.stamp);
  });
  if (!ran) return;
  if (check != EntryCheck::Current) {
    tell(owner, text::kRestoreChangedElsewhere);
    if (readVersions(owner)) fillList();
    else closeChangeLog();
    return;
  }
  tell(owner, text::kRestoreDone);
  closeChangeLog();
  if (fw::isOpen(FORM2)) {
    enableListControls();
    listAgain();
    refillPrintRange();
  }
}

}  // namespace

Str versionLine(const changelog::Version& v) {
  Str line = (v.time.empty() ? fw::fitWhole(Str(), 19) : timeText(v.time)) + " " +
             nameText(v.computer, 14) + " " + nameText(v.user, 10) + " " +
             fw::fitWhole(operationText(v.madeBy), 6) + " ";
  if (!v.attributeRecord) return line + "（内容は残っていません）"_sj;
  const common::AttributeValues a = common::decodeAttributes(*v.attributeRecord);
  line += fw::fitWhole(a[AttributeField::Name], 20) + " " +
          fw::fitWhole(a[AttributeField::ExamNo], 10) + " " +
          fw::fitWhole(dateText(a[AttributeField::ExamYear], a[AttributeField::ExamMonth],
                                a[AttributeField::ExamDay]),
                       20) +
          " " + fw::fitWhole(a[AttributeField::ChartNo], 10);
  if (common::isDeleted(*v.attributeRecord)) line += " "_sj + "（削除）"_sj;
  if (v.current) line += " "_sj + "＜今の内容＞"_sj;
  return line;
}

void showChangeLog() {
  fw::Control& list = FORM2->control("LIST1");
  const int index = list.selectedIndex();
  const long n = entryNumberOf(selectionOf(index < 0 ? Str() : list.itemText(index)));
  if (n < 1) {
    tell(FORM2.get(), text::kChangeLogNothingSelected);
    return;
  }
  SHOWN = Shown{};
  SHOWN.n = n;
  if (!readVersions(FORM2.get())) return;
  if (!fw::isOpen(FORM10)) fw::openWindow(FORM10, "FORM10", 0);
  fillList();
  FORM10->setVisible(true);
  FORM10->setTopMost(true);
  FORM2->setEnabled(false);
}

void registerChangeLogProcedures() {
  fw::registerProcedure("LIST10_CLICK", [](fw::EventArgs&) { LIST10_CLICK(); });
  fw::registerProcedure("BUTTON50_ON", [](fw::EventArgs&) { BUTTON50_ON(); });
  fw::registerProcedure("BUTTON51_ON", [](fw::EventArgs&) { closeChangeLog(); });
  // Closed some other way than its button: FORM2 must not stay disabled.
  fw::registerProcedure("FORM10_QUERYCLOSE", [](fw::EventArgs&) {
    if (fw::isOpen(FORM2)) FORM2->setEnabled(true);
  });
}

}  // namespace history
