// window_snapshot: builds windows from their definitions offscreen and saves
// each as a PNG, so that a person can compare them with the layout tables.
//
//   window_snapshot OUTDIR [NAME ...]     (default: all eight windows)
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/core/error.h"
#include "framework/form/program.h"
#include "framework/form/window.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s OUTDIR [WINDOW ...]\n", argv[0]);
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  const std::filesystem::path out = argv[1];
  std::filesystem::create_directories(out);
  std::vector<std::string> names(argv + 2, argv + argc);
  if (names.empty())
    names = {"MAINFORM", "FORM2", "FORM3", "FORM4", "FORM6", "FORM7", "FORM8", "FORM9"};

  if (!fw::initForTests()) {
    std::fprintf(stderr, "cannot start the form framework\n");
    return 1;
  }
  int failures = 0;
  for (const std::string& name : names) {
    const std::string png = (out / (name + ".png")).string();
    try {
      bool saved = false;
      if (name == "MAINFORM") {
        fw::mainWindow().setVisible(true);
        saved = fw::mainWindow().saveScreenshot(png);
      } else {
        fw::FormRef form;
        fw::openWindow(form, name, 0);
        form->setVisible(true);
        saved = form->saveScreenshot(png);
        fw::closeWindow(form);
      }
      std::printf("%s %s\n", saved ? "saved" : "FAILED", png.c_str());
      failures += saved ? 0 : 1;
    } catch (const fw::RuntimeError& e) {
      std::printf("FAILED %s: error %d\n", name.c_str(), e.number());
      ++failures;
    }
  }
  fw::resetForTests();
  return failures == 0 ? 0 : 1;
}
