// manual_pictures: the windows of the operator's manual (docs/manual.ja.md),
// made by the program itself: the real start code and event procedures run
// offscreen in a scratch folder with a few registered examinees, the
// questions are answered by script, and each window is saved as a PNG.
//
//   manual_pictures OUTDIR
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/correction_file.h"
#include "common/history_format.h"
#include "entry/main_window_interface.h"
#include "entry/procedures.h"
#include "entry/startup.h"
#include "framework/core/error.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/program.h"
#include "framework/form/responder.h"
#include "framework/form/testing.h"
#include "framework/form/window.h"
#include "history/procedures.h"
#include "history/registration.h"
#include "history/store/store.h"
#include "history/window_state.h"
#include "masters/procedures.h"
#include "masters/procedures_internal.h"
#include "printing/multiple_print.h"
#include "printing/procedures.h"

// After the program's headers: Qt's "slots" keyword is a macro.
#include <QApplication>

namespace {

namespace fs = std::filesystem;
using fw::literals::operator""_sj;

struct Examinee {
  const char *no, *chart, *name, *birthYear, *birthMonth, *birthDay, *age;
  bool male;
  const char *day, *hour, *minute;
};

// Made-up examinees of one week.
const Examinee kExaminees[] = {
    {"101", "0000004711", "佐藤　一郎", "昭和３８", "４", "１２", "６３", true, "１", "９", "10"},
    {"102", "0000005230", "鈴木　花子", "昭和５２", "１１", "３", "４９", false, "１", "９", "40"},
    {"103", "0000000815", "高橋　健", "平成２", "７", "２５", "３６", true, "２", "10", "15"},
    {"104", "0000006402", "田中　美咲", "昭和６１", "２", "２８", "４０", false, "３", "11", "05"},
    {"105", "0000003377", "伊藤　誠", "昭和２５", "９", "１", "７６", true, "４", "９", "20"},
    {"106", "0000007019", "渡辺　陽子", "平成１１", "５", "６", "２７", false, "４", "10", "30"},
};

common::ExamineeRecord record(const Examinee& e) {
  common::ExamineeRecord r;
  r.EXAM_NO = e.no;
  r.EXAM_YEAR = "2026";
  r.EXAM_MONTH = "12";
  r.EXAM_DAY = fw::sj(e.day);
  r.EXAM_AM = 1;
  r.EXAM_HOUR = fw::sj(e.hour);
  r.EXAM_MINUTE = e.minute;
  r.CHART_NO = e.chart;
  r.NAME = fw::sj(e.name);
  r.BIRTH_YEAR = fw::sj(e.birthYear);
  r.BIRTH_MONTH = fw::sj(e.birthMonth);
  r.BIRTH_DAY = fw::sj(e.birthDay);
  r.AGE = fw::sj(e.age);
  r.SEX_MALE = e.male ? 1 : 0;
  r.SEX_FEMALE = e.male ? 0 : 1;
  r.HOSPITAL = "さくら内科クリニック"_sj;
  r.OUTPATIENT = 1;
  r.REQUEST_KIND = 0;
  r.DOCTOR = "山本"_sj;
  r.WEIGHT = "64.5";
  r.BP_HIGH = "132";
  r.BP_LOW = "84";
  r.MEDICATION = "なし"_sj;
  r.ECG_REST = 1;
  r.MINNESOTA_CODE = "1-2-8"_sj;
  r.FINDING_NAME = "正常範囲"_sj;
  r.DOCTOR_FINDING = "特記すべき所見なし"_sj;
  return r;
}

int failures = 0;

void save(fw::Window& window, const fs::path& out, const char* name) {
  window.setVisible(true);
  fw::waitForEvents();
  const std::string png = (out / (std::string(name) + ".png")).string();
  const bool saved = window.saveScreenshot(png);
  std::printf("%s %s\n", saved ? "saved" : "FAILED", png.c_str());
  failures += saved ? 0 : 1;
}

void click(const char* name) {
  fw::testing::click(fw::ctl(name));
  fw::waitForEvents();
}

// Closes a window opened from the main window and gives the main window back.
void closeBack(fw::FormRef& form) {
  if (fw::isOpen(form)) fw::closeWindow(form);
  fw::waitForEvents();
  fw::mainWindow().setEnabled(true);
  fw::mainWindow().setVisible(true);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
    return 2;
  }
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const fs::path out = fs::absolute(argv[1]);
  fs::create_directories(out);
  const fs::path scratch = fs::temp_directory_path() / ("tessivo-manual-" + std::to_string(getpid()));
  fs::create_directories(scratch);
  fs::current_path(scratch);

  QApplication app(argc, argv);
  entry::registerProcedures();
  printing::registerProcedures();
  masters::registerProcedures();
  history::registerProcedures();
  if (!fw::initForTests()) {
    std::fprintf(stderr, "cannot start the form framework\n");
    return 1;
  }
  fw::ScriptedResponder answers;
  try {
    entry::prepareMainWindow();
    entry::createDataDirectories();
    {
      // The doctor list, one quoted name a line, before the start event reads it.
      std::ofstream doctors("EKG_SYS/HOKENNI", std::ios::binary);
      for (const char* doctor : {"山本", "中村", "小林"})
        doctors << "\"" << fw::sj(doctor) << "\"\r\n";
    }
    fw::waitForEvents();
    for (const Examinee& e : kExaminees) {
      const common::ExamineeRecord r = record(e);
      history::appendEntry(common::attributesOf(r, "2026/12/0"_sj + e.day),
                           common::clinicalOf(r, "2026/12/0"_sj + e.day));
    }

    // The main window with an examinee typed in.
    entry::showRecord(record(kExaminees[0]), entry::RecordPart::Everything);
    entry::EDIT_COUNT = 0;
    save(fw::mainWindow(), out, "main_window");

    // The registration choice, for an entry opened from the history.
    entry::CURRENT_ENTRY = "1";
    click("BUTTON1");
    if (fw::isOpen(history::FORM3)) save(*history::FORM3, out, "register_choice");
    closeBack(history::FORM3);
    entry::CURRENT_ENTRY = "";

    // The history window with the week's examinees.
    click("BUTTON2");
    if (fw::isOpen(history::FORM2)) save(*history::FORM2, out, "history_window");
    closeBack(history::FORM2);

    // The multiple print with two examinees chosen.
    click("BUTTON38");
    if (fw::isOpen(printing::FORM8)) {
      fw::Control& list = printing::FORM8->control("LIST3");
      fw::testing::selectItem(list, 0);
      fw::testing::selectItem(list, 2);
      fw::waitForEvents();
      save(*printing::FORM8, out, "multiple_print");
    }
    closeBack(printing::FORM8);

    // The position adjustment with two rows corrected.
    std::array<fw::Str, common::kChartItemCount + 1> vertical, horizontal;
    vertical.fill("0");
    horizontal.fill("0");
    vertical[10] = "-1.5";
    horizontal[10] = "0.5";
    vertical[34] = "2";
    common::writeCorrections(vertical, horizontal);
    click("BUTTON21");
    if (fw::isOpen(printing::FORM4)) save(*printing::FORM4, out, "position_adjustment");
    closeBack(printing::FORM4);

    click("BUTTON36");
    if (fw::isOpen(printing::FORM7)) save(*printing::FORM7, out, "print_font");
    closeBack(printing::FORM7);
    click("BUTTON42");
    if (fw::isOpen(printing::FORM9)) save(*printing::FORM9, out, "print_colour");
    closeBack(printing::FORM9);

    answers.messageAnswers = {fw::mb::ResYes};
    click("BUTTON6");
    if (fw::isOpen(masters::FORM6)) save(*masters::FORM6, out, "doctor_list");
    closeBack(masters::FORM6);
  } catch (const fw::RuntimeError& e) {
    std::printf("FAILED: error %d\n", e.number());
    ++failures;
  }
  fw::resetForTests();
  fs::current_path(out);
  std::error_code ec;
  fs::remove_all(scratch, ec);
  return failures == 0 ? 0 : 1;
}
