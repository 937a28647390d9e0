// How controls look on screen, measured on pictures of their windows: the
// colours, edges and text placement the window definitions ask for.
#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>
#include <string>

#include "framework/form/events.h"
#include "framework/form/internal/form_objects.h"
#include "framework/form/program.h"
#include "framework/form/responder.h"
#include "framework/form/window.h"

namespace fw {
namespace {

using namespace fw::literals;

class ControlPictures : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(initForTests()); }
  void TearDown() override {
    resetForTests();
    unregisterAllProcedures();
  }

  static QImage picture(Window& window) {
    window.setVisible(true);
    QWidget* widget = static_cast<internal::WindowImpl&>(window).widget();
    widget->ensurePolished();
    return widget->grab().toImage();
  }
  // "#rrggbb": failures then name the colour found.
  static std::string at(const QImage& image, int x, int y) {
    return image.pixelColor(x, y).name().toStdString();
  }

  ScriptedResponder answers;
};

const std::string kControlBackground = "#f1f6fa";  // RGB 241, 246, 250

// Beside their box or circle and their caption, check boxes and option
// buttons show the background of their definition, not Qt's button grey.
TEST_F(ControlPictures, CheckBoxesAndOptionButtonsShowTheirDefinedBackground) {
  {
    const QImage main = picture(mainWindow());
    EXPECT_EQ(at(main, 133 + 250, 343 + 10), kControlBackground) << "CHECK12 beyond its caption";
    EXPECT_EQ(at(main, 413 + 20, 133 + 20), kControlBackground) << "CHECK1's corner";
    EXPECT_EQ(at(main, 56 + 20, 483 + 1), kControlBackground) << "CHECK7's corner";
  }
  for (const char* name : {"form7", "form9"}) {
    SCOPED_TRACE(name);
    FormRef form;
    openWindow(form, name, 0);
    const QImage image = picture(*form);
    // RADIO1 / RADIO3 start at (28, 21); their right end is caption-free.
    const int right = std::string(name) == "form7" ? 28 + 180 : 28 + 96;
    EXPECT_EQ(at(image, right, 21 + 10), kControlBackground);
    EXPECT_EQ(at(image, right, 56 + 10), kControlBackground);
  }
}

}  // namespace
}  // namespace fw
