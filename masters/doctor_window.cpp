// The doctor list window FORM6: registering, changing and deleting doctors,
// the default doctor, and handing the list back to the main window.
#include <vector>

#include "entry/main_window_interface.h"
#include "common/window_look.h"
#include "common/paths.h"
#include "framework/core/error.h"
#include "framework/core/files.h"
#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/window.h"
#include "common/doctor_list_file.h"
#include "masters/doctor_lines.h"
#include "masters/procedures.h"
#include "masters/procedures_internal.h"
#include "masters/texts.h"

namespace masters {

using namespace fw::literals;

fw::FormRef FORM6;

namespace {

// (edit mode 1) or a new entry (0), and the chosen entry's number (from 1,
// 0 for none).
int EDIT_MODE = 0;
int CHOSEN_ENTRY = 0;

fw::Window& form() { return *FORM6; }
fw::Control& form6(const char* name) { return form().control(name); }

// Empties LIST2 and fills it from HOKENNI, marking the entry at position
// `defaultPosition` (from 0; -1 marks none).
void fillList(int defaultPosition) {
  fw::Control& list = form6("LIST2");
  list.clearItems();
  if (!fw::fileExists(common::files::kDoctorList)) return;
  const std::vector<fw::Str> doctors = common::readDoctorList();
  for (int i = 0; i < static_cast<int>(doctors.size()); ++i) {
    list.addItem(displayLine(i + 1, doctors[i], i == defaultPosition));
  }
}

void emptyAndFocusEntry() {
  fw::Control& edit = form6("EDIT96");
  edit.setText("");
  edit.setFocus();
}

void drawShadowed(fw::Surface& s, double x, double y, const fw::Str& text, int colour) {
  constexpr int kWhite = 15;
  fw::printWithShadow(s, x, y, text, fw::textPaletteColour(kWhite), fw::textPaletteColour(colour));
}

// Gives the main window back to the operator once FORM6 is gone.
void backToMainWindow() {
  fw::Window& main = fw::mainWindow();
  main.setVisible(true);
  main.setEnabled(true);
}

void FORM6_START() {
  fw::Window& w = form();
  fw::Surface& s = w.surface();
  s.setBackColor(common::kWindowBackground);
  s.clear();
  w.setVisible(true);

  fw::Control& edit = form6("EDIT96");
  edit.setFontName("ＭＳ 明朝"_sj);
  edit.setFontSize(20);
  fw::Control& list = form6("LIST2");
  list.setFontName("ＭＳ ゴシック"_sj);
  list.setFontSize(18);
  list.resize(318, 240);
  const struct {
    const char* name;
    const fw::Str& caption;
  } buttons[] = {
      {"BUTTON29", text::kButtonRegister},  {"BUTTON30", text::kButtonDefaultOn},
      {"BUTTON31", text::kButtonDefaultOff}, {"BUTTON32", text::kButtonShowDefault},
      {"BUTTON33", text::kButtonBack},
  };
  for (const auto& b : buttons) {
    fw::Control& button = form6(b.name);
    button.setFontName("ＭＳ 明朝"_sj);
    button.setFontSize(16);
    button.setText(b.caption);
  }

  list.clearItems();
  const int d = common::readDefaultPosition();

  w.setCaption(text::kDoctorTitle);
  s.setFontName("ＭＳ 明朝"_sj);
  s.setFontItalic(true);
  s.setFontSize(22);
  s.setFontBold(true);
  drawShadowed(s, 100, 15, text::kHeading, 0);
  s.setFontSize(16);
  s.setFontBold(false);
  double y = 418;
  for (const char* note : text::kNotes) {
    drawShadowed(s, 20, y, fw::sj(note), 8);
    y += 19;
  }
  s.setFontItalic(false);

  EDIT_MODE = 0;
  CHOSEN_ENTRY = 0;
  fillList(d);
  emptyAndFocusEntry();
}

void EDIT96_SETFOCUS() {
  fw::Control& edit = form6("EDIT96");
  edit.setImeMode(fw::ime::Hiragana);
  edit.setSelection(0, -1, true);
}

void EDIT96_CHANGE() {
  fw::Control& edit = form6("EDIT96");
  fw::Str t = edit.text();
  const auto lineBreak = t.find("\r\n");
  if (lineBreak == fw::Str::npos) return;
  t.erase(lineBreak, 2);
  edit.setText(fw::trim(t));
  form6("BUTTON29").setFocus();
}

void LIST2_CLICK() {
  const int index = form6("LIST2").selectedIndex();
  if (index < 0) return;
  const std::vector<fw::Str> doctors = common::readDoctorList();
  if (index >= static_cast<int>(doctors.size())) return;
  CHOSEN_ENTRY = index + 1;
  form6("EDIT96").setText(doctors[index]);
  EDIT_MODE = 1;
  form6("EDIT96").setFocus();
}

// Refuses a name the file could not hold; true when refused.
bool refuseUnstorable(const fw::Str& name) {
  if (common::storableDoctorName(name)) return false;
  fw::messageBox(&form(), text::kDoctorTitle, text::kBadCharacter, fw::mb::OK,
                 fw::mb::Information);
  form6("EDIT96").setFocus();
  return true;
}

// Writes the list; false (nothing changed, the operator told) when the file
// could not be rewritten: a full disk, a folder or file that refuses writing.
bool saveDoctorList(const std::vector<fw::Str>& doctors) {
  try {
    common::writeDoctorList(doctors);
    return true;
  } catch (const fw::RuntimeError&) {
    fw::messageBox(&form(), text::kDoctorTitle, text::kListNotSaved, fw::mb::OK,
                   fw::mb::Information);
    return false;
  }
}

void BUTTON29_ON() {
  form6("LIST2").setSelectedIndex(-1);
  const fw::Str typed = fw::trim(form6("EDIT96").text());
  if (EDIT_MODE == 0) {
    const int d = common::readDefaultPosition();
    if (typed.empty()) {
      fw::messageBox(&form(), text::kNoDataTitle, text::kNewEntryEmpty, fw::mb::OK,
                     fw::mb::Information);
    } else {
      if (refuseUnstorable(typed)) return;
      std::vector<fw::Str> doctors = common::readDoctorList();
      if (static_cast<int>(doctors.size()) >= common::kMaxDoctors) {
        // The list is full: nothing is written and the typed name stays.
        fw::messageBox(&form(), text::kDoctorTitle, text::kListFull, fw::mb::OK,
                       fw::mb::Information);
        form6("EDIT96").setFocus();
        return;
      }
      doctors.push_back(typed);
      if (!saveDoctorList(doctors)) return;
      form6("EDIT96").setText("");
      fillList(d);
    }
  } else {
    const int d = common::readDefaultPosition();
    std::vector<fw::Str> doctors = common::readDoctorList();
    if (typed.empty()) {
      // Edit mode and the chosen entry stay: the operator types again.
      fw::messageBox(&form(), text::kNoDataTitle, text::kChangedEntryEmpty, fw::mb::OK,
                     fw::mb::Information);
      emptyAndFocusEntry();
      return;
    }
    if (refuseUnstorable(typed)) return;
    if (CHOSEN_ENTRY >= 1 && CHOSEN_ENTRY <= static_cast<int>(doctors.size())) {
      doctors[CHOSEN_ENTRY - 1] = typed;
      if (!saveDoctorList(doctors)) return;
    }
    fillList(d);
  }
  CHOSEN_ENTRY = 0;
  EDIT_MODE = 0;
  emptyAndFocusEntry();
}

void LIST2_DBLCLICK() {
  EDIT_MODE = 0;
  emptyAndFocusEntry();
  fw::Control& list = form6("LIST2");
  const int index = list.selectedIndex();
  std::vector<fw::Str> doctors = common::readDoctorList();
  if (index < 0 || index >= static_cast<int>(doctors.size())) return;
  if (fw::messageBox(&form(), text::kDeleteTitle, text::kDeleteQuestion, fw::mb::YesNo,
                     fw::mb::Information) != fw::mb::ResYes) {
    return;
  }
  form().setMousePointer(fw::pointer::Hourglass);
  doctors.erase(doctors.begin() + index);
  // The list first: a default removed for a doctor who stays would be lost.
  if (!saveDoctorList(doctors)) {
    form().setMousePointer(fw::pointer::Arrow);
    return;
  }
  common::writeDefaultPosition(-1);
  CHOSEN_ENTRY = 0;
  if (doctors.empty()) {
    list.clearItems();
    form().setMousePointer(fw::pointer::Arrow);
    return;
  }
  fillList(-1);
  list.setSelectedIndex(-1);
  form().setMousePointer(fw::pointer::Arrow);
  emptyAndFocusEntry();
}

// The chosen list position for DEFAULT ON / OFF, or -1 after telling the
// operator that nothing is chosen.
int chosenForDefault() {
  EDIT_MODE = 0;
  const int index = form6("LIST2").selectedIndex();
  if (index >= 0) return index;
  fw::messageBox(&form(), text::kNotSelectedTitle, text::kNotSelected, fw::mb::OK,
                 fw::mb::Information);
  form().setFocus();
  fw::beep();
  return -1;
}

void defaultChanged(int markedPosition) {
  fillList(markedPosition);
  form6("LIST2").setSelectedIndex(-1);
  form().setMousePointer(fw::pointer::Arrow);
  form6("EDIT96").setText("");
  CHOSEN_ENTRY = 0;
  form().setFocus();
}

void BUTTON30_ON() {
  const int index = chosenForDefault();
  if (index < 0) return;
  common::writeDefaultPosition(index);
  defaultChanged(index);
}

void BUTTON31_ON() {
  const int index = chosenForDefault();
  if (index < 0) return;
  if (index != common::readDefaultPosition()) {
    fw::beep();
    form6("EDIT96").setSelection(0, 0, false);
    form6("LIST2").setSelectedIndex(-1);
    form().setFocus();
    return;
  }
  common::writeDefaultPosition(-1);
  defaultChanged(-1);
}

void BUTTON32_ON() {
  form().setImeMode(fw::ime::Off);
  fw::closeWindow(FORM6);
  backToMainWindow();
  if (!entry::fillDoctorPicker()) return;
  const int d = common::readDefaultPosition();
  fw::Control& picker = fw::ctl("COMBO3");
  if (d > -1 && d + 1 < picker.itemCount()) {
    fw::ctl("EDIT14").setText(fw::trim(picker.itemText(d + 1)));
  }
}

void BUTTON33_ON() {
  entry::fillDoctorPicker();
  form().setImeMode(fw::ime::Off);
  fw::closeWindow(FORM6);
  backToMainWindow();
}

// FORM6 has no close box, but whatever closes it (the window manager, the
// keyboard) must not leave the main window disabled: act as 戻 る does.
void FORM6_QUERYCLOSE() {
  entry::fillDoctorPicker();
  backToMainWindow();
}

}  // namespace

void BUTTON6_ON() {
  if (fw::messageBox(nullptr, text::kDoctorTitle, text::kDoctorQuestion, fw::mb::YesNo,
                     fw::mb::Question) != fw::mb::ResYes) {
    fw::mainWindow().setImeMode(fw::ime::Off);
    return;
  }
  if (!fw::isOpen(FORM6)) fw::openWindow(FORM6, "form6", 0);
  fw::mainWindow().setEnabled(false);
}

void registerProcedures() {
  const struct {
    const char* name;
    void (*procedure)();
  } procedures[] = {
      {"CHECK12_ON", CHECK12_ON},     {"CHECK13_ON", CHECK13_ON},
      {"BUTTON5_ON", BUTTON5_ON},     {"BUTTON6_ON", BUTTON6_ON},
      {"FORM6_START", FORM6_START},   {"EDIT96_CHANGE", EDIT96_CHANGE},
      {"EDIT96_SETFOCUS", EDIT96_SETFOCUS}, {"LIST2_CLICK", LIST2_CLICK},
      {"LIST2_DBLCLICK", LIST2_DBLCLICK},   {"BUTTON29_ON", BUTTON29_ON},
      {"BUTTON30_ON", BUTTON30_ON},   {"BUTTON31_ON", BUTTON31_ON},
      {"BUTTON32_ON", BUTTON32_ON},   {"BUTTON33_ON", BUTTON33_ON},
  };
  for (const auto& p : procedures) {
    void (*procedure)() = p.procedure;
    fw::registerProcedure(p.name, [procedure](fw::EventArgs&) { procedure(); });
  }
  // Leaving the cancel flag at 0 lets the window close.
  fw::registerProcedure("FORM6_QUERYCLOSE", [](fw::EventArgs&) { FORM6_QUERYCLOSE(); });
}

}  // namespace masters
