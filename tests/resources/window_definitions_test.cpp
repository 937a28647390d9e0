// The compiled window definitions, read back from the program's resources
// with the reader of definition_reader.h and compared with the layout tables
// of the eight windows. Expected values are copied from those tables.
#include <gtest/gtest.h>
#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "framework/core/cp932.h"
#include "resources/resources.h"
#include "tests/resources/definition_reader.h"

namespace {

using wdtest::Definition;
using wdtest::Object;

const char* const kWindows[] = {"MAINFORM", "FORM2", "FORM3", "FORM4",
                                "FORM6", "FORM7", "FORM8", "FORM9", "FORM10"};

enum Type { Window = 0, Button = 3, Radio = 4, Check = 5, Edit = 7, Label = 8, List = 9, Combo = 12 };

// Win32 bits, written out here rather than taken from the format header.
constexpr uint32_t WS_VISIBLE = 0x10000000, WS_DISABLED = 0x08000000, WS_CHILD = 0x40000000,
                   WS_TABSTOP = 0x00010000, WS_CAPTION = 0x00C00000, WS_SYSMENU = 0x00080000,
                   WS_MINIMIZEBOX = 0x00020000, WS_MAXIMIZEBOX = 0x00010000,
                   WS_THICKFRAME = 0x00040000, WS_BORDER = 0x00800000, WS_VSCROLL = 0x00200000;
constexpr uint32_t ES_MULTILINE = 0x4, ES_AUTOVSCROLL = 0x40, ES_AUTOHSCROLL = 0x80,
                   ES_NOHIDESEL = 0x100, ES_READONLY = 0x800;
constexpr uint32_t LBS_NOTIFY = 0x1, LBS_MULTIPLESEL = 0x8, CBS_DROPDOWNLIST = 0x3;
constexpr uint32_t BS_TYPEMASK = 0xF, BS_AUTOCHECKBOX = 0x3, BS_AUTORADIOBUTTON = 0x9;
constexpr uint32_t WS_EX_DLGMODALFRAME = 0x1, WS_EX_CLIENTEDGE = 0x200;

std::string cp932(const std::string& utf8) { return fw::fromUtf8(utf8); }

const std::map<std::string, Definition>& definitions() {
  static const std::map<std::string, Definition> all = [] {
    resources::ensureLinked();
    std::map<std::string, Definition> m;
    for (const char* w : kWindows) m[w] = wdtest::load(w);
    return m;
  }();
  return all;
}

const Definition& def(const std::string& window) { return definitions().at(window); }

std::vector<int> eventsOf(int type) {
  switch (type) {
    case Window: return {3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 17, 18, 19, 20};
    case Button: case Radio: case Check: return {1};
    case Edit: return {2, 5, 6, 19};
    case List: case Combo: return {2, 5, 6, 8, 9, 19};
    case Label: return {8, 9, 19};
  }
  return {};
}

const char* suffix(int event) {
  static const std::map<int, const char*> names = {
      {1, "_ON"}, {2, "_CHANGE"}, {3, "_START"}, {4, "_END"}, {5, "_SETFOCUS"},
      {6, "_KILLFOCUS"}, {7, "_RESIZE"}, {8, "_CLICK"}, {9, "_DBLCLICK"}, {10, "_MOUSEDOWN"},
      {11, "_MOUSEUP"}, {12, "_MOUSEMOVE"}, {17, "_QUERYCLOSE"}, {18, "_NOTIFYICON"},
      {19, "_DROPFILES"}, {20, "_MOUSEWHEEL"}};
  return names.at(event);
}

TEST(WindowDefinitions, EveryDefinitionHasTheHeaderAndReadsToItsEnd) {
  for (const char* w : kWindows) {
    SCOPED_TRACE(w);
    const Definition& d = def(w);
    EXPECT_EQ(d.error, "");
    EXPECT_EQ(d.header, std::string("WD\x01\x00\x01\x00", 6));
    EXPECT_EQ(d.window.type, Window);
    EXPECT_EQ(d.window.name, w);
    EXPECT_EQ(d.window.className, w);
    EXPECT_EQ(d.window.iconName, "ekg");
  }
}

TEST(WindowDefinitions, ControlCountsPerKind) {
  // window -> {buttons, radios, checks, edits, labels, lists, combos}
  const std::map<std::string, std::vector<int>> expected = {
      {"MAINFORM", {15, 0, 13, 24, 32, 0, 3}}, {"FORM2", {8, 0, 0, 2, 6, 1, 3}},
      {"FORM3", {3, 0, 0, 0, 0, 0, 0}},        {"FORM4", {3, 0, 0, 68, 102, 0, 0}},
      {"FORM6", {5, 0, 0, 1, 0, 1, 0}},        {"FORM7", {1, 2, 0, 0, 0, 0, 0}},
      {"FORM8", {3, 0, 0, 1, 2, 1, 1}},        {"FORM9", {1, 2, 0, 0, 0, 0, 0}},
  };
  const int order[] = {Button, Radio, Check, Edit, Label, List, Combo};
  const std::map<std::string, size_t> totals = {{"MAINFORM", 87}, {"FORM2", 20}, {"FORM3", 3},
                                                {"FORM4", 173},   {"FORM6", 7},  {"FORM7", 3},
                                                {"FORM8", 8},     {"FORM9", 3}};
  for (const auto& [w, counts] : expected) {
    SCOPED_TRACE(w);
    const Definition& d = def(w);
    EXPECT_EQ(d.controls.size(), totals.at(w));
    for (int i = 0; i < 7; ++i) {
      int n = 0;
      for (const Object& c : d.controls) n += c.type == order[i];
      EXPECT_EQ(n, counts[i]) << "type " << order[i];
    }
  }
}

struct WindowRow {
  const char* name;
  const char* caption;
  uint32_t style, exStyle;
  int placement, x, y, width, height;
  const char* face;
  int size;
};

TEST(WindowDefinitions, WindowFramesPlacesAndFonts) {
  const uint32_t main = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  const WindowRow rows[] = {
      {"MAINFORM", "Tessivo", main, 0, 2, 0, 0, 1190, 1000, "ＭＳ ゴシック", 16},
      {"FORM2", "Tessivo", main, 0, 2, 0, 0, 1225, 950, "FixedSys", 18},
      {"FORM3", "登 録", WS_CAPTION, 0, 0, 322, 391, 656, 260, "FixedSys", 18},
      {"FORM4", "印刷位置調整", WS_CAPTION | WS_MINIMIZEBOX, 0, 2, 0, 0, 770, 785, "FixedSys", 18},
      {"FORM6", "担当医の登録", WS_CAPTION, WS_EX_DLGMODALFRAME, 2, 0, 0, 361, 621, "FixedSys", 18},
      {"FORM7", "フォント", WS_CAPTION, WS_EX_DLGMODALFRAME, 0, 362, 258, 424, 146, "FixedSys", 18},
      {"FORM8", "複数印刷", main, 0, 2, 0, 0, 1225, 950, "FixedSys", 18},
      {"FORM9", "カラー", WS_CAPTION, WS_EX_DLGMODALFRAME, 0, 392, 420, 368, 146, "FixedSys", 18},
  };
  for (const WindowRow& r : rows) {
    SCOPED_TRACE(r.name);
    const Object& w = def(r.name).window;
    EXPECT_EQ(w.caption, cp932(r.caption));
    EXPECT_EQ(w.style, r.style);
    EXPECT_EQ(w.style & (WS_THICKFRAME | WS_MAXIMIZEBOX | WS_VISIBLE), 0u);
    EXPECT_EQ(w.exStyle, r.exStyle);
    EXPECT_EQ(w.placement, r.placement);
    if (r.placement == 0) {
      EXPECT_EQ(w.x, r.x);
      EXPECT_EQ(w.y, r.y);
    }
    EXPECT_EQ(w.width, r.width);
    EXPECT_EQ(w.height, r.height);
    EXPECT_EQ(w.face, cp932(r.face));
    EXPECT_EQ(w.size, r.size);
    EXPECT_EQ(w.bold, 0);
    EXPECT_EQ(w.charset, 128);
    EXPECT_EQ(w.scaleMode, 1);
    EXPECT_EQ(w.redrawMode, 1);
    EXPECT_EQ(w.axis, 0);
    EXPECT_EQ(w.textColour, 0);
    EXPECT_EQ(w.foreColour, 0);
    EXPECT_EQ(w.backColour, 15);
    EXPECT_EQ(w.showState, 1);
  }
}

TEST(WindowDefinitions, WindowNameComesBeforeItsEventBindings) {
  // The loader queues _START when it applies the name; bindings follow it.
  for (const char* w : kWindows) {
    SCOPED_TRACE(w);
    const std::vector<int>& codes = def(w).window.codes;
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.front(), 112);
    const auto name = std::find(codes.begin(), codes.end(), 21);
    const auto events = std::find(codes.begin(), codes.end(), 80);
    ASSERT_NE(name, codes.end());
    ASSERT_NE(events, codes.end());
    EXPECT_LT(name, events);
  }
}

struct ControlRow {
  const char* window;
  const char* name;
  int type;
  const char* caption;
  int x, y, width, height;
  const char* face;
  int size;
  bool bold;
};

// Rows copied from the windows' tables; every window is represented, the
// small ones completely.
const ControlRow kSamples[] = {
    {"MAINFORM", "BUTTON1", Button, "登 録", 581, 854, 161, 91, "ＭＳ ゴシック", 20, false},
    {"MAINFORM", "BUTTON3", Button, "終 了", 980, 889, 175, 56, "ＭＳ ゴシック", 18, true},
    {"MAINFORM", "EDIT1", Edit, "", 1001, 42, 140, 32, "ＭＳ Ｐゴシック", 12, false},
    {"MAINFORM", "CHECK1", Check, "  A.M.", 413, 133, 21, 21, "ＭＳ ゴシック", 18, false},
    {"MAINFORM", "EDIT8", Edit, "", 35, 224, 406, 40, "ＭＳ Ｐゴシック", 12, false},
    {"MAINFORM", "COMBO1", Combo, "", 581, 196, 77, 182, "ＭＳ ゴシック", 17, true},
    {"MAINFORM", "CHECK3", Check, "　　　　男", 1064, 224, 21, 21, "ＭＳ ゴシック", 17, false},
    {"MAINFORM", "CHECK6", Check, "     入院", 616, 322, 21, 21, "ＭＳ ゴシック", 17, false},
    {"MAINFORM", "EDIT14", Edit, "", 931, 315, 217, 24, "ＭＳ ゴシック", 12, false},
    {"MAINFORM", "TEXT9", Label, "殿", 448, 238, 49, 28, "ＭＳ ゴシック", 21, false},
    {"MAINFORM", "TEXT12", Label, " 日生", 854, 238, 63, 28, "ＭＳ ゴシック", 15, true},
    {"MAINFORM", "TEXT20", Label, "／", 378, 427, 28, 28, "ＭＳ ゴシック", 15, true},
    {"MAINFORM", "TEXT24", Label, "ｶ月", 1113, 434, 42, 28, "ＭＳ ゴシック", 15, true},
    {"MAINFORM", "EDIT23", Edit, "", 287, 644, 861, 27, "ＭＳ Ｐゴシック", 12, false},
    {"MAINFORM", "TEXT25", Label, "安静時心電図", 56, 798, 21, 21, "ＭＳ ゴシック", 17, true},
    {"MAINFORM", "TEXT28", Label, "４. 所　見　名", 84, 609, 203, 21, "ＭＳ ゴシック", 15, true},
    {"MAINFORM", "TEXT30", Label, "(マスター)", 287, 525, 112, 21, "ＭＳ ゴシック", 14, true},
    {"MAINFORM", "CHECK12", Check, "病医院名をデフォルトで表示する", 133, 343, 252, 21, "ＭＳ ゴシック", 10, false},
    {"MAINFORM", "CHECK13", Check, "担当医をデフォルトで表示する", 203, 798, 231, 21, "ＭＳ ゴシック", 10, false},
    {"MAINFORM", "BUTTON9", Button, "クリア(新規登録)", 28, 854, 175, 91, "ＭＳ ゴシック", 12, true},
    {"MAINFORM", "COMBO3", Combo, "", 931, 343, 217, 194, "ＭＳ ゴシック", 13, false},
    {"MAINFORM", "EDIT98", Edit, "", 28, 735, 1127, 28, "ＭＳ Ｐゴシック", 12, false},
    {"MAINFORM", "TEXT140", Label, "Memo(ここは心電図カルテに印刷されません):", 35, 707, 602, 21, "ＭＳ ゴシック", 17, false},
    {"MAINFORM", "BUTTON42", Button, "カラー", 469, 917, 84, 29, "ＭＳ ゴシック", 11, true},
    {"FORM2", "LIST1", List, "", 28, 112, 1160, 532, "ＭＳ ゴシック", 18, false},
    {"FORM2", "EDIT24", Edit, "", 28, 658, 1162, 70, "ＭＳ 明朝", 15, true},
    {"FORM2", "BUTTON17", Button, "RESET", 133, 735, 91, 63, "ＭＳ ゴシック", 18, false},
    {"FORM2", "BUTTON27", Button, "カルテ番号で検索", 252, 735, 154, 63, "ＭＳ ゴシック", 11, true},
    {"FORM2", "EDIT97", Edit, "", 154, 812, 496, 77, "ＭＳ ゴシック", 12, false},
    {"FORM2", "COMBO5", Combo, "", 847, 854, 90, 562, "ＭＳ ゴシック", 17, false},
    {"FORM2", "TEXT134", Label, "印刷開始行番号：", 686, 826, 161, 28, "ＭＳ ゴシック", 14, true},
    {"FORM2", "TEXT139", Label, "行", 1162, 42, 40, 24, "ＭＳ ゴシック", 14, true},
    {"FORM3", "BUTTON12", Button, "上書き登録", 21, 147, 189, 63, "ＭＳ ゴシック", 15, true},
    {"FORM3", "BUTTON13", Button, "新規登録", 224, 147, 189, 63, "ＭＳ ゴシック", 15, true},
    {"FORM3", "BUTTON14", Button, "キャンセル", 448, 147, 182, 63, "ＭＳ ゴシック", 15, true},
    {"FORM4", "BUTTON19", Button, "戻　る", 546, 658, 189, 70, "ＭＳ ゴシック", 18, false},
    {"FORM4", "BUTTON20", Button, "登　録", 203, 658, 280, 70, "ＭＳ ゴシック", 18, false},
    {"FORM4", "BUTTON22", Button, "初期化", 35, 658, 147, 70, "ＭＳ ゴシック", 18, false},
    {"FORM4", "TEXT31", Label, "番　号：", 35, 56, 63, 14, "ＭＳ ゴシック", 11, false},
    {"FORM4", "TEXT32", Label, "タテ", 112, 56, 42, 14, "ＭＳ ゴシック", 11, false},
    {"FORM4", "TEXT33", Label, "ヨコ", 224, 56, 42, 14, "ＭＳ ゴシック", 11, false},
    {"FORM4", "EDIT25", Edit, "", 154, 49, 56, 21, "ＭＳ ゴシック", 12, false},
    {"FORM4", "EDIT26", Edit, "", 266, 49, 56, 21, "ＭＳ ゴシック", 12, false},
    {"FORM4", "TEXT40", Label, "日(実施日）：", 35, 140, 91, 14, "ＭＳ ゴシック", 11, false},
    {"FORM4", "EDIT36", Edit, "", 266, 189, 56, 21, "ＭＳ ゴシック", 11, false},
    {"FORM4", "TEXT61", Label, "年(生年月日)：", 35, 336, 105, 14, "ＭＳ ゴシック", 11, false},
    {"FORM4", "EDIT46", Edit, "", 308, 329, 56, 21, "ＭＳ ゴシック", 11, false},
    {"FORM4", "TEXT73", Label, "　男　：", 35, 448, 63, 14, "ＭＳ ゴシック", 11, false},
    {"FORM4", "TEXT74", Label, "　女　：", 35, 476, 63, 14, "ＭＳ ゴシック", 11, false},
    {"FORM4", "TEXT75", Label, "タテ", 112, 448, 42, 14, "ＭＳ ゴシック", 11, false},
    {"FORM4", "TEXT76", Label, "ヨコ", 224, 448, 42, 14, "ＭＳ ゴシック", 11, false},
    {"FORM4", "TEXT77", Label, "タテ", 112, 476, 42, 14, "ＭＳ ゴシック", 11, false},
    {"FORM4", "TEXT78", Label, "ヨコ", 224, 476, 42, 14, "ＭＳ ゴシック", 11, false},
    {"FORM4", "EDIT55", Edit, "", 154, 469, 56, 21, "ＭＳ ゴシック", 12, false},
    {"FORM4", "TEXT79", Label, "病医院名：", 35, 504, 77, 14, "ＭＳ ゴシック", 11, false},
    {"FORM4", "EDIT58", Edit, "", 280, 497, 56, 21, "ＭＳ ゴシック", 11, false},
    {"FORM4", "TEXT94", Label, "体　重：", 399, 56, 63, 14, "ＭＳ ゴシック", 11, false},
    {"FORM4", "TEXT96", Label, "ヨコ", 588, 56, 42, 14, "ＭＳ ゴシック", 11, false},
    {"FORM4", "EDIT78", Edit, "", 672, 189, 56, 21, "ＭＳ ゴシック", 11, false},
    {"FORM4", "TEXT124", Label, "ﾐﾈｿﾀｺｰﾄﾞ：", 399, 336, 77, 14, "ＭＳ ゴシック", 11, false},
    {"FORM4", "TEXT125", Label, "タテ", 490, 336, 42, 14, "ＭＳ ゴシック", 11, false},
    {"FORM4", "EDIT87", Edit, "", 532, 329, 56, 21, "ＭＳ ゴシック", 11, false},
    {"FORM4", "TEXT130", Label, "医師所見：", 399, 392, 77, 14, "ＭＳ ゴシック", 11, false},
    {"FORM4", "TEXT132", Label, "ヨコ", 602, 392, 42, 14, "ＭＳ ゴシック", 11, false},
    {"FORM4", "EDIT92", Edit, "", 644, 385, 56, 21, "ＭＳ ゴシック", 12, false},
    {"FORM6", "LIST2", List, "", 18, 114, 318, 240, "ＭＳ ゴシック", 15, false},
    {"FORM6", "EDIT96", Edit, "", 18, 42, 318, 28, "ＭＳ Ｐゴシック", 12, false},
    {"FORM6", "BUTTON29", Button, "", 18, 72, 318, 32, "ＭＳ Ｐゴシック", 12, false},
    {"FORM6", "BUTTON30", Button, "", 18, 378, 156, 30, "ＭＳ Ｐゴシック", 12, false},
    {"FORM6", "BUTTON31", Button, "", 180, 378, 156, 30, "ＭＳ Ｐゴシック", 12, false},
    {"FORM6", "BUTTON32", Button, "", 18, 540, 198, 36, "ＭＳ Ｐゴシック", 12, false},
    {"FORM6", "BUTTON33", Button, "", 234, 540, 108, 36, "ＭＳ Ｐゴシック", 12, false},
    {"FORM7", "BUTTON37", Button, "Ｏ Ｋ", 259, 49, 140, 49, "ＭＳ ゴシック", 15, true},
    {"FORM7", "RADIO1", Radio, " ＭＳ ゴシック", 28, 21, 182, 21, "ＭＳ ゴシック", 15, false},
    {"FORM7", "RADIO2", Radio, " ＭＳ 明朝", 28, 56, 182, 21, "ＭＳ ゴシック", 15, false},
    {"FORM8", "BUTTON39", Button, "戻 る", 1029, 826, 161, 70, "ＭＳ ゴシック", 18, false},
    {"FORM8", "COMBO7", Combo, "", 1078, 35, 78, 562, "ＭＳ ゴシック", 17, false},
    {"FORM8", "LIST3", List, "", 28, 112, 1160, 620, "ＭＳ ゴシック", 18, false},
    {"FORM8", "BUTTON40", Button, "印　刷", 679, 826, 259, 70, "ＭＳ ゴシック", 18, false},
    {"FORM8", "TEXT141", Label, " 行", 1155, 42, 40, 28, "ＭＳ ゴシック", 14, true},
    {"FORM8", "TEXT142", Label, "最大表示行数：", 931, 42, 144, 24, "ＭＳ ゴシック", 14, true},
    {"FORM8", "EDIT99", Edit, "", 28, 749, 1162, 56, "ＭＳ ゴシック", 18, false},
    {"FORM8", "BUTTON41", Button, "選択解除", 441, 826, 161, 70, "ＭＳ ゴシック", 18, false},
    {"FORM9", "RADIO3", Radio, " 黒", 28, 21, 98, 21, "ＭＳ ゴシック", 15, false},
    {"FORM9", "RADIO4", Radio, " 青", 28, 56, 98, 21, "ＭＳ ゴシック", 15, false},
    {"FORM9", "BUTTON43", Button, "Ｏ Ｋ", 203, 49, 140, 49, "ＭＳ ゴシック", 15, true},
};

TEST(WindowDefinitions, ControlsMatchTheLayoutTables) {
  for (const ControlRow& r : kSamples) {
    SCOPED_TRACE(std::string(r.window) + " " + r.name);
    const Object* c = def(r.window).control(r.name);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->type, r.type);
    EXPECT_EQ(c->caption, cp932(r.caption));
    EXPECT_EQ(c->placement, 0);
    EXPECT_EQ(c->x, r.x);
    EXPECT_EQ(c->y, r.y);
    EXPECT_EQ(c->width, r.width);
    EXPECT_EQ(c->height, r.height);
    EXPECT_EQ(c->face, cp932(r.face));
    EXPECT_EQ(c->size, r.size);
    EXPECT_EQ(c->bold, r.bold ? 1 : 0);
  }
}

TEST(WindowDefinitions, TextsAreStoredAsCp932Bytes) {
  // Byte values written out by hand, independent of any converter: half-width
  // katakana are one byte, full-width blanks 81 40, blanks stay blanks.
  EXPECT_EQ(def("MAINFORM").control("BUTTON1")->caption, "\x93\x6f\x20\x98\x5e");  // 登 録
  EXPECT_EQ(def("MAINFORM").control("TEXT24")->caption, "\xb6\x8c\x8e");            // ｶ月
  EXPECT_EQ(def("MAINFORM").control("CHECK3")->caption,
            "\x81\x40\x81\x40\x81\x40\x81\x40\x92\x6a");  // 　　　　男
  EXPECT_EQ(def("MAINFORM").control("TEXT20")->caption, "\x81\x5e");  // ／
  EXPECT_EQ(def("FORM4").control("TEXT124")->caption,
            "\xd0\xc8\xbf\xc0\xba\xb0\xc4\xde\x81\x46");  // ﾐﾈｿﾀｺｰﾄﾞ：
  EXPECT_EQ(def("FORM4").control("TEXT40")->caption,
            "\x93\xfa\x28\x8e\xc0\x8e\x7b\x93\xfa\x81\x6a\x81\x46");  // 日(実施日）：
  EXPECT_EQ(def("FORM4").control("TEXT32")->caption, "\x83\x5e\x83\x65");  // タテ
  EXPECT_EQ(def("FORM7").control("BUTTON37")->caption, "\x82\x6e\x20\x82\x6a");  // Ｏ Ｋ
  EXPECT_EQ(def("MAINFORM").window.face, "\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e");
  EXPECT_EQ(def("FORM2").control("EDIT24")->face, "\x82\x6c\x82\x72\x20\x96\xbe\x92\xa9");
}

TEST(WindowDefinitions, HiddenDisabledReadOnlyAndSelectionBits) {
  const Definition& main = def("MAINFORM");
  for (const char* name : {"TEXT25", "TEXT26", "CHECK13"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(main.control(name)->style & WS_VISIBLE, 0u);
    EXPECT_NE(main.control(name)->style & WS_DISABLED, 0u);
  }
  for (const char* name : {"TEXT27", "CHECK12", "EDIT1", "BUTTON1"}) {
    SCOPED_TRACE(name);
    EXPECT_NE(main.control(name)->style & WS_VISIBLE, 0u);
    EXPECT_EQ(main.control(name)->style & WS_DISABLED, 0u);
  }
  // The message boxes of FORM2 and FORM8 are read-only and wrap their lines.
  for (auto [w, name, border] : {std::tuple{"FORM2", "EDIT24", true},
                                 std::tuple{"FORM2", "EDIT97", true},
                                 std::tuple{"FORM8", "EDIT99", false}}) {
    SCOPED_TRACE(name);
    const uint32_t s = def(w).control(name)->style;
    EXPECT_NE(s & ES_READONLY, 0u);
    EXPECT_NE(s & ES_MULTILINE, 0u);
    EXPECT_EQ(s & ES_AUTOHSCROLL, 0u);
    EXPECT_EQ((s & WS_BORDER) != 0, border);
  }
  EXPECT_EQ(main.control("EDIT1")->style & ES_READONLY, 0u);
  EXPECT_NE(def("FORM6").control("EDIT96")->style & WS_BORDER, 0u);
  EXPECT_NE(def("FORM6").control("LIST2")->style & WS_BORDER, 0u);
  EXPECT_EQ(def("FORM2").control("LIST1")->style & WS_BORDER, 0u);
  // Only LIST3 toggles items.
  EXPECT_NE(def("FORM8").control("LIST3")->style & LBS_MULTIPLESEL, 0u);
  EXPECT_EQ(def("FORM2").control("LIST1")->style & LBS_MULTIPLESEL, 0u);
  EXPECT_EQ(def("FORM6").control("LIST2")->style & LBS_MULTIPLESEL, 0u);
}

TEST(WindowDefinitions, PositionTableEditBoxesAreSingleLineExceptEdit78) {
  const Definition& d = def("FORM4");
  for (const Object& c : d.controls) {
    if (c.type != Edit) continue;
    SCOPED_TRACE(c.name);
    const bool multi = c.name == "EDIT78";
    EXPECT_EQ((c.style & ES_MULTILINE) != 0, multi);
    EXPECT_NE(c.style & ES_AUTOHSCROLL, 0u);
    const int mode = c.name == "EDIT58" ? 6 : (multi ? 0 : 7);
    ASSERT_TRUE(c.imeMode.has_value());
    EXPECT_EQ(*c.imeMode, mode);
    EXPECT_EQ(c.width, 56);
    EXPECT_EQ(c.height, 21);
  }
  // The entry window's boxes are multi-line, scroll both ways and leave the
  // input method alone.
  for (const Object& c : def("MAINFORM").controls) {
    if (c.type != Edit) continue;
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.style & (ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL),
              ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL);
    EXPECT_FALSE(c.imeMode.has_value() && *c.imeMode != 0);
  }
}

TEST(WindowDefinitions, PositionTableEditBoxSitsRightOfItsSmallLabel) {
  // Each edit box starts 42 pixels right of its "タテ"/"ヨコ" label and 7 higher.
  const Definition& d = def("FORM4");
  std::set<std::string> usedLabels;
  for (const Object& e : d.controls) {
    if (e.type != Edit) continue;
    SCOPED_TRACE(e.name);
    const Object* label = nullptr;
    for (const Object& l : d.controls)
      if (l.type == Label && l.x == e.x - 42 && l.y == e.y + 7) label = &l;
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->caption == cp932("タテ") || label->caption == cp932("ヨコ"));
    EXPECT_EQ(label->width, 42);
    EXPECT_EQ(label->height, 14);
    EXPECT_TRUE(usedLabels.insert(label->name).second);
  }
  EXPECT_EQ(usedLabels.size(), 68u);
}

TEST(WindowDefinitions, PositionTableItemLabelWidths) {
  const std::map<std::string, int> wide = {
      {"TEXT34", 91},  {"TEXT37", 91},  {"TEXT40", 91},  {"TEXT49", 91},  {"TEXT52", 91},
      {"TEXT55", 91},  {"TEXT61", 105}, {"TEXT64", 105}, {"TEXT67", 105}, {"TEXT106", 105},
      {"TEXT109", 105}, {"TEXT79", 77}, {"TEXT124", 77}, {"TEXT130", 77}};
  int items = 0;
  for (const Object& c : def("FORM4").controls) {
    if (c.type != Label || c.caption == cp932("タテ") || c.caption == cp932("ヨコ")) continue;
    SCOPED_TRACE(c.name);
    ++items;
    const auto it = wide.find(c.name);
    EXPECT_EQ(c.width, it == wide.end() ? 63 : it->second);
    EXPECT_EQ(c.height, 14);
    EXPECT_TRUE(c.x == 35 || c.x == 399);
  }
  EXPECT_EQ(items, 34);
}

TEST(WindowDefinitions, ControlDefaultsPerKind) {
  const int32_t pale = 241 | (246 << 8) | (250 << 16);
  for (const char* w : kWindows) {
    for (const Object& c : def(w).controls) {
      SCOPED_TRACE(std::string(w) + " " + c.name);
      EXPECT_NE(c.style & WS_CHILD, 0u);
      EXPECT_NE(c.style & WS_TABSTOP, 0u);
      EXPECT_EQ(c.charset, 1);
      EXPECT_EQ(c.textRgb, 0);
      const bool paleBack = c.type == Label || c.type == Check || c.type == Radio;
      EXPECT_EQ(c.backRgb, paleBack ? pale : 0xFFFFFF);
      const bool hasText = c.type == Edit || c.type == Combo;
      EXPECT_EQ(c.textLimit, hasText ? std::optional<int32_t>(32767) : std::nullopt);
      const bool checkable = c.type == Check || c.type == Radio;
      EXPECT_EQ(c.checkValue, checkable ? std::optional<int32_t>(0) : std::nullopt);
      const bool sunken = c.type == Edit || c.type == List;
      EXPECT_EQ(c.exStyle, sunken ? WS_EX_CLIENTEDGE : 0u);
      switch (c.type) {
        case Check: EXPECT_EQ(c.style & BS_TYPEMASK, BS_AUTOCHECKBOX); break;
        case Radio: EXPECT_EQ(c.style & BS_TYPEMASK, BS_AUTORADIOBUTTON); break;
        case Button: EXPECT_EQ(c.style & BS_TYPEMASK, 0u); break;
        case Edit: EXPECT_NE(c.style & ES_NOHIDESEL, 0u); break;
        case List:
          EXPECT_EQ(c.style & (LBS_NOTIFY | WS_VSCROLL), LBS_NOTIFY | WS_VSCROLL);
          break;
        case Combo:
          EXPECT_EQ(c.style & 0xF, CBS_DROPDOWNLIST);
          EXPECT_NE(c.style & WS_VSCROLL, 0u);
          break;
        case Label: EXPECT_EQ(c.style & 0xFFFF, 0u); break;  // left-aligned, no notify
        default: ADD_FAILURE() << "unexpected type " << c.type;
      }
    }
  }
}

TEST(WindowDefinitions, EveryObjectBindsEachEventOfItsKind) {
  for (const char* w : kWindows) {
    const Definition& d = def(w);
    std::vector<const Object*> objects{&d.window};
    for (const Object& c : d.controls) objects.push_back(&c);
    std::set<std::string> names;
    for (const Object* o : objects) {
      SCOPED_TRACE(std::string(w) + " " + o->name);
      EXPECT_TRUE(names.insert(o->name).second) << "duplicate name";
      EXPECT_LE(o->name.size(), 21u);
      std::vector<std::pair<int, std::string>> expected;
      for (int e : eventsOf(o->type)) expected.emplace_back(e, o->name + suffix(e));
      EXPECT_EQ(o->events, expected);
      for (const auto& [number, procedure] : o->events) EXPECT_LE(procedure.size(), 28u);
    }
  }
  const auto& button = def("MAINFORM").control("BUTTON10")->events;
  ASSERT_EQ(button.size(), 1u);
  EXPECT_EQ(button[0].second, "BUTTON10_ON");
  EXPECT_EQ(def("MAINFORM").window.events[10].second, "MAINFORM_QUERYCLOSE");
}

}  // namespace
