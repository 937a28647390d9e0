// "複数印刷" (FORM8): listing stored entries, selecting them and printing one
// chart per entry, driven as the operator would; sheets read back from the
// recorded drawing and from the PDF.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "common/history_format.h"
#include "common/list_line.h"
#include "common/print_options.h"
#include "common/print_texts.h"
#include "entry/state.h"
#include "framework/core/clock.h"
#include "framework/core/cp932.h"
#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/printer.h"
#include "framework/form/program.h"
#include "framework/form/recording_surface.h"
#include "framework/form/responder.h"
#include "framework/form/testing.h"
#include "framework/form/window.h"
#include "history/store/search.h"
#include "history/store/store.h"
#include "printing/multiple_print.h"
#include "printing/procedures.h"
#include "tests/framework/print/pdf_probe.h"
#include "tests/support/temp_dir.h"

namespace printing {
namespace {

using namespace fw::literals;
using tessivo::test::PdfPage;
using tessivo::test::TempCwd;

common::ExamineeRecord person(const std::string& examNo, const fw::Str& name) {
  common::ExamineeRecord r;
  r.EXAM_NO = examNo;
  r.NAME = name;
  r.EXAM_YEAR = "2024";
  r.EXAM_MONTH = "5";
  r.EXAM_DAY = "7";
  r.SEX_FEMALE = 1;
  r.AGE = "54";
  r.DOCTOR_FINDING = "F" + examNo;
  return r;
}

// A chart with most of its items filled, for the sheets a person looks at.
common::ExamineeRecord fullPerson(const std::string& examNo, const fw::Str& name) {
  common::ExamineeRecord r = person(examNo, name);
  r.EXAM_AM = 1;
  r.EXAM_HOUR = "10";
  r.EXAM_MINUTE = "05";
  r.CHART_NO = "0000000123";
  r.BIRTH_YEAR = "昭和45"_sj;
  r.BIRTH_MONTH = "3";
  r.BIRTH_DAY = "15";
  r.HOSPITAL = "さくら医院"_sj;
  r.OUTPATIENT = 1;
  r.REQUEST_KIND = 4;
  r.DOCTOR = "佐藤"_sj;
  r.WEIGHT = "62.5";
  r.BP_HIGH = "128";
  r.BP_LOW = "84";
  r.ECG_STRESS = 1;
  r.MASTER_DOUBLE = 1;
  r.MINNESOTA_CODE = "9-2";
  r.FINDING_NAME = "正常範囲"_sj;
  return r;
}

long store(const common::ExamineeRecord& r) {
  return history::appendEntry(common::attributesOf(r, "2024/05/07"),
                              common::clinicalOf(r, "2024/05/07"));
}

class MultiplePrint : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory("EKG_DATA");
    std::filesystem::create_directory("EKG_SYS");
    ASSERT_TRUE(fw::initForTests());
    fw::unregisterAllProcedures();
    registerProcedures();
    pdf = dir.path() + "/charts.pdf";
    fw::setPdfOutput(pdf);
    common::PRINT_FONT = "1";
    common::PRINT_COLOUR = "1";
    entry::EDIT_COUNT = 0;
  }
  void TearDown() override {
    fw::setPdfOutput("");
    fw::setClock({});
    fw::resetForTests();
  }

  void open() {
    fw::testing::click(fw::ctl("BUTTON38"));
    fw::waitForEvents();
    ASSERT_TRUE(fw::isOpen(FORM8));
  }
  void clickOn(const char* control) {
    fw::testing::click(FORM8->control(control));
    fw::waitForEvents();
  }
  fw::Control& list() { return FORM8->control("LIST3"); }
  void select(std::initializer_list<int> lines) {
    for (int line : lines) fw::testing::selectItem(list(), line);
    fw::waitForEvents();
  }
  std::vector<int> selected() {
    std::vector<int> lines;
    for (int i = 0; i < list().itemCount(); ++i)
      if (list().itemSelected(i)) lines.push_back(i);
    return lines;
  }
  // Keeps the PDF and its pages as PNG for a person to look at, when asked.
  void keep(const std::string& name) {
    tessivo::test::keepForLooking(pdf, name);
  }

  TempCwd dir;
  fw::ScriptedResponder answers;
  std::string pdf;
};

TEST_F(MultiplePrint, DeletedEntriesAreLeftOutAndSheetsFollowTheList) {
  store(person("111", "山田　一郎"_sj));
  store(person("222", "鈴木　二郎"_sj));
  store(person("333", "佐藤　三郎"_sj));
  ASSERT_TRUE(history::markDeleted(2));
  open();

  ASSERT_EQ(list().itemCount(), 2);
  EXPECT_EQ(common::entryNumberOfListLine(list().itemText(0)), 3);
  EXPECT_EQ(common::entryNumberOfListLine(list().itemText(1)), 1);
  EXPECT_EQ(list().itemText(0).substr(0, 19), "   1   333         ");
  EXPECT_EQ(list().itemText(1).substr(0, 19), "   2   111         ");
  EXPECT_EQ(list().itemText(0).substr(109), "3" + std::string(15, ' '));

  select({1, 0});
  answers.messageAnswers = {fw::mb::ResYes};
  answers.printAnswers = {true};
  clickOn("BUTTON40");

  ASSERT_EQ(answers.messages.size(), 1u);
  EXPECT_EQ(answers.messages[0].title, "複数印刷"_sj);
  EXPECT_EQ(answers.messages[0].text,
            "選択された受診者の「心電図カルテ(FT-70)」を印刷します。 "_sj + "\r\n\r\n" +
                "よろしいですか？   "_sj);
  EXPECT_EQ(answers.messages[0].buttons, fw::mb::YesNo);
  EXPECT_EQ(answers.messages[0].icon, fw::mb::Question);

  const std::vector<PdfPage> pages = tessivo::test::readPdfWords(pdf);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_TRUE(pages[0].find("333") && pages[0].find("F333"));  // the newest first
  EXPECT_FALSE(pages[0].find("111"));
  EXPECT_TRUE(pages[1].find("111") && pages[1].find("F111"));
  for (const PdfPage& page : pages) {
    EXPECT_NEAR(page.width, 841.89, 1.0);  // A4 landscape
    EXPECT_NEAR(page.height, 595.28, 1.0);
  }
  EXPECT_EQ(answers.beeps, 1);  // the end of the job is heard
  EXPECT_TRUE(FORM8->enabled());
  EXPECT_EQ(selected(), (std::vector<int>{0, 1}));  // the selection stays
}

// With PDF copies switched on, every sheet is also kept as a PDF of its own,
// named by its entry and holding that sheet's text; where no copy can be
// written the paper job is still whole, and the operator is told once.
TEST_F(MultiplePrint, PdfCopiesKeepEachSheetOnItsOwn) {
  fw::setClock([] { return fw::LocalTime{2024, 5, 7, 14, 3, 9}; });
  dir.write("EKG_SYS/PDF_HOZON", "1" + std::string(99, ' ') + std::string(156, '\0'));
  store(person("111", "山田　一郎"_sj));
  store(person("222", "鈴木　二郎"_sj));
  open();
  select({0, 1});
  answers.messageAnswers = {fw::mb::ResYes};
  answers.printAnswers = {true};
  clickOn("BUTTON40");

  using tessivo::test::runCommand;
  const std::string folder = "EKG_DATA/PDF/2024/05/20240507_140309_E";
  for (int page = 1; page <= 2; ++page) {
    const std::string copy = folder + std::to_string(3 - page) + ".pdf";  // newest first
    ASSERT_TRUE(dir.exists(copy)) << copy;
    const std::string sheet = runCommand("pdftotext -layout -f " + std::to_string(page) + " -l " +
                                         std::to_string(page) + " '" + pdf + "' -");
    EXPECT_NE(sheet.find(page == 1 ? "222" : "111"), std::string::npos);
    EXPECT_EQ(runCommand("pdftotext -layout '" + copy + "' -"), sheet) << copy;
  }
  EXPECT_EQ(answers.messages.size(), 1u);  // the question only

  std::filesystem::remove_all("EKG_DATA/PDF");
  dir.write("EKG_DATA/PDF", "a file where the folder should be");
  answers.messages.clear();
  answers.messageAnswers = {fw::mb::ResYes, fw::mb::ResOK};
  answers.printAnswers = {true};
  clickOn("BUTTON40");
  EXPECT_EQ(tessivo::test::readPdfWords(pdf).size(), 2u);
  ASSERT_EQ(answers.messages.size(), 2u);
  EXPECT_NE(answers.messages[1].text.find("PDF"_sj), fw::Str::npos);
  EXPECT_TRUE(FORM8->enabled());
}

TEST_F(MultiplePrint, ListSizeLimitsTheListAndIsKeptInItsOwnFile) {
  for (int i = 1; i <= 80; ++i) store(person(std::to_string(i), "受診者"_sj));
  open();
  ASSERT_EQ(list().itemCount(), 50);
  EXPECT_EQ(common::entryNumberOfListLine(list().itemText(0)), 80);
  EXPECT_EQ(common::entryNumberOfListLine(list().itemText(49)), 31);
  EXPECT_EQ(FORM8->control("COMBO7").text(), "50");
  EXPECT_EQ(dir.read("EKG_SYS/RIRE_SAIDA_G2").size(), 0u);  // read, created empty

  fw::testing::selectItem(FORM8->control("COMBO7"), 1);
  fw::waitForEvents();
  EXPECT_EQ(list().itemCount(), 80);
  const std::string file = dir.read("EKG_SYS/RIRE_SAIDA_G2");
  ASSERT_EQ(file.size(), 256u);
  EXPECT_EQ(file.substr(0, 100), "1" + std::string(99, ' '));
  EXPECT_EQ(file.substr(100), std::string(156, '\0'));
  EXPECT_FALSE(dir.exists("EKG_SYS/RIRE_SAIDA_G"));  // the history window's own file

  clickOn("BUTTON39");
  EXPECT_FALSE(fw::isOpen(FORM8));
  open();
  EXPECT_EQ(FORM8->control("COMBO7").selectedIndex(), 1);
  EXPECT_EQ(list().itemCount(), 80);
}

TEST_F(MultiplePrint, EscStopsTheListingAndKeepsTheLinesSoFar) {
  // Esc is looked at before the first record and then every
  // kRecordsPerStopTest records: held from its second look on, the list of
  // 100 lines stops after the first stretch.
  const int every = history::kRecordsPerStopTest;
  for (int i = 1; i <= every + 10; ++i) store(person(std::to_string(i), "受診者"_sj));
  open();
  ASSERT_EQ(list().itemCount(), 50);
  int looks = 0;
  answers.keys = [&](int key) { return key == fw::kVkEscape && ++looks >= 2; };
  fw::testing::selectItem(FORM8->control("COMBO7"), 1);
  fw::waitForEvents();
  ASSERT_EQ(list().itemCount(), every);
  EXPECT_EQ(common::entryNumberOfListLine(list().itemText(1)), every + 9);
  EXPECT_EQ(answers.beeps, 1);
  EXPECT_TRUE(FORM8->visible());
}

TEST_F(MultiplePrint, WindowOpensOverAHiddenMainWindowAndGivesItBack) {
  entry::EDIT_COUNT = 1;
  answers.messageAnswers = {fw::mb::ResNo};
  fw::testing::click(fw::ctl("BUTTON38"));
  fw::waitForEvents();
  EXPECT_FALSE(fw::isOpen(FORM8));
  ASSERT_EQ(answers.messages.size(), 1u);
  EXPECT_EQ(answers.messages[0].text,
            "データが変更されています。\r\nこのまま複数印刷を行いますか？"_sj);

  answers.messageAnswers = {fw::mb::ResYes};
  open();
  EXPECT_FALSE(fw::mainWindow().visible());
  EXPECT_FALSE(fw::mainWindow().enabled());
  EXPECT_TRUE(FORM8->visible());
  EXPECT_FALSE(FORM8->closeCommandEnabled());
  fw::testing::requestClose(*FORM8);
  fw::waitForEvents();
  ASSERT_TRUE(fw::isOpen(FORM8));  // only "戻 る" leaves it

  EXPECT_EQ(list().width(), 1160);
  // 620 asked for, less what would show of a row of 22 points cut at the bottom.
  EXPECT_LE(list().height(), 620);
  EXPECT_GT(list().height(), 620 - 24);
  EXPECT_FLOAT_EQ(list().fontSize(), 22);
  EXPECT_EQ(FORM8->control("EDIT99").text(),
            "上記のリストをクリックによって選択し(複数選択可)、印刷ボタンによって心電図カルテの印刷を行って下さい。"_sj);
  fw::Control& combo = FORM8->control("COMBO7");
  ASSERT_EQ(combo.itemCount(), 9);
  EXPECT_EQ(combo.itemText(8), "2000");
  // The heading is drawn on the window: black ink where "複数印刷" stands.
  bool ink = false;
  for (int x = 510; x < 700 && !ink; ++x)
    for (int y = 15; y < 70 && !ink; ++y) ink = FORM8->picturePixel(x, y) == fw::rgb(0, 0, 0);
  EXPECT_TRUE(ink);

  fw::testing::focus(FORM8->control("EDIT99"));
  fw::waitForEvents();
  EXPECT_FALSE(FORM8->control("EDIT99").hasFocus());

  clickOn("BUTTON39");
  EXPECT_FALSE(fw::isOpen(FORM8));
  EXPECT_TRUE(fw::mainWindow().visible());
  EXPECT_TRUE(fw::mainWindow().enabled());
}

TEST_F(MultiplePrint, NothingToPrintIsRefusedAndNoClearsTheSelection) {
  open();
  ASSERT_EQ(list().itemCount(), 0);
  answers.messageAnswers = {fw::mb::ResOK};
  clickOn("BUTTON40");
  ASSERT_EQ(answers.messages.size(), 1u);
  EXPECT_EQ(answers.messages[0].title, "NOT SELECT!");
  EXPECT_EQ(answers.messages[0].text, "印刷対象者(複数選択可)が選択されていません。    "_sj);
  EXPECT_EQ(answers.messages[0].icon, fw::mb::Information);
  clickOn("BUTTON39");

  store(person("1", "甲"_sj));
  store(person("2", "乙"_sj));
  open();
  answers.messageAnswers = {fw::mb::ResOK};
  clickOn("BUTTON40");  // lines, none selected
  ASSERT_EQ(answers.messages.size(), 2u);
  EXPECT_EQ(answers.messages[1].title, "NOT SELECT!");

  select({0, 1});
  answers.messageAnswers = {fw::mb::ResNo};
  clickOn("BUTTON40");
  EXPECT_TRUE(selected().empty());
  EXPECT_TRUE(answers.printDialogs.empty());
  EXPECT_FALSE(std::filesystem::exists(pdf));

  select({1});
  clickOn("BUTTON41");  // "選択解除"
  EXPECT_TRUE(selected().empty());
}

TEST_F(MultiplePrint, CancelledDialogPrintsNothingAndKeepsTheSelection) {
  store(person("1", "甲"_sj));
  open();
  select({0});
  answers.messageAnswers = {fw::mb::ResYes};
  answers.printAnswers = {false};
  clickOn("BUTTON40");
  EXPECT_EQ(answers.printDialogs.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(pdf));
  EXPECT_TRUE(FORM8->enabled());
  EXPECT_EQ(selected(), std::vector<int>{0});
  EXPECT_EQ(answers.messages.size(), 1u);  // no notice after a cancel
}

TEST_F(MultiplePrint, EscDuringTheSecondSheetEndsTheJobWithTwoBeeps) {
  store(fullPerson("111", "山田　一郎"_sj));
  store(fullPerson("222", "鈴木　二郎"_sj));
  store(fullPerson("333", "佐藤　三郎"_sj));
  open();
  select({0, 1, 2});

  // A whole run first, counting how often Esc is looked at per sheet.
  int looks = 0;
  answers.keys = [&](int) {
    ++looks;
    return false;
  };
  answers.messageAnswers = {fw::mb::ResYes};
  answers.printAnswers = {true};
  clickOn("BUTTON40");
  ASSERT_EQ(tessivo::test::readPdfWords(pdf).size(), 3u);
  keep("multiple-print-three-sheets");
  // The check mark of every sheet is one picture in the document, not one
  // per page (the job of 2000 sheets would carry it 2000 times).
  const std::string images =
      tessivo::test::runCommand("pdfimages -list '" + pdf + "' | awk 'NR > 2 { print $11 }'");
  EXPECT_EQ(std::count(images.begin(), images.end(), '\n'), 3);
  EXPECT_EQ(images.substr(0, images.find('\n') + 1) + images.substr(0, images.find('\n') + 1) +
                images.substr(0, images.find('\n') + 1),
            images);
  ASSERT_EQ(looks % 3, 0);
  const int perSheet = looks / 3;
  EXPECT_EQ(answers.beeps, 1);

  // Held from the fifth look of the second sheet: inside its name item.
  std::filesystem::remove(pdf);
  looks = 0;
  answers.keys = [&](int key) { return key == fw::kVkEscape && ++looks >= perSheet + 5; };
  answers.beeps = 0;
  answers.messageAnswers = {fw::mb::ResYes};
  answers.printAnswers = {true};
  clickOn("BUTTON40");
  const std::vector<PdfPage> pages = tessivo::test::readPdfWords(pdf);
  ASSERT_EQ(pages.size(), 2u);
  EXPECT_TRUE(pages[0].find("333") && pages[0].find("F333"));  // whole
  EXPECT_TRUE(pages[1].find("222"));                           // begun
  EXPECT_FALSE(pages[1].find("F222"));                         // not finished
  EXPECT_EQ(answers.beeps, 2);
  EXPECT_TRUE(FORM8->enabled());
}

TEST_F(MultiplePrint, EntriesGoneFromTheFilesAreSkippedAndNamed) {
  store(person("111", "山田"_sj));
  store(person("222", "鈴木"_sj));
  store(person("333", "佐藤"_sj));
  open();
  select({0, 2});  // entries 3 and 1
  // Someone puts back an older copy of the history with a single entry.
  dir.write("EKG_DATA/EKGDATA_1", dir.read("EKG_DATA/EKGDATA_1").substr(0, 2000));
  dir.write("EKG_DATA/EKGDATA_2", dir.read("EKG_DATA/EKGDATA_2").substr(0, 2000));

  answers.messageAnswers = {fw::mb::ResYes, fw::mb::ResOK};
  answers.printAnswers = {true};
  clickOn("BUTTON40");
  const std::vector<PdfPage> pages = tessivo::test::readPdfWords(pdf);
  ASSERT_EQ(pages.size(), 1u);
  EXPECT_TRUE(pages[0].find("111"));
  ASSERT_EQ(answers.messages.size(), 2u);
  EXPECT_EQ(answers.messages[1].title, "複数印刷"_sj);
  EXPECT_EQ(answers.messages[1].icon, fw::mb::Information);
  const fw::Str named = "履歴番号： 3"_sj;
  const fw::Str& notice = answers.messages[1].text;
  ASSERT_GE(notice.size(), named.size());
  EXPECT_EQ(notice.substr(notice.size() - named.size()), named);
  EXPECT_TRUE(FORM8->enabled());
}

TEST_F(MultiplePrint, AJobThatNeverStartedIsReported) {
  store(person("111", "山田"_sj));
  open();
  select({0});
  fw::setPdfOutput(dir.path() + "/no-such-folder/charts.pdf");
  answers.messageAnswers = {fw::mb::ResYes, fw::mb::ResOK};
  answers.printAnswers = {true};
  clickOn("BUTTON40");
  ASSERT_EQ(answers.messages.size(), 2u);
  EXPECT_EQ(answers.messages[1].title, "複数印刷"_sj);
  EXPECT_EQ(answers.messages[1].text, common::text::kJobNotDelivered);
  EXPECT_EQ(answers.messages[1].buttons, fw::mb::OK);
  EXPECT_EQ(answers.messages[1].icon, fw::mb::Information);
  EXPECT_TRUE(FORM8->enabled());
}

// The sheets as drawn, with every page's calls apart.
struct RecordedSheets {
  fw::RecordingSurface surface;
  std::vector<std::vector<fw::DrawCall>> pages;
  std::size_t from = 0;
  SheetOutput output{surface, [this] { from = surface.calls.size(); },
                     [this] {
                       pages.emplace_back(surface.calls.begin() + long(from), surface.calls.end());
                     }};
  const fw::DrawCall* text(std::size_t page, const fw::Str& value) const {
    for (const fw::DrawCall& c : pages.at(page))
      if (c.type == fw::DrawCall::Text && c.text == value) return &c;
    return nullptr;
  }
  int circles(std::size_t page) const {
    return int(std::count_if(pages.at(page).begin(), pages.at(page).end(),
                             [](const fw::DrawCall& c) { return c.type == fw::DrawCall::Circle; }));
  }
};

class Sheets : public ::testing::Test {
 protected:
  void SetUp() override { std::filesystem::create_directory("EKG_DATA"); }
  SheetsOutcome print(RecordedSheets& sheets, const std::vector<long>& entries) {
    sheets.surface.setScaleMode(5);
    return printSheets(sheets.output, entries, CorrectionTable{}, PrintOptions{}, {});
  }
  TempCwd dir;
};

TEST_F(Sheets, StoredCodesTurnBackIntoRingsAndMarks) {
  common::ExamineeRecord r = person("1", "山田"_sj);
  r.EXAM_PM = 1;
  r.OUTPATIENT = 1;
  r.ECG_STRESS = 1;
  r.MASTER_QUARTER = 1;
  r.REQUEST_KIND = 10;
  store(r);
  RecordedSheets sheets;
  print(sheets, {1});
  ASSERT_EQ(sheets.pages.size(), 1u);
  std::vector<std::pair<double, double>> rings;
  for (const fw::DrawCall& c : sheets.pages[0])
    if (c.type == fw::DrawCall::Circle) rings.emplace_back(c.x, c.y);
  // P.M., female, outpatient, the request ring, post-exercise: six circles each.
  const std::vector<std::pair<double, double>> centres = {
      {3850, 3120}, {9620, 3960}, {4900, 4583}, {6120, 4583}, {1210, 6470}};
  ASSERT_EQ(rings.size(), centres.size() * 6);
  for (std::size_t i = 0; i < centres.size(); ++i) EXPECT_EQ(rings[i * 6], centres[i]) << i;
  ASSERT_TRUE(sheets.text(0, "診"_sj));
  const auto bitmaps = std::count_if(sheets.pages[0].begin(), sheets.pages[0].end(), [](auto& c) {
    return c.type == fw::DrawCall::Bitmap && c.x == 6060 && c.y == 6120;
  });
  EXPECT_EQ(bitmaps, 1);  // 1/4 only
}

TEST_F(Sheets, RequestKindOutsideTheCategoriesPrintsNoWord) {
  for (const char* kind : {"-1", "0", "17"}) {
    common::AttributeValues a = common::attributesOf(person("1", "山田"_sj), "2024/05/07");
    a[common::AttributeField::RequestKind] = kind;
    history::appendEntry(a, common::clinicalOf(person("1", "山田"_sj), "2024/05/07"));
  }
  RecordedSheets sheets;
  print(sheets, {1, 2, 3});
  ASSERT_EQ(sheets.pages.size(), 3u);
  EXPECT_EQ(sheets.circles(0), 6);  // the sex ring only: nothing at item 20
  EXPECT_EQ(sheets.circles(1), 6);
  EXPECT_EQ(sheets.circles(2), 2 * 6);  // above 16: the ring without a word
  for (std::size_t p = 0; p < 3; ++p) {
    for (const fw::DrawCall& c : sheets.pages[p])
      EXPECT_FALSE(c.type == fw::DrawCall::Text && c.y == 4490) << p;
  }
}

TEST_F(Sheets, LongNamePrintsWholeInTheSmallestType) {
  const fw::Str name = "山田山田山田山田山田山田山田山田山田山田"_sj.substr(0, 30);  // 30 bytes
  ASSERT_EQ(name.size(), 30u);
  store(person("1", name));
  RecordedSheets sheets;
  print(sheets, {1});
  const fw::DrawCall* printed = sheets.text(0, name);
  ASSERT_TRUE(printed);
  EXPECT_FLOAT_EQ(printed->size, 16);
  EXPECT_EQ(printed->x, 1100);
  EXPECT_EQ(printed->y, 3740);
}

TEST_F(Sheets, AClinicalFileWithoutRecordsLeavesItsHalfOut) {
  store(person("1", "山田"_sj));
  std::filesystem::resize_file("EKG_DATA/EKGDATA_2", 0);
  RecordedSheets sheets;
  const SheetsOutcome outcome = print(sheets, {1});
  ASSERT_EQ(sheets.pages.size(), 1u);
  EXPECT_TRUE(outcome.missing.empty());
  EXPECT_TRUE(sheets.text(0, "1"));  // item 1
  EXPECT_TRUE(sheets.text(0, "山田"_sj));
  // Nothing of items 21 (doctor), 22 (weight) and 32..34 (findings).
  for (const fw::DrawCall& c : sheets.pages[0]) {
    EXPECT_NE(c.x, 7130);
    EXPECT_NE(c.x, 1560);
    EXPECT_NE(c.x, 3180);
  }
}

}  // namespace
}  // namespace printing
