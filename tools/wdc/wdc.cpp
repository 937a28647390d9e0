// wdc: compiles one window-definition source (resources/*.wd.txt, UTF-8) into
// the binary window definition that the form layer loads from the resources.
//
//   wdc SOURCE OUTPUT
//
// The source format is described in resources/README.md. The values every
// window or every control of a kind shares (colours, text limit, events, the
// style bits of a kind) are applied here, so the sources hold only what
// differs. On any error the tool prints "SOURCE:LINE: message", writes nothing
// and exits with status 1.
//
// Records written, in this order (the loader applies each record to the
// object created last, so every object is created before its records):
//
//   window:  9 class, 112 create, 212, 211, 37 scale, 39 redraw, 124 axis,
//            11 caption, 21 name, 30/31/32 colours, 62, 61, 76 face,
//            70 size, 71 bold, 300 message, 159 placement, 80 events,
//            201 show state, 1 begin controls
//   control: 112 create, 21 name, 11 caption, 76 face, 70 size, 71 bold,
//            34 text colour, 35 background, [156 text limit], [186 input
//            method], [173 check value], 159 placement, 80 events
//   end:     2 (controls), 2 (definition)
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "framework/core/cp932.h"
#include "framework/core/error.h"
#include "framework/core/files.h"
#include "framework/core/wd_format.h"

namespace {

namespace wd = fw::wd;
namespace st = fw::wd::style;

// Control type codes of CreateObject records.
enum class Kind : int32_t {
  Window = 0, Button = 3, Radio = 4, Check = 5, Edit = 7, Label = 8, List = 9, Combo = 12,
};

// Event numbers; Events records store them as kEventBase + number.
enum Event : int16_t {
  On = 1, Change = 2, Start = 3, End = 4, SetFocus = 5, KillFocus = 6, Resize = 7,
  Click = 8, DblClick = 9, MouseDown = 10, MouseUp = 11, MouseMove = 12,
  QueryClose = 17, NotifyIcon = 18, DropFiles = 19, MouseWheel = 20,
};

const char* eventSuffix(Event e) {
  switch (e) {
    case On: return "_ON";
    case Change: return "_CHANGE";
    case Start: return "_START";
    case End: return "_END";
    case SetFocus: return "_SETFOCUS";
    case KillFocus: return "_KILLFOCUS";
    case Resize: return "_RESIZE";
    case Click: return "_CLICK";
    case DblClick: return "_DBLCLICK";
    case MouseDown: return "_MOUSEDOWN";
    case MouseUp: return "_MOUSEUP";
    case MouseMove: return "_MOUSEMOVE";
    case QueryClose: return "_QUERYCLOSE";
    case NotifyIcon: return "_NOTIFYICON";
    case DropFiles: return "_DROPFILES";
    case MouseWheel: return "_MOUSEWHEEL";
  }
  return "";
}

// Every object lists a procedure for each event its kind can raise, whether
// or not the program has one.
std::vector<Event> eventsOf(Kind kind) {
  switch (kind) {
    case Kind::Window:
      return {Start, End, SetFocus, KillFocus, Resize, Click, DblClick, MouseDown, MouseUp,
              MouseMove, QueryClose, NotifyIcon, DropFiles, MouseWheel};
    case Kind::Button:
    case Kind::Radio:
    case Kind::Check:
      return {On};
    case Kind::Edit:
      return {Change, SetFocus, KillFocus, DropFiles};
    case Kind::List:
    case Kind::Combo:
      return {Change, SetFocus, KillFocus, Click, DblClick, DropFiles};
    case Kind::Label:
      return {Click, DblClick, DropFiles};
  }
  return {};
}

// Values shared by all definitions.
constexpr int16_t kWindowCharset = 128;  // Shift_JIS
constexpr int16_t kControlCharset = 1;   // default
constexpr int16_t kScalePixels = 1;
constexpr int16_t kRedrawKeepCopy = 1;
constexpr int32_t kAxisYDown = 0;
constexpr int16_t kPaletteBlack = 0;
constexpr int16_t kPaletteWhite = 15;
constexpr int32_t kCreateMessage = 50;
constexpr int32_t kShowNormal = 1;
constexpr int32_t kPlaceAt = 0;
constexpr int32_t kPlaceCentredOnScreen = 2;
constexpr int32_t kTextLimitBytes = 32767;
constexpr int32_t kRgbBlack = 0x000000;
constexpr int32_t kRgbWhite = 0xFFFFFF;
constexpr int32_t kRgbPaleBlue = 241 | (246 << 8) | (250 << 16);  // labels, check and radio boxes
constexpr int kMaxImeMode = 8;
const char* const kIconName = "ekg";

// Pitch-and-family byte of the faces the windows use, so that the loader can
// choose a fixed or proportional substitute when a face is not installed.
int16_t pitchAndFamily(const std::string& faceUtf8) {
  constexpr int16_t kFixed = 1, kVariable = 2, kRoman = 0x10, kModern = 0x30;
  if (faceUtf8 == "ＭＳ ゴシック" || faceUtf8 == "FixedSys") return kFixed | kModern;
  if (faceUtf8 == "ＭＳ Ｐゴシック") return kVariable | kModern;
  if (faceUtf8 == "ＭＳ 明朝") return kFixed | kRoman;
  return 0;  // default pitch, any family
}

struct Error : std::runtime_error {
  int line;
  Error(int l, const std::string& what) : std::runtime_error(what), line(l) {}
};

std::string toCp932(const std::string& utf8, int line) {
  if (!fw::charactersWithoutCp932(utf8).empty())
    throw Error(line, "text has no CP932 form: \"" + utf8 + "\"");
  return fw::fromUtf8(utf8);
}

struct Control {
  int line = 0;
  Kind kind = Kind::Label;
  std::string name, caption, face;  // CP932
  std::string faceUtf8;
  int32_t x = 0, y = 0, width = 0, height = 0;
  int16_t size = 0;
  bool bold = false, hidden = false, disabled = false, readOnly = false, border = false,
       wrap = false, singleLine = false, multiSelect = false;
  std::optional<int32_t> imeMode;
};

struct Definition {
  std::string name, caption, face, faceUtf8;  // CP932 except faceUtf8
  int16_t size = 0;
  bool bold = false;
  uint32_t style = 0, exStyle = 0;
  int32_t placement = -1, x = 0, y = 0, width = 0, height = 0;
  int expectedControls = -1;
  std::vector<Control> controls;
};

// ---- Parsing ---------------------------------------------------------------

// Splits a line into words; a word in double quotes keeps its blanks (the
// quotes are dropped). Captions never contain a double quote.
std::vector<std::string> words(const std::string& text, int line) {
  std::vector<std::string> out;
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ' || text[i] == '\t' || text[i] == '\r') {
      ++i;
    } else if (text[i] == '"') {
      const size_t end = text.find('"', i + 1);
      if (end == std::string::npos) throw Error(line, "unterminated quoted text");
      out.push_back(text.substr(i + 1, end - i - 1));
      i = end + 1;
      if (i < text.size() && text[i] != ' ' && text[i] != '\t' && text[i] != '\r')
        throw Error(line, "blank expected after quoted text");
    } else {
      const size_t end = text.find_first_of(" \t\r", i);
      out.push_back(text.substr(i, end == std::string::npos ? std::string::npos : end - i));
      i = end == std::string::npos ? text.size() : end;
    }
  }
  return out;
}

int32_t number(const std::string& word, int line, int32_t low, int32_t high) {
  size_t used = 0;
  long v = 0;
  try {
    v = std::stol(word, &used, 10);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != word.size()) throw Error(line, "number expected: " + word);
  if (v < low || v > high)
    throw Error(line, word + " is outside " + std::to_string(low) + ".." + std::to_string(high));
  return static_cast<int32_t>(v);
}

std::string objectName(const std::string& utf8, int line) {
  if (utf8.empty()) throw Error(line, "empty name");
  for (unsigned char c : utf8)
    if (!(std::isupper(c) || std::isdigit(c) || c == '_'))
      throw Error(line, "names are upper-case letters, digits and '_': " + utf8);
  if (utf8.size() > static_cast<size_t>(wd::kMaxNameBytes))
    throw Error(line, "name longer than " + std::to_string(wd::kMaxNameBytes) + " bytes: " + utf8);
  return utf8;
}

std::string faceName(const std::string& utf8, int line) {
  std::string face = toCp932(utf8, line);
  if (face.empty() || face.size() > static_cast<size_t>(wd::kMaxFaceBytes))
    throw Error(line, "face name must be 1.." + std::to_string(wd::kMaxFaceBytes) + " bytes");
  return face;
}

std::optional<Kind> controlKind(const std::string& word) {
  if (word == "button") return Kind::Button;
  if (word == "radio") return Kind::Radio;
  if (word == "check") return Kind::Check;
  if (word == "edit") return Kind::Edit;
  if (word == "label") return Kind::Label;
  if (word == "list") return Kind::List;
  if (word == "combo") return Kind::Combo;
  return std::nullopt;
}

void applyOption(Control& c, const std::string& opt, int line) {
  const bool edit = c.kind == Kind::Edit, list = c.kind == Kind::List;
  auto need = [&](bool ok) {
    if (!ok) throw Error(line, "option " + opt + " does not apply to " + c.name);
  };
  if (opt == "bold") c.bold = true;
  else if (opt == "hidden") c.hidden = true;
  else if (opt == "disabled") c.disabled = true;
  else if (opt == "readonly") need(edit), c.readOnly = true;
  else if (opt == "wrap") need(edit), c.wrap = true;
  else if (opt == "single") need(edit), c.singleLine = true;
  else if (opt == "border") need(edit || list), c.border = true;
  else if (opt == "multiselect") need(list), c.multiSelect = true;
  else if (opt.rfind("ime=", 0) == 0) need(edit), c.imeMode = number(opt.substr(4), line, 0, kMaxImeMode);
  else throw Error(line, "unknown option: " + opt);
  if (c.wrap && c.singleLine) throw Error(line, "a single-line box cannot wrap lines");
}

Definition parse(std::istream& in) {
  Definition d;
  std::set<std::string> names;
  std::string text;
  int line = 0;
  while (std::getline(in, text)) {
    ++line;
    std::vector<std::string> w = words(text, line);
    if (w.empty() || w[0][0] == '#') continue;
    const std::string& key = w[0];
    auto args = [&](size_t lo, size_t hi) {
      if (w.size() - 1 < lo || w.size() - 1 > hi) throw Error(line, "wrong number of values for " + key);
    };
    if (d.name.empty() && key != "window") throw Error(line, "the source must start with 'window NAME'");

    if (key == "window") {
      args(1, 1);
      if (!d.name.empty()) throw Error(line, "one window per source");
      d.name = objectName(w[1], line);
      names.insert(d.name);
    } else if (key == "caption") {
      args(1, 1);
      d.caption = toCp932(w[1], line);
    } else if (key == "frame") {
      args(1, 4);
      for (size_t i = 1; i < w.size(); ++i) {
        if (w[i] == "caption") d.style |= st::Caption;
        else if (w[i] == "sysmenu") d.style |= st::SysMenu;
        else if (w[i] == "minimizebox") d.style |= st::MinimizeBox;
        else if (w[i] == "modal") d.exStyle |= st::ExDlgModalFrame;
        else throw Error(line, "unknown frame part: " + w[i]);
      }
    } else if (key == "place") {
      args(3, 4);
      if (w[1] == "centre") {
        if (w.size() != 4) throw Error(line, "place centre WIDTH HEIGHT");
        d.placement = kPlaceCentredOnScreen;
        d.width = number(w[2], line, 1, 32767);
        d.height = number(w[3], line, 1, 32767);
      } else {
        if (w.size() != 5) throw Error(line, "place X Y WIDTH HEIGHT");
        d.placement = kPlaceAt;
        d.x = number(w[1], line, -32768, 32767);
        d.y = number(w[2], line, -32768, 32767);
        d.width = number(w[3], line, 1, 32767);
        d.height = number(w[4], line, 1, 32767);
      }
    } else if (key == "font") {
      args(2, 3);
      d.faceUtf8 = w[1];
      d.face = faceName(w[1], line);
      d.size = static_cast<int16_t>(number(w[2], line, 1, 32767));
      if (w.size() == 4) {
        if (w[3] != "bold") throw Error(line, "unknown font option: " + w[3]);
        d.bold = true;
      }
    } else if (key == "controls") {
      args(1, 1);
      d.expectedControls = number(w[1], line, 0, 32767);
    } else if (auto kind = controlKind(key)) {
      if (w.size() < 9) throw Error(line, "KIND NAME \"CAPTION\" X Y W H \"FACE\" SIZE [OPTIONS]");
      Control c;
      c.line = line;
      c.kind = *kind;
      c.name = objectName(w[1], line);
      if (!names.insert(c.name).second) throw Error(line, "name used twice: " + c.name);
      c.caption = toCp932(w[2], line);
      c.x = number(w[3], line, -32768, 32767);
      c.y = number(w[4], line, -32768, 32767);
      c.width = number(w[5], line, 0, 32767);
      c.height = number(w[6], line, 0, 32767);
      c.faceUtf8 = w[7];
      c.face = faceName(w[7], line);
      c.size = static_cast<int16_t>(number(w[8], line, 1, 32767));
      for (size_t i = 9; i < w.size(); ++i) applyOption(c, w[i], line);
      d.controls.push_back(std::move(c));
    } else {
      throw Error(line, "unknown line: " + key);
    }
  }
  if (d.name.empty()) throw Error(line, "no window in the source");
  if (d.placement < 0) throw Error(line, "the window has no 'place' line");
  if (d.face.empty()) throw Error(line, "the window has no 'font' line");
  if (!(d.style & st::Caption)) throw Error(line, "every window has a caption frame");
  if (d.expectedControls >= 0 && d.expectedControls != static_cast<int>(d.controls.size()))
    throw Error(line, "'controls " + std::to_string(d.expectedControls) + "' but " +
                          std::to_string(d.controls.size()) + " control lines");
  return d;
}

// ---- Writing ---------------------------------------------------------------

// Little-endian by definition: every integer is written byte by byte.
class Writer {
 public:
  void u16(uint16_t v) {
    bytes_.push_back(static_cast<char>(v & 0xFF));
    bytes_.push_back(static_cast<char>((v >> 8) & 0xFF));
  }
  void i16(int16_t v) { u16(static_cast<uint16_t>(v)); }
  void i32(int32_t v) {
    const uint32_t u = static_cast<uint32_t>(v);
    for (int shift = 0; shift < 32; shift += 8) bytes_.push_back(static_cast<char>((u >> shift) & 0xFF));
  }
  void text(const std::string& cp932) {
    bytes_ += cp932;
    bytes_.push_back('\0');
  }
  void op(wd::Op code) { u16(code); }
  void raw(const char* p, size_t n) { bytes_.append(p, n); }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

void writeFont(Writer& out, const std::string& face, const std::string& faceUtf8, int16_t charset,
               int16_t size, bool bold) {
  out.op(wd::FontFace);
  out.text(face);
  out.i16(charset);
  out.i16(pitchAndFamily(faceUtf8));
  out.op(wd::FontSize);
  out.i16(size);
  out.op(wd::FontBold);
  out.i16(bold ? 1 : 0);
}

void writeEvents(Writer& out, Kind kind, const std::string& objectName, int line) {
  out.op(wd::Events);
  out.i16(1);
  for (Event e : eventsOf(kind)) {
    const std::string procedure = objectName + eventSuffix(e);
    if (procedure.size() > static_cast<size_t>(wd::kMaxProcedureBytes))
      throw Error(line, "procedure name longer than " + std::to_string(wd::kMaxProcedureBytes) +
                            " bytes: " + procedure);
    out.i16(static_cast<int16_t>(wd::kEventBase + e));
    out.text(procedure);
  }
  out.i16(2);
}

void writePlace(Writer& out, int32_t placement, int32_t x, int32_t y, int32_t w, int32_t h) {
  out.op(wd::Place);
  for (int32_t v : {placement, x, y, w, h}) out.i32(v);
}

uint32_t controlStyle(const Control& c) {
  uint32_t s = st::Child | st::TabStop;
  if (!c.hidden) s |= st::Visible;
  if (c.disabled) s |= st::Disabled;
  switch (c.kind) {
    case Kind::Check: s |= st::BsAutoCheckBox; break;
    case Kind::Radio: s |= st::BsAutoRadioButton; break;
    case Kind::Edit:
      s |= st::EsNoHideSel;
      if (c.singleLine) s |= st::EsAutoHScroll;
      else s |= st::EsMultiline | st::EsAutoVScroll | (c.wrap ? 0 : st::EsAutoHScroll);
      if (c.readOnly) s |= st::EsReadOnly;
      if (c.border) s |= st::Border;
      break;
    case Kind::List:
      s |= st::LbsNotify | st::VScroll;
      if (c.multiSelect) s |= st::LbsMultipleSel;
      if (c.border) s |= st::Border;
      break;
    case Kind::Combo: s |= st::CbsDropDownList | st::VScroll; break;
    case Kind::Button:  // push button
    case Kind::Label:   // left-aligned static text
    case Kind::Window: break;
  }
  return s;
}

void writeControl(Writer& out, const Control& c) {
  out.op(wd::CreateObject);
  out.i32(static_cast<int32_t>(c.kind));
  out.i32(static_cast<int32_t>(controlStyle(c)));
  out.i32(c.kind == Kind::Edit || c.kind == Kind::List ? static_cast<int32_t>(st::ExClientEdge) : 0);
  out.op(wd::Name);
  out.text(c.name);
  out.op(wd::Caption);
  out.text(c.caption);
  writeFont(out, c.face, c.faceUtf8, kControlCharset, c.size, c.bold);
  const bool paleBack = c.kind == Kind::Label || c.kind == Kind::Check || c.kind == Kind::Radio;
  out.op(wd::ControlTextRgb);
  out.i32(kRgbBlack);
  out.op(wd::ControlBackRgb);
  out.i32(paleBack ? kRgbPaleBlue : kRgbWhite);
  if (c.kind == Kind::Edit || c.kind == Kind::Combo) {
    out.op(wd::LimitText);
    out.i32(kTextLimitBytes);
  }
  if (c.imeMode) {
    out.op(wd::ImeMode);
    out.i32(*c.imeMode);
  }
  if (c.kind == Kind::Check || c.kind == Kind::Radio) {
    out.op(wd::CheckValue);
    out.i32(0);
  }
  writePlace(out, kPlaceAt, c.x, c.y, c.width, c.height);
  writeEvents(out, c.kind, c.name, c.line);
}

std::string compile(const Definition& d) {
  Writer out;
  out.raw(wd::kMagic, sizeof wd::kMagic);
  out.u16(wd::kVersion);
  out.u16(1);  // the header's second word is 1 in every definition

  out.op(wd::RegisterClass);
  out.text(d.name);
  out.text(kIconName);
  out.op(wd::CreateObject);
  out.i32(static_cast<int32_t>(Kind::Window));
  out.i32(static_cast<int32_t>(d.style));
  out.i32(static_cast<int32_t>(d.exStyle));
  out.op(wd::NoEffect212);
  out.i32(0);
  out.op(wd::NoEffect211);
  out.i32(0);
  out.op(wd::ScaleMode);
  out.i16(kScalePixels);
  out.op(wd::RedrawMode);
  out.i16(kRedrawKeepCopy);
  out.op(wd::Axis);
  out.i32(kAxisYDown);
  out.op(wd::Caption);
  out.text(d.caption);
  out.op(wd::Name);
  out.text(d.name);
  out.op(wd::TextColour);
  out.i16(kPaletteBlack);
  out.op(wd::ForeColour);
  out.i16(kPaletteBlack);
  out.op(wd::BackColourIndex);
  out.i16(kPaletteWhite);
  out.op(wd::NoEffect62);
  for (int16_t v : {1, 1, 7, 7}) out.i16(v);
  out.op(wd::SystemMenuCopy);
  out.i16(0);
  writeFont(out, d.face, d.faceUtf8, kWindowCharset, d.size, d.bold);
  out.op(wd::SendMessage);
  out.i32(kCreateMessage);
  out.i32(0);
  out.i32(0);
  writePlace(out, d.placement, d.x, d.y, d.width, d.height);
  writeEvents(out, Kind::Window, d.name, 0);
  out.op(wd::ShowState);
  out.i32(kShowNormal);

  out.op(wd::BeginList);
  for (const Control& c : d.controls) writeControl(out, c);
  out.op(wd::EndList);
  out.op(wd::EndList);
  return out.bytes();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s SOURCE OUTPUT\n", argv[0]);
    return 2;
  }
  const std::string source = argv[1], output = argv[2];
  std::ifstream in(source, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "%s: cannot open: %s\n", source.c_str(), std::strerror(errno));
    return 1;
  }
  std::string bytes;
  try {
    bytes = compile(parse(in));
  } catch (const Error& e) {
    std::fprintf(stderr, "%s:%d: %s\n", source.c_str(), e.line, e.what());
    return 1;
  }
  // The core's rewrite: the bytes go to a file beside the target, which
  // replaces it only once complete (on Windows too, where a plain rename
  // refuses an existing target), so a failed run never leaves half a
  // definition for the resource compiler.
  constexpr int kOutput = 1;
  try {
    fw::open(fw::fromUtf8(output), fw::FileMode::Rewrite, fw::Share::ReadWrite, kOutput);
    fw::CloseOnExit closer(kOutput);
    fw::writeText(kOutput, bytes);
    fw::commit(kOutput);
  } catch (const fw::RuntimeError& e) {
    std::fprintf(stderr, "%s: cannot write (error %d)\n", output.c_str(), e.number());
    return 1;
  }
  return 0;
}
