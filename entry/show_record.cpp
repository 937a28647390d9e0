// Writing a record into the main window: an opened history entry with its
// boxes and marks, or the attributes a search found.
#include "entry/main_window_interface.h"
#include "entry/marks.h"
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

void showOpenedEntry(const ExamineeRecord& r, bool withClinical) {
  ctl("EDIT1").setText(r.EXAM_NO);
  ctl("EDIT2").setText(r.EXAM_YEAR);
  ctl("EDIT3").setText(r.EXAM_MONTH);
  ctl("EDIT4").setText(r.EXAM_DAY);
  if (r.EXAM_AM == 1) {
    tickOneOf("CHECK1", "CHECK2");
    AM_PM_KESITEKAKU();
    AM_MARU();
  } else if (r.EXAM_PM == 1) {
    tickOneOf("CHECK2", "CHECK1");
    AM_PM_KESITEKAKU();
    PM_MARU();
  }
  ctl("EDIT5").setText(r.EXAM_HOUR);
  ctl("EDIT6").setText(r.EXAM_MINUTE);
  ctl("EDIT7").setText(r.CHART_NO);
  ctl("EDIT8").setText(r.NAME);
  ctl("EDIT9").setText(r.BIRTH_YEAR);
  ctl("EDIT10").setText(r.BIRTH_MONTH);
  ctl("EDIT11").setText(r.BIRTH_DAY);
  ctl("EDIT12").setText(r.AGE);
  if (r.SEX_MALE == 1) {
    tickOneOf("CHECK3", "CHECK4");
    SEX_KESITEKAKU();
    MAL_MARU();
  } else if (r.SEX_FEMALE == 1) {
    tickOneOf("CHECK4", "CHECK3");
    SEX_KESITEKAKU();
    FEM_MARU();
  }
  if (r.OUTPATIENT == 1) {
    tickOneOf("CHECK5", "CHECK6");
    IRAI_KESITEKAKU();
    GAI_MARU();
  } else if (r.INPATIENT == 1) {
    tickOneOf("CHECK6", "CHECK5");
    IRAI_KESITEKAKU();
    NYU_MARU();
  }
  fw::Control& kind = ctl("COMBO2");
  // A kind beyond the list comes only from a damaged entry: no selection
  // rather than the combo box's refusal.
  const bool listed = r.REQUEST_KIND >= 0 && r.REQUEST_KIND < kind.itemCount();
  kind.setSelectedIndex(listed ? r.REQUEST_KIND : -1);
  if (listed && r.REQUEST_KIND > 0) CHECK_KAKU(Tick::RequestKind);
  ctl("EDIT13").setText(r.HOSPITAL);
  if (!withClinical) return;
  ctl("EDIT14").setText(r.DOCTOR);
  ctl("EDIT15").setText(r.WEIGHT);
  ctl("EDIT16").setText(r.BP_HIGH);
  ctl("EDIT17").setText(r.BP_LOW);
  ctl("EDIT18").setText(r.MEDICATION);
  ctl("EDIT19").setText(r.PREGNANCY_MONTHS);
  if (r.ECG_REST == 1) {
    ctl("CHECK7").setValue(1);
    MARU1_KAKU();
  } else if (r.ECG_STRESS == 1) {
    ctl("CHECK8").setValue(1);
    MARU2_KAKU();
  }
  const struct {
    int ExamineeRecord::*flag;
    const char* box;
    Tick tick;
  } masters[] = {
      {&ExamineeRecord::MASTER_HALF, "CHECK9", Tick::Half},
      {&ExamineeRecord::MASTER_QUARTER, "CHECK10", Tick::Quarter},
      {&ExamineeRecord::MASTER_DOUBLE, "CHECK11", Tick::Double},
  };
  for (const auto& m : masters) {
    if (r.*m.flag != 1) continue;
    ctl(m.box).setValue(1);
    CHECK_KAKU(m.tick);
  }
  if (!fw::trim(r.STRESS_OTHER).empty()) CHECK_KAKU(Tick::StressOther);
  ctl("EDIT20").setText(r.STRESS_OTHER);
  ctl("EDIT21").setText(r.MINNESOTA_CODE);
  ctl("EDIT22").setText(r.FINDING_NAME);
  ctl("EDIT23").setText(r.DOCTOR_FINDING);
  ctl("EDIT98").setText(r.MEMO);
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
