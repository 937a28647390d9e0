// Reading window definitions (the byte format of framework/core/wd_format.h)
// and building windows from them.
//
// parseDefinition only reads: it never touches Qt, never reads past the end
// of the bytes whatever they contain, and reports the first fault as the
// text the operator sees in the "DazuVudive" box. buildWindow turns a parsed
// definition into a window; it cannot fail, so a faulty definition never
// leaves half a window behind.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "framework/core/str.h"

namespace fw::internal {

class WindowImpl;

struct EventBinding {
  int event = 0;      // 0..20 (the record holds 100 + event)
  Str procedure;      // at most 28 bytes
};

// Everything the records said about one object (the window or a control).
struct ObjectDef {
  int type = -1;                  // control type code, 0 = the window
  uint32_t style = 0, exStyle = 0;
  Str className, iconName;        // code 9, window only
  std::optional<Str> caption;
  Str name;
  int textColourIndex = -1, foreColourIndex = -1, backColourIndex = -1;  // palette 0..15
  std::optional<uint32_t> textRgb, backRgb;                             // codes 34 / 35
  int scaleMode = 1;              // pixels unless a record says otherwise
  int redrawMode = 0;
  Str fontFace;                   // empty: no font record
  int charset = -1, pitchAndFamily = 0;
  int fontSizePoints = 0;         // 0: no size record
  bool fontBold = false;
  bool placed = false;
  // x, y within -32768..32767, width and height within 0..32767 (a damaged
  // definition's values are held there when read).
  int placement = 0, x = 0, y = 0, width = 0, height = 0;
  std::vector<EventBinding> events;
  int limitTextBytes = 32767;
  int imeMode = 0;
  int checkValue = 0;
  Str listItems;                  // CR LF separated
  int showState = 1;              // code 201
  bool disabled = false;          // code 14
};

struct WindowDefinition {
  ObjectDef window;
  std::vector<ObjectDef> controls;  // definition order
};

// The text of the "DazuVudive" box: the step's message, a blank and a number
// in upper-case hexadecimal (or the offending name).
struct DefinitionFault {
  Str message;
};

// Throws DefinitionFault. A stream that ends inside a record, or before the
// outer list is closed, is a fault of the record being read
// ("未定義のリソーススクリプト" with its code; 0 when it ends between records).
// A bad header is reported the same way with the offending header value.
WindowDefinition parseDefinition(std::span<const uint8_t> bytes);

// The definition resource ":/wd/<NAME>" (name upper-cased); nullopt when missing.
std::optional<std::vector<uint8_t>> definitionResource(const Str& name);

// Builds the window of a parsed definition (hidden) and registers it as open.
std::shared_ptr<WindowImpl> buildWindow(const WindowDefinition& definition);

// Parses and builds; on a fault shows the "DazuVudive" box and raises 1014.
// showMode 0 leaves the window hidden, -1 shows it in its initial state.
// Queues the window's _START.
std::shared_ptr<WindowImpl> openWindowFromBytes(std::span<const uint8_t> bytes, int showMode);

}  // namespace fw::internal
