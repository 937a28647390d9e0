// Builds window definitions in memory, byte by byte (little-endian), so that
// tests can load well-formed and broken ones without resource files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "framework/core/str.h"
#include "framework/core/wd_format.h"

namespace fw::testdata {

class DefinitionBytes {
 public:
  DefinitionBytes& header() {
    bytes.push_back('W');
    bytes.push_back('D');
    return i16(1).i16(1);
  }
  DefinitionBytes& i16(int v) {
    bytes.push_back(uint8_t(v & 0xFF));
    bytes.push_back(uint8_t((v >> 8) & 0xFF));
    return *this;
  }
  DefinitionBytes& i32(int64_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t((v >> (8 * i)) & 0xFF));
    return *this;
  }
  DefinitionBytes& text(const Str& s) {
    bytes.insert(bytes.end(), s.begin(), s.end());
    bytes.push_back(0);
    return *this;
  }
  DefinitionBytes& op(int code) { return i16(code); }

  DefinitionBytes& create(int type, uint32_t style, uint32_t exStyle = 0) {
    return op(wd::CreateObject).i32(type).i32(style).i32(exStyle);
  }
  DefinitionBytes& name(const Str& n) { return op(wd::Name).text(n); }
  DefinitionBytes& caption(const Str& c) { return op(wd::Caption).text(c); }
  DefinitionBytes& place(int placement, int x, int y, int w, int h) {
    return op(wd::Place).i32(placement).i32(x).i32(y).i32(w).i32(h);
  }
  DefinitionBytes& font(const Str& face, int points, bool bold, int charset = 1) {
    op(wd::FontFace).text(face).i16(charset).i16(0x31);
    op(wd::FontSize).i16(points);
    return op(wd::FontBold).i16(bold ? 1 : 0);
  }
  // Event bindings: pairs of (event number, procedure name).
  DefinitionBytes& events(const std::vector<std::pair<int, Str>>& pairs) {
    op(wd::Events).i16(1);
    for (const auto& [event, procedure] : pairs) i16(wd::kEventBase + event).text(procedure);
    return i16(2);
  }

  // A small window "TESTFORM" 400 x 300 at (10, 20) with caption and system
  // menu, ready for controls: call beginControls() next.
  DefinitionBytes& window(const Str& windowName = "TESTFORM") {
    header();
    op(wd::RegisterClass).text(windowName).text("ekg");
    create(0, wd::style::Caption | wd::style::SysMenu | wd::style::MinimizeBox |
                  wd::style::DlgFrame);
    name(windowName);
    caption("Test");
    op(wd::ScaleMode).i16(1);
    op(wd::RedrawMode).i16(1);
    op(wd::TextColour).i16(0);
    op(wd::BackColourIndex).i16(15);
    place(0, 10, 20, 400, 300);
    return *this;
  }
  DefinitionBytes& beginControls() { return op(wd::BeginList); }
  DefinitionBytes& endList() { return op(wd::EndList); }

  std::vector<uint8_t> bytes;
};

}  // namespace fw::testdata
