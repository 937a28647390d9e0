#include "entry/option_groups.h"

#include "entry/marks.h"
#include "entry/state.h"
#include "framework/form/window.h"

namespace entry {

namespace {

fw::Control& ctl(const char* name) { return fw::ctl(name); }

// One of a pair drawn as two ringed words (A.M./P.M., 男/女, 外来/入院).
struct Pair {
  Option option;
  const char* self;
  const char* other;
  void (*repaintArea)();
  void (*ring)();
  const char* focus;
  bool clearsRequestKind;
};

const Pair kPairs[] = {
    {Option::Am, "CHECK1", "CHECK2", &AM_PM_KESITEKAKU, &AM_MARU, "EDIT5", false},
    {Option::Pm, "CHECK2", "CHECK1", &AM_PM_KESITEKAKU, &PM_MARU, "EDIT5", false},
    {Option::Male, "CHECK3", "CHECK4", &SEX_KESITEKAKU, &MAL_MARU, "EDIT13", false},
    {Option::Female, "CHECK4", "CHECK3", &SEX_KESITEKAKU, &FEM_MARU, "EDIT13", false},
    {Option::Outpatient, "CHECK5", "CHECK6", &IRAI_KESITEKAKU, &GAI_MARU, "EDIT14", true},
    {Option::Inpatient, "CHECK6", "CHECK5", &IRAI_KESITEKAKU, &NYU_MARU, "EDIT14", true},
};

struct Master {
  Option option;
  const char* self;
  Tick tick;
};

const Master kMasters[] = {
    {Option::MasterHalf, "CHECK9", Tick::Half},
    {Option::MasterQuarter, "CHECK10", Tick::Quarter},
    {Option::MasterDouble, "CHECK11", Tick::Double},
};

void clearMasterBoxes() {
  for (const Master& m : kMasters) ctl(m.self).setValue(0);
}

void pairChosen(const Pair& p, bool ticked, ChosenBy by) {
  fw::Control& self = ctl(p.self);
  self.setValue(ticked ? 1 : 0);
  p.repaintArea();
  if (ticked) {
    if (p.clearsRequestKind) {
      // Outpatient and inpatient exclude a request category: its mark goes
      // with it (erased first, so the ring drawn next stays whole).
      ctl("COMBO2").setSelectedIndex(0);
      CHECK_KESU(Tick::RequestKind);
    }
    p.ring();
    fw::Control& other = ctl(p.other);
    other.setValue(0);
    if (by == ChosenBy::CheckBox) other.setFontBold(false);
  }
  if (by == ChosenBy::CheckBox) self.setFontBold(ticked);
  fw::Control& next = ctl(p.focus);
  next.setFocus();
  next.setImeMode(fw::ime::Off);
}

void restingChosen(bool ticked) {
  ctl("CHECK7").setValue(ticked ? 1 : 0);
  if (ticked) {
    MARU1_KAKU();
    MARU2_KESU();
    KESITE_KAKU();
    ctl("CHECK8").setValue(0);
    clearMasterBoxes();
    ctl("EDIT20").setText("");
  } else {
    MARU1_KESU();
  }
}

void stressChosen(bool ticked) {
  ctl("CHECK8").setValue(ticked ? 1 : 0);
  if (ticked) {
    MARU2_KAKU();
    MARU1_KESU();
    ctl("CHECK7").setValue(0);
  } else {
    KESITE_KAKU();
    clearMasterBoxes();
    ctl("EDIT20").setText("");
    MARU2_KESU();
  }
}

void masterChosen(const Master& m, bool ticked) {
  if (ticked) {
    KESITE_KAKU();
    ctl("CHECK7").setValue(0);
    ctl("CHECK8").setValue(1);
    clearMasterBoxes();
    ctl(m.self).setValue(1);
    MARU1_KESU();
    MARU2_KAKU();
    CHECK_KAKU(m.tick);
    ctl("EDIT20").setText("");
  } else {
    // ECG_STRESS stays: the operator only took back the variant.
    ctl(m.self).setValue(0);
    CHECK_KESU(m.tick);
    KAKUDAKE();
  }
}

}  // namespace

void stressOtherEntered(const fw::Str& value) {
  KESITE_KAKU();
  if (!value.empty()) {
    ctl("CHECK7").setValue(0);
    ctl("CHECK8").setValue(1);
    clearMasterBoxes();
    MARU1_KESU();
    MARU2_KAKU();
    CHECK_KAKU(Tick::StressOther);
  } else {
    ctl("CHECK8").setValue(0);
    clearMasterBoxes();
    MARU2_KESU();
  }
}

const char* optionBox(Option option) {
  for (const Pair& p : kPairs) {
    if (p.option == option) return p.self;
  }
  for (const Master& m : kMasters) {
    if (m.option == option) return m.self;
  }
  return option == Option::EcgRest ? "CHECK7" : "CHECK8";
}

void optionChosen(Option option, bool ticked, ChosenBy by) {
  switch (option) {
    case Option::EcgRest: restingChosen(ticked); break;
    case Option::EcgStress: stressChosen(ticked); break;
    case Option::MasterHalf:
    case Option::MasterQuarter:
    case Option::MasterDouble:
      for (const Master& m : kMasters) {
        if (m.option == option) masterChosen(m, ticked);
      }
      break;
    default:
      for (const Pair& p : kPairs) {
        if (p.option == option) pairChosen(p, ticked, by);
      }
      break;
  }
  ++EDIT_COUNT;
}

}  // namespace entry
