// Writing a record into the main window: an opened history entry with its
// boxes and marks, or the attributes a search found.
#include "entry/main_window_interface.h"
#include "entry/marks.h"
#include "entry/record.h"
#include "framework/core/numbers.h"
#include "framework/core/strings.h"
#include "framework/form/window.h"

namespace entry {

namespace {

fw::Control& ctl(const char* name) { return fw::ctl(name); }

// Ticks one box of a pair with a bold caption, the other clear and plain.
void tickOneOf(const char* ticked, const char* cleared) {
  ctl(ticked).setValue(1);
  ctl(ticked).setFontBold(true);
  ctl(cleared).setValue(0);
  ctl(cleared).setFontBold(false);
}

// The three pairs of boxes an opened entry ticks one of, with a bold
// caption, the group's area repainted and the chosen word ringed.
struct RingedPair {
  int ExamineeRecord::*first;
  int ExamineeRecord::*second;
  const char* firstBox;
  const char* secondBox;
  void (*repaintArea)();
  void (*ringFirst)();
  void (*ringSecond)();
};
const RingedPair kRingedPairs[] = {
    {&ExamineeRecord::EXAM_AM, &ExamineeRecord::EXAM_PM, "CHECK1", "CHECK2", AM_PM_KESITEKAKU,
     AM_MARU, PM_MARU},
    {&ExamineeRecord::SEX_MALE, &ExamineeRecord::SEX_FEMALE, "CHECK3", "CHECK4", SEX_KESITEKAKU,
     MAL_MARU, FEM_MARU},
    {&ExamineeRecord::OUTPATIENT, &ExamineeRecord::INPATIENT, "CHECK5", "CHECK6",
     IRAI_KESITEKAKU, GAI_MARU, NYU_MARU},
};

// The Master-test boxes and their ticks.
struct TickedBox {
  int ExamineeRecord::*flag;
  const char* box;
  Tick tick;
};
const TickedBox kMasterBoxes[] = {
    {&ExamineeRecord::MASTER_HALF, "CHECK9", Tick::Half},
    {&ExamineeRecord::MASTER_QUARTER, "CHECK10", Tick::Quarter},
    {&ExamineeRecord::MASTER_DOUBLE, "CHECK11", Tick::Double},
};

void showOpenedEntry(const ExamineeRecord& r, bool withClinical) {
  writeTextsToMainWindow(r, withClinical);
  for (const RingedPair& p : kRingedPairs) {
    const bool first = r.*p.first == 1;
    if (!first && r.*p.second != 1) continue;
    tickOneOf(first ? p.firstBox : p.secondBox, first ? p.secondBox : p.firstBox);
    p.repaintArea();
    (first ? p.ringFirst : p.ringSecond)();
  }
  fw::Control& kind = ctl("COMBO2");
  // A kind beyond the list comes only from a damaged entry: no selection
  // rather than the combo box's refusal.
  const bool listed = r.REQUEST_KIND >= 0 && r.REQUEST_KIND < kind.itemCount();
  kind.setSelectedIndex(listed ? r.REQUEST_KIND : -1);
  if (listed && r.REQUEST_KIND > 0) CHECK_KAKU(Tick::RequestKind);
  if (!withClinical) return;
  if (r.ECG_REST == 1) {
    ctl("CHECK7").setValue(1);
    MARU1_KAKU();
  } else if (r.ECG_STRESS == 1) {
    ctl("CHECK8").setValue(1);
    MARU2_KAKU();
  }
  for (const TickedBox& m : kMasterBoxes) {
    if (r.*m.flag != 1) continue;
    ctl(m.box).setValue(1);
    CHECK_KAKU(m.tick);
  }
  if (!fw::trim(r.STRESS_OTHER).empty()) CHECK_KAKU(Tick::StressOther);
}

// The attributes that identify the examinee, into the cleared window.
void showSearchAttributes(const ExamineeRecord& r) {
  ctl("EDIT1").setText(r.EXAM_NO);
  ctl("EDIT7").setText(r.CHART_NO);
  ctl("EDIT8").setText(r.NAME);
  ctl("EDIT9").setText(r.BIRTH_YEAR);
  ctl("EDIT10").setText(r.BIRTH_MONTH);
  ctl("EDIT11").setText(r.BIRTH_DAY);
  if (r.SEX_MALE == 1 || r.SEX_FEMALE == 1) {
    ctl("CHECK3").setValue(r.SEX_MALE == 1 ? 1 : 0);
    ctl("CHECK4").setValue(r.SEX_MALE == 1 ? 0 : 1);
  }
}

}  // namespace

void showRecord(const ExamineeRecord& record, RecordPart part) {
  switch (part) {
    case RecordPart::Everything: showOpenedEntry(record, true); break;
    case RecordPart::AttributesOnly: showOpenedEntry(record, false); break;
    case RecordPart::SearchAttributes: showSearchAttributes(record); break;
  }
}

}  // namespace entry
