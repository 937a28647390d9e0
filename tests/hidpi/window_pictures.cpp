// Draws every window of the program as the operator sees it, filled with
// sample values and lists, and prints one chart to a PDF, at whatever
// device pixel ratio its environment gives (QT_SCALE_FACTOR): the pictures
// of two ratios are compared by hidpi_test.cpp.
//
//   tessivo_window_pictures DIR   (the program's data folders go to DIR/data)
//
// Writes DIR/<WINDOW>.png for MAINFORM, FORM2 ... FORM9 and PREVIEW, the
// windows' drawn pictures DIR/PICTURE-<WINDOW>.png, and DIR/chart.pdf.
// Exit code 0 when everything was written.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "entry/procedures.h"
#include "entry/record.h"
#include "entry/startup.h"
#include "entry/state.h"
#include "framework/core/clock.h"
#include "framework/core/error.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/page_preview.h"
#include "framework/form/printer.h"
#include "framework/form/program.h"
#include "framework/form/responder.h"
#include "framework/form/testing.h"
#include "framework/form/window.h"
#include "history/procedures.h"
#include "masters/procedures.h"
#include "printing/chart_preview.h"
#include "printing/procedures.h"
#include "tests/support/sample_examinee.h"

// After the program's headers: Qt's "slots" keyword would break a variable of theirs.
#include <QApplication>

#include "framework/form/internal/form_objects.h"
#include "framework/form/internal/image_surface.h"

namespace {

using namespace fw::literals;

std::filesystem::path g_out;
int g_failures = 0;

void click(fw::Window& window, const char* button) {
  fw::testing::click(window.control(button));
  fw::waitForEvents();
}

fw::Window* openWindowNamed(const char* name) {
  for (const auto& w : fw::internal::openWindows())
    if (!w->closed() && w->name() == name) return w.get();
  return nullptr;
}

// The window as the operator sees it, and its drawn picture alone
// (PICTURE-<name>.png, in the screen's pixels).
void save(fw::Window& window, const std::string& name) {
  const QImage& picture = fw::internal::surfaceImage(window.surface());
  const std::string picturePng = (g_out / ("PICTURE-" + name + ".png")).string();
  const bool saved = window.saveScreenshot((g_out / (name + ".png")).string()) &&
                     picture.save(QString::fromStdString(picturePng));
  if (!saved) ++g_failures;
  std::printf("%s %s\n", saved ? "saved" : "FAILED", name.c_str());
}

// Opens a window through the main window's button, saves its picture and
// leaves it through its own button.
// A question before the window opens (FORM6's) is answered Yes.
void throughButton(fw::ScriptedResponder& answers, const char* openButton, const char* name,
                   const char* closeButton) {
  answers.messageAnswers = {fw::mb::ResYes};
  click(fw::mainWindow(), openButton);
  fw::Window* window = openWindowNamed(name);
  if (!window) {
    std::printf("FAILED %s did not open\n", name);
    ++g_failures;
    return;
  }
  window->setVisible(true);
  save(*window, name);
  click(*window, closeButton);
}

void run() {
  fw::ScriptedResponder answers;
  fw::setClock([] { return fw::LocalTime{2026, 12, 8, 10, 30, 0}; });
  entry::prepareMainWindow();
  entry::createDataDirectories();
  fw::waitForEvents();
  fw::Window& main = fw::mainWindow();
  main.setVisible(true);

  // Forty entries, so that the history lists are full and scroll.
  for (int i = 0; i < 40; ++i) {
    common::ExamineeRecord r = tessivo::test::sampleExaminee();
    r.EXAM_NO = std::to_string(100 + i);
    entry::writeToMainWindow(r);
    fw::waitForEvents();
    answers.messageAnswers = {fw::mb::ResYes, fw::mb::ResOK};
    click(main, "BUTTON1");
  }
  entry::writeToMainWindow(tessivo::test::sampleExaminee());
  fw::waitForEvents();
  entry::EDIT_COUNT = 0;
  save(main, "MAINFORM");

  throughButton(answers, "BUTTON2", "FORM2", "BUTTON4");
  entry::CURRENT_ENTRY = "1";
  throughButton(answers, "BUTTON1", "FORM3", "BUTTON14");
  entry::CURRENT_ENTRY.clear();
  throughButton(answers, "BUTTON21", "FORM4", "BUTTON19");
  throughButton(answers, "BUTTON6", "FORM6", "BUTTON33");
  throughButton(answers, "BUTTON36", "FORM7", "BUTTON37");
  throughButton(answers, "BUTTON38", "FORM8", "BUTTON39");
  throughButton(answers, "BUTTON42", "FORM9", "BUTTON43");

  printing::INSATU_MIHON();
  fw::waitForEvents();
  if (fw::pagePreviewOpen()) {
    fw::testing::setPreviewZoom(fw::PreviewZoom::Fit);
    const bool saved = fw::testing::savePreviewScreenshot((g_out / "PREVIEW.png").string());
    std::printf("%s PREVIEW\n", saved ? "saved" : "FAILED");
    if (!saved) ++g_failures;
    fw::closePagePreview();
  } else {
    std::printf("FAILED the preview did not open\n");
    ++g_failures;
  }

  // The single print of the examinee shown, into a PDF.
  fw::setPdfOutput((g_out / "chart.pdf").string());
  answers.messageAnswers = {fw::mb::ResYes};
  answers.printAnswers = {true};
  click(main, "BUTTON10");
  fw::setPdfOutput("");
  if (!std::filesystem::exists(g_out / "chart.pdf")) {
    std::printf("FAILED no chart.pdf\n");
    ++g_failures;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
    return 2;
  }
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  g_out = std::filesystem::absolute(argv[1]);
  std::filesystem::create_directories(g_out / "data");
  std::filesystem::current_path(g_out / "data");
  QApplication app(argc, argv);
  entry::registerProcedures();
  printing::registerProcedures();
  masters::registerProcedures();
  history::registerProcedures();
  if (!fw::initForTests()) {
    std::fprintf(stderr, "cannot start the form framework\n");
    return 1;
  }
  try {
    run();
  } catch (const fw::RuntimeError& e) {
    std::printf("FAILED error %d\n", e.number());
    ++g_failures;
  }
  fw::resetForTests();
  fw::unregisterAllProcedures();
  return g_failures == 0 ? 0 : 1;
}
