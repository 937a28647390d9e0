// "印刷位置調整" (FORM4): the operator's per-item print corrections in millimetres.
#include <string>

#include "common/window_look.h"
#include "framework/core/numbers.h"
#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/surface.h"
#include "framework/form/window.h"
#include "common/correction_file.h"
#include "framework/form/window_commands.h"
#include "printing/position_check.h"
#include "printing/position_window.h"
#include "printing/procedures.h"

namespace printing {

using namespace fw::literals;

fw::FormRef FORM4;

namespace {


fw::Str editName(int number) { return "EDIT" + std::to_string(number); }

// Draws a text first in white one pixel right of and below its place, then in
// its colour: the engraved look of the explanation.
void engraved(fw::Surface& picture, int x, int y, const fw::Str& text, uint32_t colour) {
  fw::printWithShadow(picture, x, y, text, fw::rgb(255, 255, 255), colour);
}

void drawExplanation(fw::Surface& picture) {
  const fw::Str gothic = "ＭＳ ゴシック"_sj;

  picture.setFontName(gothic);
  picture.setFontSize(30);
  picture.setFontBold(true);
  picture.setForeColor(fw::rgb(192, 192, 192));
  picture.setPosition(276, 10);
  picture.print("印刷位置調整"_sj);
  picture.setForeColor(fw::rgb(0, 0, 0));
  picture.setPosition(274, 8);
  picture.print("印刷位置調整"_sj);
  picture.setFontBold(false);

  // Etched frame: grey outline, white light along the right and bottom edges,
  // silver inner outline. Colours are numbers of the shape palette.
  constexpr int kGrey = 1, kSilver = 14, kWhite = 15;
  picture.line(385, 435, 727, 630, kGrey, 1);
  picture.line(728, 435, 728, 631, kWhite, 0);
  picture.line(385, 631, 729, 631, kWhite, 0);
  picture.line(386, 436, 726, 629, kSilver, 1);

  static const char* const kLines[] = {
      "ご使用のプリンター、周辺機器、ＰＣ及び本ソフト",
      "との相性によって、印刷結果にズレが生じる場合が",
      "あることから、上記に調整値を登録することによっ",
      "て印刷位置の補正を行うことができます。",
      "補正の単位は「ｍｍ」となります。",
      "但し、横方向で左側に印刷したい場合は、入力値に",
      "「マイナス値」を、縦方向で上側に印刷したい場合",
      "にも「マイナス値」を入力して下さい。",
  };
  picture.setFontSize(14);
  int y = 445;
  for (const char* line : kLines) {
    engraved(picture, 395, y, fw::sj(line), fw::rgb(0, 0, 0));
    y += 18;
  }
  picture.setFontSize(12);
  engraved(picture, 395, 611, "(心電図カルテ FT-70は、フクダ電子株式会社の製品です)"_sj,
           fw::rgb(128, 128, 128));
}

void setControlFonts(fw::Window& form) {
  const fw::Str gothic = "ＭＳ ゴシック"_sj;
  const fw::Str otherLabel = "(その他)："_sj;
  for (int i = 0; i < form.controlCount(); ++i) {
    fw::Control& control = form.controlAt(i);
    float points = 0;
    switch (control.kind()) {
      case fw::Kind::Button: points = 24; break;
      case fw::Kind::Edit: points = 14; break;
      case fw::Kind::Label: points = control.text() == otherLabel ? 12 : 14; break;
      default: continue;
    }
    control.setFontName(gothic);
    control.setFontSize(points);
  }
}

void FORM4_START(fw::EventArgs&) {
  fw::Window& form = *FORM4;
  fw::Surface& picture = form.surface();
  picture.setBackColor(common::kWindowBackground);
  picture.clear();
  form.setMousePointer(fw::pointer::Hourglass);
  form.setImeMode(fw::ime::Off);

  drawExplanation(picture);
  setControlFonts(form);

  for (int k = 1; k <= kChartItemCount; ++k) {
    for (Axis axis : {Axis::Vertical, Axis::Horizontal}) {
      fw::Control& box = form.control(editName(correctionEditNumber(k, axis)));
      if (fw::trim(box.text()).empty()) box.setText("0");
    }
  }

  const CorrectionTable table = common::readCorrections();
  if (table.hasRecord) {
    for (int k = 1; k <= kChartItemCount; ++k) {
      for (Axis axis : {Axis::Vertical, Axis::Horizontal}) {
        const fw::Str value = table.text(k, axis);
        const bool nonZero = fw::val(value) != 0;
        fw::Control& box = form.control(editName(correctionEditNumber(k, axis)));
        box.setText(nonZero ? value : fw::Str("0"));
        box.setFontBold(nonZero);
      }
    }
  }

  form.setMousePointer(fw::pointer::Arrow);
  form.setVisible(true);
  form.setTopMost(true);
}

void BUTTON21_ON(fw::EventArgs&) {
  fw::mainWindow().setImeMode(fw::ime::Off);
  if (!fw::isOpen(FORM4)) {
    fw::openWindow(FORM4, "FORM4", 0);
    // Beside the definition's buttons, on the window's right-click menu.
    fw::addWindowCommand(*FORM4, "位置確認印刷(方眼)..."_sj, kCheckPrintShortcut,
                         "ITIKAKUNIN_INSATU");
    fw::addWindowCommand(*FORM4, "プリンター別全体補正..."_sj, kPageOffsetShortcut,
                         "ZENTAI_HOSEI");
  }
  fw::mainWindow().setEnabled(false);
}

void BUTTON20_ON(fw::EventArgs&) {
  FORM4->setImeMode(fw::ime::Off);
  const int answer = fw::messageBox(
      FORM4.get(), "登　録"_sj,
      "印刷位置調整の入力値をファイルに登録します。"_sj + fw::CRLF + "よろしいですか？ "_sj,
      fw::mb::YesNo, fw::mb::Question);
  if (answer != fw::mb::ResYes) return;

  std::array<fw::Str, kChartItemCount + 1> vertical, horizontal;
  for (int k = 1; k <= kChartItemCount; ++k) {
    vertical[k] = FORM4->control(editName(correctionEditNumber(k, Axis::Vertical))).text();
    horizontal[k] = FORM4->control(editName(correctionEditNumber(k, Axis::Horizontal))).text();
  }
  common::writeCorrections(vertical, horizontal);
}

void BUTTON22_ON(fw::EventArgs&) {
  const int answer = fw::messageBox(
      FORM4.get(), "初期化"_sj,
      "印刷位置調整の入力値を全て消去します。"_sj + fw::CRLF + "よろしいですか？ "_sj +
          fw::CRLF + "(但し、消去後は登録ボタンによって登録しない限り、ファイルに反映"_sj +
          fw::CRLF + " されませんのでご注意下さい)"_sj,
      fw::mb::YesNo, fw::mb::Question);
  if (answer != fw::mb::ResYes) return;
  for (int k = 1; k <= kChartItemCount; ++k) {
    for (Axis axis : {Axis::Vertical, Axis::Horizontal}) {
      fw::Control& box = FORM4->control(editName(correctionEditNumber(k, axis)));
      box.setText("0");
      box.setFontBold(false);
    }
  }
}

void BUTTON19_ON(fw::EventArgs&) {
  if (fw::isOpen(FORM4)) {
    FORM4->setImeMode(fw::ime::Off);
    fw::closeWindow(FORM4);
  }
  fw::mainWindow().setEnabled(true);
}

// FORM4 has no close box; should the platform close it anyway, the main
// window must not stay disabled.
void FORM4_QUERYCLOSE(fw::EventArgs&) { fw::mainWindow().setEnabled(true); }

}  // namespace

void registerPositionWindowProcedures() {
  fw::registerProcedure("BUTTON21_ON", BUTTON21_ON);
  fw::registerProcedure("FORM4_START", FORM4_START);
  fw::registerProcedure("BUTTON20_ON", BUTTON20_ON);
  fw::registerProcedure("BUTTON22_ON", BUTTON22_ON);
  fw::registerProcedure("BUTTON19_ON", BUTTON19_ON);
  fw::registerProcedure("FORM4_QUERYCLOSE", FORM4_QUERYCLOSE);
  fw::registerCommandProcedure("ITIKAKUNIN_INSATU", ITIKAKUNIN_INSATU);
  fw::registerCommandProcedure("ZENTAI_HOSEI", ZENTAI_HOSEI);
}

}  // namespace printing
