// The drawn picture of the history window, as data.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "framework/core/str.h"
#include "framework/form/recording_surface.h"
#include "history/history_window.h"

namespace {

using fw::DrawCall;
using fw::Str;
using namespace fw::literals;

constexpr uint32_t kBackground = fw::rgb(241, 245, 250);
constexpr uint32_t kBlack = fw::rgb(0, 0, 0);
constexpr uint32_t kSilver = fw::rgb(192, 192, 192);
constexpr uint32_t kWhite = fw::rgb(255, 255, 255);

struct Text {
  Str text;
  double x, y;
  float size;
  bool bold;
  uint32_t colour;
};

void expectTexts(const fw::RecordingSurface& s, const std::vector<Text>& expected) {
  const std::vector<DrawCall> texts = s.texts();
  ASSERT_EQ(texts.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(texts[i].text, expected[i].text);
    EXPECT_EQ(texts[i].x, expected[i].x);
    EXPECT_EQ(texts[i].y, expected[i].y);
    EXPECT_EQ(texts[i].face, "ＭＳ ゴシック"_sj);
    EXPECT_EQ(texts[i].size, expected[i].size);
    EXPECT_EQ(texts[i].bold, expected[i].bold);
    EXPECT_EQ(texts[i].colour, expected[i].colour);
  }
}

const Str kNumberHeader = "No.      番号 　　　   　　 氏　名　   　 　 "_sj;
const Str kNumberShadow = "No.      番号 　　　   　　 氏　名　   　　  "_sj;
const Str kChartHeader = "No.   カルテ番号　　   　　 氏　名　   　 　 "_sj;
const Str kRightHeader = "性別　　  生年月日　  　 年齢　　  　実施日"_sj;

TEST(HistoryPicture, TitleHeadersAndPrintBoxOverTheirShadows) {
  fw::RecordingSurface s;
  history::paintHistoryPicture(s);
  ASSERT_FALSE(s.calls.empty());
  EXPECT_EQ(s.calls.front().type, DrawCall::Clear);
  EXPECT_EQ(s.backColor(), kBackground);
  expectTexts(s, {
                     {"  履 歴"_sj, 502, 17, 42, false, kSilver},
                     {"  履 歴"_sj, 500, 15, 42, false, kBlack},
                     {kNumberShadow, 46, 84, 24, false, kWhite},
                     {kNumberHeader, 45, 83, 24, false, kBlack},
                     {kRightHeader, 569, 84, 24, false, kWhite},
                     {kRightHeader, 568, 83, 24, false, kBlack},
                     {"履歴印刷"_sj, 52, 843, 20, true, kSilver},
                     {"履歴印刷"_sj, 51, 842, 20, true, kBlack},
                 });
  EXPECT_FALSE(s.fontBold());
}

TEST(HistoryPicture, FramesAreBlackWithTwoWhiteLinesRightAndBelow) {
  fw::RecordingSurface s;
  history::paintHistoryPicture(s);
  std::vector<DrawCall> lines;
  for (const DrawCall& c : s.calls) {
    if (c.type == DrawCall::Line) lines.push_back(c);
  }
  for (auto [x1, y1, x2, y2] : {std::array{30, 812, 150, 889}, {665, 812, 1020, 889}}) {
    SCOPED_TRACE(x1);
    int outlines = 0, right = 0, bottom = 0;
    for (const DrawCall& l : lines) {
      if (l.kind == 1 && l.x == x1 && l.y == y1 && l.x2 == x2 && l.y2 == y2 &&
          l.colour == kBlack) {
        ++outlines;
      }
      if (l.kind == 0 && l.colour == kWhite && l.x == l.x2 && (l.x == x2 + 1 || l.x == x2 + 2) &&
          l.y <= y1 + 2 && l.y2 >= y2 + 1) {
        ++right;
      }
      if (l.kind == 0 && l.colour == kWhite && l.y == l.y2 && (l.y == y2 + 1 || l.y == y2 + 2) &&
          l.x <= x1 + 2 && l.x2 >= x2 + 1) {
        ++bottom;
      }
    }
    EXPECT_EQ(outlines, 1);
    EXPECT_EQ(right, 2);
    EXPECT_EQ(bottom, 2);
  }
}

TEST(HistoryPicture, ListingWipesTheHeaderBandAndDrawsItsHeader) {
  fw::RecordingSurface s;
  history::refillListHeader(s, history::Column::ChartNumber);
  ASSERT_FALSE(s.calls.empty());
  const DrawCall& band = s.calls.front();
  EXPECT_EQ(band.type, DrawCall::Line);
  EXPECT_EQ(band.kind, 2);
  EXPECT_EQ((std::array{band.x, band.y, band.x2, band.y2}), (std::array{20.0, 70.0, 1200.0, 120.0}));
  EXPECT_EQ(band.fill, kBackground);
  EXPECT_EQ(band.colour, kBackground);
  expectTexts(s, {
                     {kChartHeader, 46, 84, 24, false, kWhite},
                     {kChartHeader, 45, 83, 24, false, kBlack},
                     {kRightHeader, 569, 84, 24, false, kWhite},
                     {kRightHeader, 568, 83, 24, false, kBlack},
                 });
}

}  // namespace
