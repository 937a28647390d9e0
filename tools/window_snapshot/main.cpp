// window_snapshot: builds windows from their definitions offscreen and saves
// each as a PNG, so that a person can compare them with the layout tables.
//
//   window_snapshot [--filled] OUTDIR [NAME ...]   (default: all eight windows)
//
// --filled puts sample values into every edit box and sample lines into every
// list box first, to see where values sit. The name COMBO2-OPEN saves the
// main window with COMBO2 filled with the 17 request categories and its list
// opened over it; PRINTDIALOG saves the system print dialog as the operator
// sees it before every print.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/core/cp932.h"
#include "framework/core/error.h"
#include "framework/form/internal/form_objects.h"
#include "framework/form/program.h"
#include "framework/form/window.h"

namespace {

using fw::literals::operator""_sj;

void fillWithSamples(fw::Window& window) {
  const fw::Str doctorLine = "田中"_sj + fw::Str(41, ' ');
  for (int i = 0; i < window.controlCount(); ++i) {
    fw::Control& c = window.controlAt(i);
    if (c.kind() == fw::Kind::Edit) c.setText("-1.5");
    if (c.kind() == fw::Kind::List) {
      c.addItem(doctorLine);
      c.addItem("鈴木　一郎"_sj + fw::Str(37, ' '));
      c.addItem(fw::Str(120, 'W'));
    }
  }
}

// The main window with its request-category list dropped down: the list is
// a window of its own, painted onto the picture where it opened.
bool saveOpenedCombo2(const std::string& png) {
  fw::Window& main = fw::mainWindow();
  main.setVisible(true);
  fw::Control& control = main.control("COMBO2");
  const char* categories[] = {"", "一般", "出稼", "中央", "BG健", "愛職", "YS健",
                              "訪問", "介護", "生保", "診",   "愛",   "病",
                              "健", "労",   "母",   "子"};
  control.clearItems();
  for (const char* c : categories) control.addItem(" "_sj + fw::sj(c));
  auto* combo = static_cast<fw::internal::ControlImpl&>(control).comboWidget();
  auto* widget = static_cast<fw::internal::WindowImpl&>(main).widget();
  combo->showPopup();
  QWidget* popup = combo->view()->window();
  QImage picture = widget->grab().toImage();
  QPainter painter(&picture);
  painter.drawImage(popup->geometry().topLeft() - widget->mapToGlobal(QPoint(0, 0)),
                    popup->grab().toImage());
  painter.end();
  combo->hidePopup();
  return picture.save(QString::fromStdString(png), "PNG");
}

bool savePrintDialog(const std::string& png) {
  QPrinter printer;
  QPrintDialog dialog(&printer);
  dialog.show();
  const bool saved = dialog.grab().save(QString::fromStdString(png), "PNG");
  dialog.hide();
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  bool filled = false;
  int first = 1;
  if (argc > 1 && std::strcmp(argv[1], "--filled") == 0) {
    filled = true;
    ++first;
  }
  if (argc <= first) {
    std::fprintf(stderr, "usage: %s [--filled] OUTDIR [WINDOW ...]\n", argv[0]);
    return 2;
  }
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const std::filesystem::path out = argv[first];
  std::filesystem::create_directories(out);
  std::vector<std::string> names(argv + first + 1, argv + argc);
  if (names.empty())
    names = {"MAINFORM", "FORM2", "FORM3", "FORM4", "FORM6", "FORM7", "FORM8", "FORM9"};

  // Owned here, so that it goes before the static objects of Qt's print
  // support do (the framework's own would outlive them).
  QApplication app(argc, argv);
  if (!fw::initForTests()) {
    std::fprintf(stderr, "cannot start the form framework\n");
    return 1;
  }
  int failures = 0;
  for (const std::string& name : names) {
    const std::string png = (out / (name + ".png")).string();
    try {
      bool saved = false;
      if (name == "COMBO2-OPEN") {
        saved = saveOpenedCombo2(png);
      } else if (name == "PRINTDIALOG") {
        saved = savePrintDialog(png);
      } else if (name == "MAINFORM") {
        if (filled) fillWithSamples(fw::mainWindow());
        fw::mainWindow().setVisible(true);
        saved = fw::mainWindow().saveScreenshot(png);
      } else {
        fw::FormRef form;
        fw::openWindow(form, name, 0);
        if (filled) fillWithSamples(*form);
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
