#include "entry/main_window.h"

#include <array>
#include <functional>
#include <optional>

#include "entry/clearing.h"
#include "entry/doctor_list.h"
#include "entry/marks.h"
#include "entry/messages.h"
#include "entry/option_groups.h"
#include "entry/rules.h"
#include "common/settings_file.h"
#include "entry/state.h"
#include "common/paths.h"
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
    {"EDIT1", Rule::Number, Selection::All, fw::ime::Off, "EDIT2"},
    {"EDIT2", Rule::Year, Selection::All, fw::ime::Hiragana, "EDIT3"},
    {"EDIT3", Rule::Month, Selection::All, fw::ime::Off, "EDIT4"},
    {"EDIT4", Rule::Month, Selection::All, fw::ime::Off, "EDIT5"},
    {"EDIT5", Rule::Month, Selection::All, fw::ime::Off, "EDIT6"},
    {"EDIT6", Rule::Minute, Selection::All, fw::ime::Off, "EDIT7"},
    {"EDIT7", Rule::ChartNumber, Selection::End, fw::ime::Off, "EDIT8"},
    {"EDIT8", Rule::Trim, Selection::End, fw::ime::Hiragana, "EDIT9"},
    {"EDIT9", Rule::Year, Selection::End, fw::ime::Hiragana, "EDIT10"},
    {"EDIT10", Rule::Month, Selection::All, fw::ime::Off, "EDIT11"},
    {"EDIT11", Rule::Month, Selection::All, fw::ime::Off, "EDIT12"},
    {"EDIT12", Rule::Month, Selection::All, fw::ime::Off, "EDIT13"},
    {"EDIT13", Rule::Trim, Selection::End, fw::ime::Hiragana, "EDIT14"},
    {"EDIT14", Rule::Trim, Selection::End, fw::ime::Hiragana, "EDIT15"},
    {"EDIT15", Rule::Trim, Selection::All, fw::ime::Off, "EDIT16"},
    {"EDIT16", Rule::Trim, Selection::All, fw::ime::Off, "EDIT17"},
    {"EDIT17", Rule::Trim, Selection::All, fw::ime::Off, "EDIT18"},
    {"EDIT18", Rule::Trim, Selection::All, fw::ime::Hiragana, "EDIT19"},
    {"EDIT19", Rule::Trim, Selection::All, fw::ime::Off, nullptr},
    {"EDIT20", Rule::StressOther, Selection::End, fw::ime::Hiragana, "EDIT21"},
    {"EDIT21", Rule::Trim, Selection::End, fw::ime::Hiragana, "EDIT22"},
    {"EDIT22", Rule::Trim, Selection::End, fw::ime::Hiragana, "EDIT23"},
    {"EDIT23", Rule::Trim, Selection::End, fw::ime::Hiragana, nullptr},
    {"EDIT98", Rule::Trim, Selection::Memo, fw::ime::Hiragana, nullptr},
}};

Control& ctl(const char* name) { return fw::ctl(name); }

int ask(const Str& title, const Str& text, int buttons, int icon) {
  return fw::messageBox(nullptr, title, text, buttons, icon);
}

void closeIme() { fw::mainWindow().setImeMode(fw::ime::Off); }

void focusClosed(const char* name) {
  Control& box = ctl(name);
  box.setFocus();
  box.setImeMode(fw::ime::Off);
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
    case Rule::StressOther: stressOtherEntered(value); break;
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

struct OptionBox {
  const char* name;
  Option option;
};

const OptionBox kOptionBoxes[] = {
    {"CHECK1", Option::Am},         {"CHECK2", Option::Pm},
    {"CHECK3", Option::Male},       {"CHECK4", Option::Female},
    {"CHECK5", Option::Outpatient}, {"CHECK6", Option::Inpatient},
    {"CHECK7", Option::EcgRest},    {"CHECK8", Option::EcgStress},
    {"CHECK9", Option::MasterHalf}, {"CHECK10", Option::MasterQuarter},
    {"CHECK11", Option::MasterDouble},
};

// The box has toggled itself already; the group follows its new value.
void optionBoxToggled(const OptionBox& box) {
  optionChosen(box.option, ctl(box.name).value() == 1, ChosenBy::CheckBox);
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
  applyClearingDefaults();
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
    const Str hospital = common::readSetting(common::files::kHospitalName, "");
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
  for (const OptionBox& box : kOptionBoxes) {
    on(Str(box.name) + "_ON", [&box] { optionBoxToggled(box); });
  }
  on("COMBO1_CHANGE", eraChosen);
  on("COMBO2_CHANGE", requestKindChosen);
  on("COMBO3_CHANGE", doctorChosen);
  on("BUTTON8_ON", todaysDate);
  on("BUTTON9_ON", clearWindow);
}

}  // namespace entry
