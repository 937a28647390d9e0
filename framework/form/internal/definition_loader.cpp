#include "framework/form/internal/definition_loader.h"

#include <QFile>
#include <QString>
#include <algorithm>
#include <cstdio>

#include "framework/core/cp932.h"
#include "framework/core/error.h"
#include "framework/core/wd_format.h"
#include "framework/form/dialogs.h"
#include "framework/form/internal/form_objects.h"

namespace fw::internal {
namespace {

using namespace fw::literals;

Str hexNumber(long long n) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(n) & 0xFFFFFFFFull);
  return buf;
}

[[noreturn]] void fail(const char* stepUtf8, long long number) {
  throw DefinitionFault{sj(stepUtf8) + " " + hexNumber(number)};
}
[[noreturn]] void failNamed(const char* stepUtf8, const Str& name) {
  throw DefinitionFault{sj(stepUtf8) + " " + name};
}

// The stream ran out inside a record.
struct Truncated {};

// Little-endian reader that never reads past the end of its bytes.
class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  bool atEnd() const { return pos_ >= bytes_.size(); }
  uint8_t byte() {
    if (pos_ >= bytes_.size()) throw Truncated{};
    return bytes_[pos_++];
  }
  uint16_t u16() {
    uint16_t lo = byte();
    uint16_t hi = byte();
    return uint16_t(lo | (hi << 8));
  }
  int16_t i16() { return static_cast<int16_t>(u16()); }
  int32_t i32() {
    uint32_t b0 = byte(), b1 = byte(), b2 = byte(), b3 = byte();
    return static_cast<int32_t>(b0 | (b1 << 8) | (b2 << 16) | (b3 << 24));
  }
  Str text() {
    Str s;
    for (uint8_t b = byte(); b != 0; b = byte()) s.push_back(static_cast<char>(b));
    return s;
  }

 private:
  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
};

// Win32 carries window positions and sizes in 16 bits in its messages, so no
// real definition holds more. A damaged one may hold anything up to 2^31,
// and then x + width, or the centring of a window on the screen, overflows:
// every geometry value is held to that range when it is read.
constexpr int32_t kMinCoordinate = -32768;
constexpr int32_t kMaxCoordinate = 32767;
int32_t boundedCoordinate(int32_t v) { return std::clamp(v, kMinCoordinate, kMaxCoordinate); }
// A negative width or height is no size at all.
int32_t boundedExtent(int32_t v) { return std::clamp(v, int32_t{0}, kMaxCoordinate); }

bool isControlType(int type) { return type >= 3 && type <= 18; }

// Control types this program can build as widgets.
bool buildableType(int type) { return type >= 3 && type <= 13; }

// Every window and control has a window text (a list box just does not
// show it); only the kinds that are no windows at all have none.
bool takesCaption(int type) { return type >= 0 && type <= 13; }

class Parser {
 public:
  explicit Parser(std::span<const uint8_t> bytes) : in_(bytes) {}

  WindowDefinition run() {
    try {
      header();
      records();
    } catch (const Truncated&) {
      fail("未定義のリソーススクリプト", currentCode_);
    }
    return std::move(def_);
  }

 private:
  void header() {
    currentCode_ = 0;
    uint8_t w = in_.byte(), d = in_.byte();
    if (w != uint8_t(wd::kMagic[0]) || d != uint8_t(wd::kMagic[1]))
      fail("未定義のリソーススクリプト", w | (d << 8));
    for (int i = 0; i < 2; ++i) {
      uint16_t v = in_.u16();
      if (v != wd::kVersion) fail("未定義のリソーススクリプト", v);
    }
  }

  // The object the next record applies to; faults with the step's message
  // when there is none yet.
  ObjectDef& target(const char* stepUtf8) {
    if (inChildren_) {
      if (!def_.controls.empty() && childCreated_) return def_.controls.back();
      fail(stepUtf8, 0);
    }
    if (!windowCreated_) fail(stepUtf8, 0);
    return def_.window;
  }

  void records() {
    for (;;) {
      currentCode_ = 0;
      if (in_.atEnd()) throw Truncated{};
      currentCode_ = in_.u16();
      if (!record(currentCode_)) return;
    }
  }

  // Returns false after the outer list has been closed.
  bool record(uint16_t code) {
    switch (code) {
      case wd::BeginList:
        if (!windowCreated_ || inChildren_) fail("未定義のリソーススクリプト", code);
        inChildren_ = true;
        childCreated_ = false;
        return true;
      case wd::EndList:
        if (inChildren_) {
          inChildren_ = false;
          return true;
        }
        if (!windowCreated_) fail("__CREATE3:CreateWindowEx失敗", 0);
        return false;
      case wd::RegisterClass: {
        Str name = in_.text();
        Str icon = in_.text();
        if (inChildren_ || windowCreated_) fail("__CLASS:RegisterClass失敗", code);
        def_.window.className = name;
        def_.window.iconName = icon;
        return true;
      }
      case wd::CreateObject: {
        int32_t type = in_.i32();
        uint32_t style = static_cast<uint32_t>(in_.i32());
        uint32_t exStyle = static_cast<uint32_t>(in_.i32());
        if (!inChildren_) {
          if (type != 0 || windowCreated_) fail("__CREATE3:無効なウィンドウタイプ", type);
          windowCreated_ = true;
          def_.window.type = 0;
          def_.window.style = style;
          def_.window.exStyle = exStyle;
          return true;
        }
        if (!isControlType(type)) fail("__CREATE3:無効なウィンドウタイプ", type);
        if (!buildableType(type)) fail("__CREATE3:CreateWindowEx失敗", type);
        ObjectDef c;
        c.type = type;
        c.style = style;
        c.exStyle = exStyle;
        def_.controls.push_back(std::move(c));
        childCreated_ = true;
        return true;
      }
      case wd::NoEffect211:
      case wd::NoEffect212:
      case wd::Axis: {
        int32_t v = in_.i32();
        if (code == wd::Axis) {
          target("__AXIS3:無効なパラメータ");
          if (v != 0) fail("__AXIS3:無効なパラメータ", v);
        }
        return true;
      }
      case wd::ScaleMode: {
        int16_t v = in_.i16();
        ObjectDef& o = target("__MAPMODE:無効なマッピングモード");
        if (v < 0 || v > 6) fail("__MAPMODE:無効なマッピングモード", v);
        o.scaleMode = v;
        return true;
      }
      case wd::RedrawMode: {
        int16_t v = in_.i16();
        ObjectDef& o = target("__REDRAWMODE:無効なコントロールID");
        if (o.type != 0) fail("__REDRAWMODE:無効なコントロールID", o.type);
        o.redrawMode = v != 0 ? 1 : 0;
        return true;
      }
      case wd::Caption: {
        Str text = in_.text();
        ObjectDef& o = target("__WINDOWTITLE:無効なウィンドウタイプ");
        if (!takesCaption(o.type)) fail("__WINDOWTITLE:無効なウィンドウタイプ", o.type);
        o.caption = text;
        return true;
      }
      case wd::Name: {
        Str name = in_.text();
        ObjectDef& o = target("__CONTROLNAME:無効なコントロールID");
        if (name.size() > size_t(wd::kMaxNameBytes))
          failNamed("__CONTROLNAME:無効なコントロールID", name);
        o.name = name;
        return true;
      }
      case wd::TextColour:
      case wd::ForeColour:
      case wd::BackColourIndex: {
        int16_t v = in_.i16();
        const char* step = code == wd::TextColour   ? "__TEXTCOLOR:無効なカラーコード"
                           : code == wd::ForeColour ? "__FORECOLOR:無効なカラーコード"
                                                    : "__BACKCOLOR:無効なカラーコード";
        ObjectDef& o = target(step);
        if (v < 0 || v > 15) fail(step, v);
        (code == wd::TextColour ? o.textColourIndex
         : code == wd::ForeColour ? o.foreColourIndex
                                  : o.backColourIndex) = v;
        return true;
      }
      case wd::ControlTextRgb:
      case wd::ControlBackRgb: {
        uint32_t v = static_cast<uint32_t>(in_.i32());
        const char* step = code == wd::ControlTextRgb ? "__TEXTCOLOR:無効なカラーコード"
                                                      : "__BACKCOLOR:無効なカラーコード";
        ObjectDef& o = target(step);
        if (v > 0xFFFFFF) fail(step, v);
        (code == wd::ControlTextRgb ? o.textRgb : o.backRgb) = v;
        return true;
      }
      case wd::NoEffect62:
        for (int i = 0; i < 4; ++i) in_.i16();
        return true;
      case wd::SystemMenuCopy:
        in_.i16();
        return true;
      case wd::Disabled: {
        int16_t v = in_.i16();
        target("__CREATE3:無効なウィンドウタイプ").disabled = v != 0;
        return true;
      }
      case wd::FontSize: {
        int16_t v = in_.i16();
        ObjectDef& o = target("__FONTX:無効なコントロールID");
        if (v < 0) fail("__FONTX:無効なコントロールID", v);
        o.fontSizePoints = v;
        return true;
      }
      case wd::FontBold: {
        int16_t v = in_.i16();
        target("__FONTX:無効なコントロールID").fontBold = v != 0;
        return true;
      }
      case wd::FontFace: {
        Str face = in_.text();
        int16_t charset = in_.i16();
        int16_t pitch = in_.i16();
        ObjectDef& o = target("__FONTX:無効なコントロールID");
        if (face.size() > size_t(wd::kMaxFaceBytes)) failNamed("__FONTX:無効なフォント名", face);
        o.fontFace = face;
        o.charset = charset;
        o.pitchAndFamily = pitch & 0xFF;
        return true;
      }
      case wd::SendMessage:
        target("__CREATE3:無効なウィンドウタイプ");
        in_.i32();
        in_.i32();
        in_.i32();
        return true;
      case wd::Place: {
        int32_t placement = in_.i32();
        int32_t x = in_.i32(), y = in_.i32(), w = in_.i32(), h = in_.i32();
        ObjectDef& o = target("__WINDOWSIZE:無効なウィンドウの位置");
        if (placement < 0 || placement > 3) fail("__WINDOWSIZE:無効なウィンドウの位置", placement);
        o.placed = true;
        o.placement = placement;
        o.x = boundedCoordinate(x);
        o.y = boundedCoordinate(y);
        o.width = boundedExtent(w);
        o.height = boundedExtent(h);
        return true;
      }
      case wd::Events: {
        ObjectDef& o = target("__EVENT:無効なイベントID");
        int16_t start = in_.i16();
        if (start != 1) fail("__EVENT:無効なイベントID", start);
        for (;;) {
          int16_t v = in_.i16();
          if (v == 2) break;
          if (v < wd::kEventBase || v > wd::kEventBase + 20) fail("__EVENT:無効なイベントID", v);
          Str procedure = in_.text();
          if (procedure.size() > size_t(wd::kMaxProcedureBytes))
            fail("__EVENT:無効なイベントID", v);
          o.events.push_back({v - wd::kEventBase, procedure});
        }
        return true;
      }
      case wd::LimitText: {
        int32_t v = in_.i32();
        ObjectDef& o = target("__LIMITTEXT3:無効なコントロールID");
        if (o.type != int(Kind::Edit) && o.type != int(Kind::Combo))
          fail("__LIMITTEXT3:無効なコントロールID", o.type);
        o.limitTextBytes = v;
        return true;
      }
      case wd::ImeMode: {
        int32_t v = in_.i32();
        ObjectDef& o = target("__IMEMODE3:無効なコントロールID");
        if (o.type != 0 && o.type != int(Kind::Edit) && o.type != int(Kind::Combo))
          fail("__IMEMODE3:無効なコントロールID", o.type);
        if (v < 0 || v > 8) fail("__IMEMODE3:無効なIMEモード", v);
        o.imeMode = v;
        return true;
      }
      case wd::CheckValue: {
        int32_t v = in_.i32();
        ObjectDef& o = target("__VALUE3:無効なコントロールID");
        if (o.type != int(Kind::Check) && o.type != int(Kind::Radio))
          fail("__VALUE3:無効なコントロールID", o.type);
        o.checkValue = v != 0 ? 1 : 0;
        return true;
      }
      case wd::ListItems: {
        Str items = in_.text();
        ObjectDef& o = target("__LISTITEM3:無効なコントロールID");
        if (o.type != int(Kind::List) && o.type != int(Kind::Combo))
          fail("__LISTITEM3:無効なコントロールID", o.type);
        o.listItems = items;
        return true;
      }
      case wd::ShowState: {
        int32_t v = in_.i32();
        target("__CREATE3:無効なウィンドウタイプ").showState = v;
        return true;
      }
      default:
        fail("未定義のリソーススクリプト", code);
    }
  }

  Reader in_;
  WindowDefinition def_;
  uint16_t currentCode_ = 0;
  bool windowCreated_ = false;
  bool inChildren_ = false;
  bool childCreated_ = false;
};

}  // namespace

WindowDefinition parseDefinition(std::span<const uint8_t> bytes) {
  return Parser(bytes).run();
}

std::optional<std::vector<uint8_t>> definitionResource(const Str& name) {
  QFile file(QStringLiteral(":/wd/") + QString::fromStdString(toUtf8(upperName(name))));
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QByteArray data = file.readAll();
  return std::vector<uint8_t>(data.begin(), data.end());
}

std::shared_ptr<WindowImpl> openWindowFromBytes(std::span<const uint8_t> bytes, int showMode) {
  WindowDefinition def;
  try {
    def = parseDefinition(bytes);
  } catch (const DefinitionFault& fault) {
    try {
      messageBox(nullptr, "DazuVudive", fault.message, mb::OK, mb::Stop);
    } catch (const RuntimeError&) {
      // No owner window to show the box on (MAINFORM itself is faulty):
      // the error number below still reports the fault.
    }
    raise(err::DefinitionFaulty);
  }
  std::shared_ptr<WindowImpl> window = buildWindow(def);
  if (showMode == -1) window->showInitialState();
  // The window's _START is found by the naming rule: in the definition it is
  // raised while the name is set, before the bindings are read.
  window->raiseOwn(Event::Start);
  return window;
}

}  // namespace fw::internal
