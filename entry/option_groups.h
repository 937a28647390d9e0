// The exclusive option groups of the main window and the marks they draw:
// time of day, sex, visit, and the ECG kind with its Master-test variants.
// The check boxes and the click areas on the drawn words both come here, so
// that the two ways of choosing leave the same values and the same picture.
#pragma once

#include "framework/core/str.h"

namespace entry {

enum class Option {
  Am, Pm, Male, Female, Outpatient, Inpatient,
  EcgRest, EcgStress, MasterHalf, MasterQuarter, MasterDouble,
};

// How the operator chose: a check box shows its ticked caption in bold; a
// click on the drawn word leaves the captions as they are.
enum class ChosenBy { CheckBox, ClickArea };

// The option's box now holds `ticked` (a check box has toggled itself
// already; a click area sets it here). Keeps the group exclusive, draws the
// marks, moves the focus as the group wants and adds 1 to EDIT_COUNT.
void optionChosen(Option option, bool ticked, ChosenBy by);

// EDIT20 committed with `value`: a described exercise test is a
// post-exercise ECG without a Master-test variant; an empty one takes the
// post-exercise ECG back. The caller counts the commit.
void stressOtherEntered(const fw::Str& value);

// The check box that holds an option ("CHECK1" … "CHECK11").
const char* optionBox(Option option);

}  // namespace entry
