// Click areas on the drawn option words of the main window (MAINFORM_MOUSEUP).
#include <array>

#include "entry/marks.h"
#include "entry/state.h"
#include "framework/form/events.h"
#include "framework/form/window.h"

namespace entry {

namespace {

constexpr int kImeClosed = 2;

struct Area {
  ClickArea area;
  double x1, x2, y1, y2;
  bool closed;  // closed bounds include the limits, open ones exclude them
};

// Tried in this order; the first that contains the point acts.
constexpr std::array<Area, 11> kAreas{{
    {ClickArea::EcgRest, 76, 266, 477, 507, false},
    {ClickArea::EcgStress, 76, 266, 520, 550, false},
    {ClickArea::MasterHalf, 565, 620, 520, 550, false},
    {ClickArea::MasterQuarter, 652, 707, 520, 550, false},
    {ClickArea::MasterDouble, 843, 898, 520, 550, false},
    {ClickArea::Am, 433, 488, 132, 153, true},
    {ClickArea::Pm, 433, 488, 160, 181, true},
    {ClickArea::Male, 1079, 1124, 220, 246, true},
    {ClickArea::Female, 1079, 1124, 248, 274, true},
    {ClickArea::Outpatient, 538, 595, 319, 346, true},
    {ClickArea::Inpatient, 636, 693, 319, 346, true},
}};

bool contains(const Area& a, double x, double y) {
  if (a.closed) return x >= a.x1 && x <= a.x2 && y >= a.y1 && y <= a.y2;
  return x > a.x1 && x < a.x2 && y > a.y1 && y < a.y2;
}

fw::Control& box(const char* name) { return fw::ctl(name); }

void clearMasterBoxes() {
  box("CHECK9").setValue(0);
  box("CHECK10").setValue(0);
  box("CHECK11").setValue(0);
}

void clickEcgRest() {
  fw::Control& rest = box("CHECK7");
  if (rest.value() == 0) {
    MARU1_KAKU();
    MARU2_KESU();
    KESITE_KAKU();
    box("CHECK8").setValue(0);
    clearMasterBoxes();
    box("EDIT20").setText("");
    rest.setValue(1);
  } else {
    MARU1_KESU();
    rest.setValue(0);
  }
}

void clickEcgStress() {
  fw::Control& stress = box("CHECK8");
  if (stress.value() == 0) {
    MARU2_KAKU();
    MARU1_KESU();
    box("CHECK7").setValue(0);
    stress.setValue(1);
  } else {
    KESITE_KAKU();
    clearMasterBoxes();
    box("EDIT20").setText("");
    MARU2_KESU();
    stress.setValue(0);
  }
}

void clickMaster(const char* name, Tick tick) {
  fw::Control& master = box(name);
  if (master.value() == 0) {
    KESITE_KAKU();
    box("CHECK7").setValue(0);
    box("CHECK8").setValue(1);
    clearMasterBoxes();
    MARU1_KESU();
    MARU2_KAKU();
    CHECK_KAKU(tick);
    box("EDIT20").setText("");
    master.setValue(1);
  } else {
    CHECK_KESU(tick);
    KAKUDAKE();
    master.setValue(0);  // ECG_STRESS stays ticked
  }
}

// One of an exclusive pair drawn as two ringed words.
void clickPair(const char* name, const char* other, void (*repaint)(), void (*ringIt)(),
               const char* nextFocus) {
  fw::Control& chosen = box(name);
  repaint();
  if (chosen.value() == 0) {
    ringIt();
    chosen.setValue(1);
    box(other).setValue(0);
  } else {
    chosen.setValue(0);
  }
  fw::Control& next = box(nextFocus);
  next.setFocus();
  next.setImeMode(kImeClosed);
}

// Ticking 外来 or 入院 also resets the request category. Choosing the blank
// category by program raises no change event, so its mark is erased here,
// as the check-box handler does; erased first, so the ring drawn next
// stays whole.
void clickRequest(const char* name, const char* other, void (*ringIt)()) {
  if (box(name).value() == 0) {
    box("COMBO2").setSelectedIndex(0);
    CHECK_KESU(Tick::RequestKind);
  }
  clickPair(name, other, IRAI_KESITEKAKU, ringIt, "EDIT14");
}

}  // namespace

ClickArea clickAreaAt(double x, double y) {
  for (const Area& a : kAreas) {
    if (contains(a, x, y)) return a.area;
  }
  return ClickArea::None;
}

void clickOptionArea(ClickArea area) {
  switch (area) {
    case ClickArea::None: return;
    case ClickArea::EcgRest: clickEcgRest(); break;
    case ClickArea::EcgStress: clickEcgStress(); break;
    case ClickArea::MasterHalf: clickMaster("CHECK9", Tick::Half); break;
    case ClickArea::MasterQuarter: clickMaster("CHECK10", Tick::Quarter); break;
    case ClickArea::MasterDouble: clickMaster("CHECK11", Tick::Double); break;
    case ClickArea::Am:
      clickPair("CHECK1", "CHECK2", AM_PM_KESITEKAKU, AM_MARU, "EDIT5");
      break;
    case ClickArea::Pm:
      clickPair("CHECK2", "CHECK1", AM_PM_KESITEKAKU, PM_MARU, "EDIT5");
      break;
    case ClickArea::Male:
      clickPair("CHECK3", "CHECK4", SEX_KESITEKAKU, MAL_MARU, "EDIT13");
      break;
    case ClickArea::Female:
      clickPair("CHECK4", "CHECK3", SEX_KESITEKAKU, FEM_MARU, "EDIT13");
      break;
    case ClickArea::Outpatient:
      clickRequest("CHECK5", "CHECK6", GAI_MARU);
      break;
    case ClickArea::Inpatient:
      clickRequest("CHECK6", "CHECK5", NYU_MARU);
      break;
  }
  EDIT_COUNT += 1;
}

void registerMarkProcedures() {
  fw::registerProcedure("MAINFORM_MOUSEUP", [](fw::EventArgs& e) {
    clickOptionArea(clickAreaAt(e.x, e.y));
  });
}

}  // namespace entry
