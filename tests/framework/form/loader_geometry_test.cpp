// Geometry values of a damaged window definition: held to the range Win32
// itself keeps them in, so that building the window does no arithmetic that
// overflows (found by fuzzing the loader).
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "framework/form/events.h"
#include "framework/form/internal/definition_loader.h"
#include "framework/form/internal/form_objects.h"
#include "framework/form/program.h"
#include "framework/form/window.h"
#include "tests/framework/form/definition_bytes.h"

namespace fw {
namespace {

using internal::openWindowFromBytes;
using internal::parseDefinition;
using testdata::DefinitionBytes;
namespace s = wd::style;

class LoaderGeometry : public ::testing::Test {
 protected:
  void SetUp() override { resetForTests(); }
  void TearDown() override { resetForTests(); }
};

// A control at x 0x7FFFFF00 with width 0x200: x + width passed 2^31 in the
// rectangle given to the widget.
TEST_F(LoaderGeometry, ControlFarRightWithWidthIsBounded) {
  DefinitionBytes d;
  d.window().beginControls();
  d.create(3, s::Child | s::Visible).name("BUTTON1").place(0, 0x7FFFFF00, 0x7FFFFF00, 0x200, 0x200);
  d.endList().endList();
  const internal::WindowDefinition def = parseDefinition(d.bytes);
  ASSERT_EQ(def.controls.size(), 1u);
  EXPECT_EQ(def.controls[0].x, 32767);
  EXPECT_EQ(def.controls[0].y, 32767);
  EXPECT_EQ(def.controls[0].width, 0x200);
  auto window = openWindowFromBytes(d.bytes, 0);
  Control& button = window->control("BUTTON1");
  EXPECT_EQ(button.x(), 32767);
  EXPECT_LE(static_cast<long long>(button.x()) + button.width(), 65534);
}

// A centred window of width -2^31: the centring formula subtracted it from
// the screen width.
TEST_F(LoaderGeometry, CentredWindowOfMinimalWidthIsBounded) {
  for (int placement : {2, 3}) {
    SCOPED_TRACE(placement);
    DefinitionBytes d;
    d.header().create(0, s::Caption | s::SysMenu).name("WIDE").place(placement, 0, 0, INT_MIN,
                                                                      INT_MIN);
    d.endList();
    const internal::WindowDefinition def = parseDefinition(d.bytes);
    EXPECT_EQ(def.window.width, 0);
    EXPECT_EQ(def.window.height, 0);
    auto window = openWindowFromBytes(d.bytes, 0);
    // Centred on a screen of ordinary size, not pushed 2^30 pixels away.
    EXPECT_GE(window->geometry(0), -32768);
    EXPECT_LE(window->geometry(0), 32767);
    EXPECT_GE(window->geometry(1), -32768);
    EXPECT_LE(window->geometry(1), 32767);
    resetForTests();
  }
}

// Every extreme of every value, for the window and a control.
TEST_F(LoaderGeometry, ExtremeValuesAreHeldWhenRead) {
  const int64_t extremes[] = {INT_MIN, INT_MIN + 1, -32769, -32768, -1, 0, 32767, 32768, INT_MAX};
  for (int64_t v : extremes) {
    SCOPED_TRACE(v);
    DefinitionBytes d;
    d.header().create(0, s::Caption | s::SysMenu).name("EDGE");
    d.op(wd::Place).i32(0).i32(v).i32(v).i32(v).i32(v);
    d.beginControls().create(7, s::Child | s::Visible).name("EDIT1");
    d.op(wd::Place).i32(0).i32(v).i32(v).i32(v).i32(v);
    d.endList().endList();
    const internal::WindowDefinition def = parseDefinition(d.bytes);
    for (const internal::ObjectDef* o : {&def.window, &def.controls.at(0)}) {
      EXPECT_EQ(o->x, std::clamp<int64_t>(v, -32768, 32767));
      EXPECT_EQ(o->y, std::clamp<int64_t>(v, -32768, 32767));
      EXPECT_EQ(o->width, std::clamp<int64_t>(v, 0, 32767));
      EXPECT_EQ(o->height, std::clamp<int64_t>(v, 0, 32767));
    }
    EXPECT_NO_THROW(openWindowFromBytes(d.bytes, 0));
    resetForTests();
  }
}

}  // namespace
}  // namespace fw
