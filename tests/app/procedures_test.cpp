// Every event procedure the program registers answers an event that one of
// its windows can raise: a misspelt name would never run.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "framework/form/events.h"
#include "framework/form/window_commands.h"
#include "history/procedures.h"
#include "entry/procedures.h"
#include "masters/procedures.h"
#include "printing/procedures.h"
#include "resources/resources.h"
#include "tests/resources/definition_reader.h"

namespace {

enum Type { Window = 0, Button = 3, Radio = 4, Check = 5, Edit = 7, Label = 8, List = 9, Combo = 12 };

// The events the form layer raises for each kind of object (MENU: a context
// menu the program gave the list).
const std::map<int, std::set<std::string>>& eventsByType() {
  static const std::map<int, std::set<std::string>> events{
      {Window, {"START", "QUERYCLOSE", "MOUSEUP", "MOUSEDOWN", "MOUSEMOVE", "CLICK", "DBLCLICK",
                "RESIZE", "SETFOCUS", "KILLFOCUS"}},
      {Button, {"ON", "SETFOCUS", "KILLFOCUS"}},
      {Radio, {"ON", "SETFOCUS", "KILLFOCUS"}},
      {Check, {"ON", "SETFOCUS", "KILLFOCUS"}},
      {Edit, {"CHANGE", "SETFOCUS", "KILLFOCUS"}},
      {Label, {"CLICK", "DBLCLICK"}},
      {List, {"CHANGE", "CLICK", "DBLCLICK", "SETFOCUS", "KILLFOCUS", "MENU"}},
      {Combo, {"CHANGE", "CLICK", "SETFOCUS", "KILLFOCUS"}},
  };
  return events;
}

// NAME_EVENT for every object of every window, and the procedures the
// definitions bind by name.
std::set<std::string> raisableProcedures() {
  resources::ensureLinked();
  std::set<std::string> names;
  for (const char* w : {"MAINFORM", "FORM2", "FORM3", "FORM4", "FORM6", "FORM7", "FORM8",
                        "FORM9", "FORM10"}) {
    const wdtest::Definition d = wdtest::load(w);
    EXPECT_TRUE(d.error.empty()) << w << ": " << d.error;
    auto add = [&](const wdtest::Object& o, int type) {
      for (const std::string& event : eventsByType().at(type)) names.insert(o.name + "_" + event);
      for (const auto& bound : o.events) names.insert(bound.second);
    };
    add(d.window, Window);
    for (const wdtest::Object& c : d.controls) add(c, c.type);
  }
  return names;
}

TEST(Procedures, EveryRegisteredNameAnswersAnEventOfSomeWindow) {
  fw::unregisterAllProcedures();
  entry::registerProcedures();
  printing::registerProcedures();
  masters::registerProcedures();
  history::registerProcedures();
  std::set<std::string> raisable = raisableProcedures();
  // Procedures that a window's menu or shortcut raises instead.
  for (const fw::Str& name : fw::commandProcedureNames()) raisable.insert(name);
  for (const fw::Str& name : fw::registeredProcedureNames()) {
    EXPECT_TRUE(raisable.count(name)) << name << " is raised by no window";
  }
  fw::unregisterAllProcedures();
}

TEST(Procedures, RegisteringANameTwiceIsRefused) {
  fw::unregisterAllProcedures();
  fw::registerProcedure("BUTTON1_ON", [](fw::EventArgs&) {});
  EXPECT_THROW(fw::registerProcedure("BUTTON1_ON", [](fw::EventArgs&) {}), std::logic_error);
  fw::unregisterAllProcedures();
}

}  // namespace
