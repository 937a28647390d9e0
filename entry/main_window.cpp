#include "entry/main_window.h"

#include <array>
#include <functional>
#include <optional>

#include "entry/doctor_list.h"
#include "entry/marks.h"
#include "entry/messages.h"
#include "entry/rules.h"
#include "entry/settings_file.h"
#include "entry/state.h"
#include "entry/sys_files.h"
#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/window.h"

namespace entry {

using fw::Control;
using fw::Str;
using fw::literals::operator""_sj;

namespace {

// Input-method modes of the edit boxes.
constexpr int kImeOff = 2;
constexpr int kImeHiragana = 4;

enum class Rule { Trim, Number, ChartNumber, Year, Month, Minute, StressOther };
// What a box selects when it gets the focus. Memo: no selection, the font is
// set again instead.
enum class Selection { All, End, Memo };

struct Box {
  const char* name;
  Rule rule;
  Selection selection;
  int ime;
  const char* next;  // nullptr: the window itself
};

constexpr std::array<Box, 24> kBoxes{{
    {"EDIT1", Rule::Number, Selection::All, kImeOff, "EDIT2"},
    {"EDIT2", Rule::Year, Selection::All, kImeHiragana, "EDIT3"},
    {"EDIT3", Rule::Month, Selection::All, kImeOff, "EDIT4"},
    {"EDIT4", Rule::Month, Selection::All, kImeOff, "EDIT5"},
    {"EDIT5", Rule::Month, Selection::All, kImeOff, "EDIT6"},
    {"EDIT6", Rule::Minute, Selection::All, kImeOff, "EDIT7"},
    {"EDIT7", Rule::ChartNumber, Selection::End, kImeOff, "EDIT8"},
    {"EDIT8", Rule::Trim, Selection::End, kImeHiragana, "EDIT9"},
    {"EDIT9", Rule::Year, Selection::End, kImeHiragana, "EDIT10"},
    {"EDIT10", Rule::Month, Selection::All, kImeOff, "EDIT11"},
    {"EDIT11", Rule::Month, Selection::All, kImeOff, "EDIT12"},
    {"EDIT12", Rule::Month, Selection::All, kImeOff, "EDIT13"},
    {"EDIT13", Rule::Trim, Selection::End, kImeHiragana, "EDIT14"},
    {"EDIT14", Rule::Trim, Selection::End, kImeHiragana, "EDIT15"},
    {"EDIT15", Rule::Trim, Selection::All, kImeOff, "EDIT16"},
    {"EDIT16", Rule::Trim, Selection::All, kImeOff, "EDIT17"},
    {"EDIT17", Rule::Trim, Selection::All, kImeOff, "EDIT18"},
    {"EDIT18", Rule::Trim, Selection::All, kImeHiragana, "EDIT19"},
    {"EDIT19", Rule::Trim, Selection::All, kImeOff, nullptr},
    {"EDIT20", Rule::StressOther, Selection::End, kImeHiragana, "EDIT21"},
    {"EDIT21", Rule::Trim, Selection::End, kImeHiragana, "EDIT22"},
    {"EDIT22", Rule::Trim, Selection::End, kImeHiragana, "EDIT23"},
    {"EDIT23", Rule::Trim, Selection::End, kImeHiragana, nullptr},
    {"EDIT98", Rule::Trim, Selection::Memo, kImeHiragana, nullptr},
}};

Control& ctl(const char* name) { return fw::ctl(name); }

int ask(const Str& title, const Str& text, int buttons, int icon) {
  return fw::messageBox(nullptr, title, text, buttons, icon);
}

void closeIme() { fw::mainWindow().setImeMode(kImeOff); }

void focusClosed(const char* name) {
  Control& box = ctl(name);
  box.setFocus();
  box.setImeMode(kImeOff);
}

void uncheck(const char* name) {
  Control& box = ctl(name);
  box.setValue(0);
  box.setFontBold(false);
}

// ---- Number boxes --------------------------------------------------------

struct NumberTexts {
  Str title, tooLong, fullWidth, belowOne;
};

const NumberTexts& examNumberTexts() {
  static const NumberTexts t{"番号"_sj, "番号の入力可能ケタ数は、10ケタまでです！  "_sj,
                             "番号は半角数字で入力して下さい！"_sj,
                             "番号は「０」より大きい数値を入力して下さい！"_sj};
  return t;
}

const NumberTexts& chartNumberTexts() {
  static const NumberTexts t{"カルテ番号"_sj,
                             "カルテ番号の入力可能ケタ数は、10ケタまでです！  "_sj,
                             "カルテ番号は半角数字で入力して下さい！"_sj,
                             "カルテ番号は「０」より大きい数値を入力して下さい！"_sj};
  return t;
}

// Shows the refusal and empties the box; false when the value was refused.
// A refusal still counts as a change of the window.
bool acceptNumber(Control& box, const Str& value, const NumberTexts& texts) {
  const Str* message = nullptr;
  switch (rules::checkNumber(value)) {
    case rules::NumberFault::None: return true;
    case rules::NumberFault::TooLong: message = &texts.tooLong; break;
    case rules::NumberFault::FullWidth: message = &texts.fullWidth; break;
    case rules::NumberFault::BelowOne: message = &texts.belowOne; break;
  }
  ask(texts.title, *message, fw::mb::OK, fw::mb::Information);
  ++EDIT_COUNT;
  box.setText("");
  box.setFocus();
  return false;
}

// ---- ECG kind group ------------------------------------------------------

void clearMasterBoxes() {
  ctl("CHECK9").setValue(0);
  ctl("CHECK10").setValue(0);
  ctl("CHECK11").setValue(0);
}

// EDIT20 committed: a described exercise test is a post-exercise ECG.
void applyStressOther(const Str& value) {
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

// ---- Edit boxes ------------------------------------------------------------

void commitBox(const Box& spec) {
  Control& box = ctl(spec.name);
  const std::optional<Str> committed = rules::takeCommit(box.text());
  if (!committed) return;
  Str value = *committed;
  switch (spec.rule) {
    case Rule::Trim: break;
    case Rule::Number:
      if (!acceptNumber(box, value, examNumberTexts())) return;
      break;
    case Rule::ChartNumber:
      if (!acceptNumber(box, value, chartNumberTexts())) return;
      value = rules::fillChartNumber(value);
      break;
    case Rule::Year: {
      const std::optional<Str> year = rules::year(value);
      if (!year) {
        // The box keeps what was typed, line break included, and the focus.
        ask(text::kYearFormatTitle, text::kYearFormatText, fw::mb::OK, fw::mb::Information);
        return;
      }
      value = *year;
      break;
    }
    case Rule::Month: value = rules::month(value); break;
    case Rule::Minute: value = rules::minute(value); break;
    case Rule::StressOther: applyStressOther(value); break;
  }
  box.setText(value);
  if (spec.next) {
    ctl(spec.next).setFocus();
  } else {
    fw::mainWindow().setFocus();
  }
  ++EDIT_COUNT;
}

void focusBox(const Box& spec) {
  Control& box = ctl(spec.name);
  switch (spec.selection) {
    case Selection::All: box.setSelection(0, -1, true); break;
    case Selection::End: {
      const int end = static_cast<int>(fw::len(fw::trim(box.text())));
      box.setSelection(end, end, true);
      break;
    }
    case Selection::Memo:
      box.setFontName("ＭＳ ゴシック"_sj);
      box.setFontSize(20);
      break;
  }
  box.setImeMode(spec.ime);
}

// ---- Check boxes -----------------------------------------------------------

// One of a pair that excludes each other (A.M./P.M., male/female,
// outpatient/inpatient): the ticked one is shown bold, the other cleared.
struct Pair {
  const char* self;
  const char* other;
  void (*repaintArea)();
  void (*ring)();
  const char* focus;
  bool clearsRequestKind;
};

void pairToggled(const Pair& p) {
  Control& self = ctl(p.self);
  p.repaintArea();
  if (self.value() == 1) {
    if (p.clearsRequestKind) {
      // Outpatient and inpatient exclude a request category: its mark goes
      // with it (erased first, so the ring drawn next stays whole).
      ctl("COMBO2").setSelectedIndex(0);
      CHECK_KESU(Tick::RequestKind);
    }
    p.ring();
    uncheck(p.other);
    self.setFontBold(true);
  } else {
    self.setFontBold(false);
  }
  focusClosed(p.focus);
  ++EDIT_COUNT;
}

const Pair kPairs[] = {
    {"CHECK1", "CHECK2", &AM_PM_KESITEKAKU, &AM_MARU, "EDIT5", false},
    {"CHECK2", "CHECK1", &AM_PM_KESITEKAKU, &PM_MARU, "EDIT5", false},
    {"CHECK3", "CHECK4", &SEX_KESITEKAKU, &MAL_MARU, "EDIT13", false},
    {"CHECK4", "CHECK3", &SEX_KESITEKAKU, &FEM_MARU, "EDIT13", false},
    {"CHECK5", "CHECK6", &IRAI_KESITEKAKU, &GAI_MARU, "EDIT14", true},
    {"CHECK6", "CHECK5", &IRAI_KESITEKAKU, &NYU_MARU, "EDIT14", true},
};

void restingToggled() {
  if (ctl("CHECK7").value() == 1) {
    MARU1_KAKU();
    MARU2_KESU();
    KESITE_KAKU();
    ctl("CHECK8").setValue(0);
    clearMasterBoxes();
    ctl("EDIT20").setText("");
  } else {
    MARU1_KESU();
  }
  ++EDIT_COUNT;
}

void stressToggled() {
  if (ctl("CHECK8").value() == 1) {
    MARU2_KAKU();
    MARU1_KESU();
    ctl("CHECK7").setValue(0);
  } else {
    KESITE_KAKU();
    clearMasterBoxes();
    ctl("EDIT20").setText("");
    MARU2_KESU();
  }
  ++EDIT_COUNT;
}

struct Master {
  const char* self;
  Tick tick;
};
const Master kMasters[] = {
    {"CHECK9", Tick::Half}, {"CHECK10", Tick::Quarter}, {"CHECK11", Tick::Double}};

void masterToggled(const Master& m) {
  if (ctl(m.self).value() == 1) {
    KESITE_KAKU();
    ctl("CHECK7").setValue(0);
    ctl("CHECK8").setValue(1);
    for (const Master& other : kMasters) {
      if (&other != &m) ctl(other.self).setValue(0);
    }
    MARU1_KESU();
    MARU2_KAKU();
    CHECK_KAKU(m.tick);
    ctl("EDIT20").setText("");
  } else {
    // ECG_STRESS stays: the operator only took back the variant.
    CHECK_KESU(m.tick);
    KAKUDAKE();
  }
  ++EDIT_COUNT;
}

// ---- Pickers -------------------------------------------------------------

void eraChosen() {
  Control& era = ctl("COMBO1");
  const int index = era.selectedIndex();
  const Str name = index >= 0 ? fw::trim(era.itemText(index)) : Str();
  Control& year = ctl("EDIT9");
  year.setText(name);
  era.setSelectedIndex(0);
  year.setFocus();
  // The operator types the year number after the era: the caret goes to the
  // end also when the box had the focus already (no focus event then).
  const int end = static_cast<int>(fw::len(name));
  year.setSelection(end, end, true);
  ++EDIT_COUNT;
}

void requestKindChosen() {
  const int index = ctl("COMBO2").selectedIndex();
  if (index >= 1) {
    for (const char* name : {"CHECK5", "CHECK6"}) {
      if (ctl(name).value() == 1) {
        uncheck(name);
        IRAI_KESITEKAKU();
      }
    }
    CHECK_KAKU(Tick::RequestKind);
  } else if (index == 0) {
    CHECK_KESU(Tick::RequestKind);
  }
  focusClosed("EDIT14");
  ++EDIT_COUNT;
}

void doctorChosen() {
  Control& picker = ctl("COMBO3");
  const int index = picker.selectedIndex();
  if (index >= 0) ctl("EDIT14").setText(fw::trim(picker.itemText(index)));
  picker.setSelectedIndex(0);
  ctl("EDIT14").setFocus();
  ++EDIT_COUNT;
}

// ---- Buttons -------------------------------------------------------------

// 01..09 become １..９; 10 and above stay half-width.
Str twoDigitField(const Str& digits) {
  if (fw::left(digits, 1) == "0") return fw::toFullWidth(fw::right(digits, 1));
  return digits;
}

void todaysDate() {
  if (ask(text::kTodayTitle, text::kTodayQuestion, fw::mb::YesNo, fw::mb::Question) !=
      fw::mb::ResYes) {
    closeIme();
    return;
  }
  const Str today = fw::date();  // YYYY/MM/DD
  ctl("EDIT2").setText(fw::left(today, 4));
  ctl("EDIT3").setText(twoDigitField(fw::mid(today, 6, 2)));
  ctl("EDIT4").setText(twoDigitField(fw::mid(today, 9, 2)));
  ++EDIT_COUNT;
}

void clearWindow() {
  if (ask(text::kClearTitle, text::kClearNotice, fw::mb::OKCancel, fw::mb::Information) !=
      fw::mb::ResOK) {
    return;
  }
  if (EDIT_COUNT > 0 && ask(text::kClearTitle, text::kClearChangedQuestion, fw::mb::YesNo,
                            fw::mb::Question) != fw::mb::ResYes) {
    return;
  }
  CURRENT_ENTRY.clear();
  ZENBU_KESU();
  EDIT_COUNT = 0;
  if (ctl("CHECK12").value() == 1) {
    const Str hospital = readSetting(files::kHospitalName, "");
    if (!hospital.empty()) ctl("EDIT13").setText(hospital);
  }
  ctl("EDIT14").setText(defaultDoctorFromPicker());
}

// Registration, search, history and multiple printing come with the history
// store; until then their buttons say so instead of doing nothing.
void notAvailableYet(const char* button) {
  ask(fw::trim(ctl(button).text()), "この機能は準備中のため、まだ使用できません。"_sj, fw::mb::OK,
      fw::mb::Information);
}

void historyButton() {
  if (EDIT_COUNT > 0 && ask(text::kHistoryTitle, text::kHistoryChangedQuestion, fw::mb::YesNo,
                            fw::mb::Question) != fw::mb::ResYes) {
    return;
  }
  closeIme();
  notAvailableYet("BUTTON2");
}

void multiplePrintButton() {
  if (EDIT_COUNT > 0 && ask(text::kMultiPrintTitle, text::kMultiPrintChangedQuestion,
                            fw::mb::YesNo, fw::mb::Question) != fw::mb::ResYes) {
    return;
  }
  closeIme();
  notAvailableYet("BUTTON38");
}

void on(const Str& name, std::function<void()> body) {
  fw::registerProcedure(name, [body = std::move(body)](fw::EventArgs&) { body(); });
}

}  // namespace

void ZENBU_KESU() {
  for (const char* name : {"EDIT1", "EDIT2", "EDIT3", "EDIT4"}) ctl(name).setText("");
  uncheck("CHECK1");
  uncheck("CHECK2");
  AM_PM_KESITEKAKU();
  for (const char* name : {"EDIT5", "EDIT6", "EDIT7", "EDIT8", "EDIT9", "EDIT10", "EDIT11",
                           "EDIT12", "EDIT13"}) {
    ctl(name).setText("");
  }
  if (ctl("CHECK12").value() == 1) {
    const Str hospital = readSetting(files::kHospitalName, "");
    if (!hospital.empty()) ctl("EDIT13").setText(hospital);
  }
  ctl("EDIT14").setText(defaultDoctorFromPicker());
  for (const char* name : {"EDIT15", "EDIT16", "EDIT17", "EDIT18", "EDIT19", "EDIT20", "EDIT21",
                           "EDIT22", "EDIT23", "EDIT98"}) {
    ctl(name).setText("");
  }
  uncheck("CHECK3");
  uncheck("CHECK4");
  SEX_KESITEKAKU();
  uncheck("CHECK5");
  uncheck("CHECK6");
  IRAI_KESITEKAKU();
  for (const char* name : {"CHECK7", "CHECK8", "CHECK9", "CHECK10", "CHECK11"}) {
    ctl(name).setValue(0);
  }
  ctl("COMBO2").setSelectedIndex(0);
  CHECK_KESU(Tick::RequestKind);
  KESITE_KAKU();
  MARU1_KESU();
  MARU2_KESU();
}

void registerMainWindowProcedures() {
  for (const Box& box : kBoxes) {
    const Str name = box.name;
    on(name + "_CHANGE", [&box] { commitBox(box); });
    on(name + "_SETFOCUS", [&box] { focusBox(box); });
  }
  for (const Pair& pair : kPairs) on(Str(pair.self) + "_ON", [&pair] { pairToggled(pair); });
  on("CHECK7_ON", restingToggled);
  on("CHECK8_ON", stressToggled);
  for (const Master& m : kMasters) on(Str(m.self) + "_ON", [&m] { masterToggled(m); });
  on("COMBO1_CHANGE", eraChosen);
  on("COMBO2_CHANGE", requestKindChosen);
  on("COMBO3_CHANGE", doctorChosen);
  on("BUTTON8_ON", todaysDate);
  on("BUTTON9_ON", clearWindow);
  on("BUTTON1_ON", [] { notAvailableYet("BUTTON1"); });
  on("BUTTON2_ON", historyButton);
  on("BUTTON7_ON", [] { notAvailableYet("BUTTON7"); });
  on("BUTTON28_ON", [] { notAvailableYet("BUTTON28"); });
  on("BUTTON35_ON", [] { notAvailableYet("BUTTON35"); });
  on("BUTTON38_ON", multiplePrintButton);
}

}  // namespace entry
