// Click areas on the drawn option words of the main window (MAINFORM_MOUSEUP).
#include <array>

#include "entry/main_window_interface.h"
#include "entry/marks.h"
#include "entry/option_groups.h"
#include "framework/form/events.h"
#include "framework/form/window.h"

namespace entry {

namespace {

struct Area {
  ClickArea area;
  Option option;
  double x1, x2, y1, y2;
  bool closed;  // closed bounds include the limits, open ones exclude them
};

// Tried in this order; the first that contains the point acts.
constexpr std::array<Area, 11> kAreas{{
    {ClickArea::EcgRest, Option::EcgRest, 76, 266, 477, 507, false},
    {ClickArea::EcgStress, Option::EcgStress, 76, 266, 520, 550, false},
    {ClickArea::MasterHalf, Option::MasterHalf, 565, 620, 520, 550, false},
    {ClickArea::MasterQuarter, Option::MasterQuarter, 652, 707, 520, 550, false},
    {ClickArea::MasterDouble, Option::MasterDouble, 843, 898, 520, 550, false},
    {ClickArea::Am, Option::Am, 433, 488, 132, 153, true},
    {ClickArea::Pm, Option::Pm, 433, 488, 160, 181, true},
    {ClickArea::Male, Option::Male, 1079, 1124, 220, 246, true},
    {ClickArea::Female, Option::Female, 1079, 1124, 248, 274, true},
    {ClickArea::Outpatient, Option::Outpatient, 538, 595, 319, 346, true},
    {ClickArea::Inpatient, Option::Inpatient, 636, 693, 319, 346, true},
}};

bool contains(const Area& a, double x, double y) {
  if (a.closed) return x >= a.x1 && x <= a.x2 && y >= a.y1 && y <= a.y2;
  return x > a.x1 && x < a.x2 && y > a.y1 && y < a.y2;
}

}  // namespace

ClickArea clickAreaAt(double x, double y) {
  for (const Area& a : kAreas) {
    if (contains(a, x, y)) return a.area;
  }
  return ClickArea::None;
}

bool onOptionWord(double x, double y) { return clickAreaAt(x, y) != ClickArea::None; }

void clickOptionArea(ClickArea area) {
  const Option* option = nullptr;
  for (const Area& a : kAreas) {
    if (a.area == area) option = &a.option;
  }
  if (!option) return;
  // A click toggles the box behind the word.
  const bool ticked = fw::ctl(optionBox(*option)).value() == 0;
  optionChosen(*option, ticked, ChosenBy::ClickArea);
}

void registerMarkProcedures() {
  fw::registerProcedure("MAINFORM_MOUSEUP", [](fw::EventArgs& e) {
    clickOptionArea(clickAreaAt(e.x, e.y));
  });
}

}  // namespace entry
