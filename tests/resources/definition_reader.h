// A small reader of compiled window definitions for the tests, written apart
// from the form layer's loader so that the two check each other. It knows the
// operand layout of every record the definitions use and nothing else; an
// unknown code, a short read or bytes after the final end-of-list make the
// definition invalid (error() tells where).
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace wdtest {

struct Object {
  std::vector<int> codes;  // record codes applied to this object, in order
  int32_t type = -1;
  uint32_t style = 0, exStyle = 0;
  std::string name, caption;  // CP932
  std::string face;
  int charset = -1, pitchAndFamily = -1, size = -1, bold = -1;
  std::optional<int32_t> textRgb, backRgb, textLimit, imeMode, checkValue;
  int32_t placement = -1, x = 0, y = 0, width = 0, height = 0;
  std::vector<std::pair<int, std::string>> events;  // (event number 1.., procedure)
  // Window only.
  std::string className, iconName;
  int scaleMode = -1, redrawMode = -1, axis = -1, showState = -1;
  int textColour = -1, foreColour = -1, backColour = -1;
};

struct Definition {
  std::string header;            // the first 6 bytes
  Object window;
  std::vector<Object> controls;  // in creation order
  std::string error;             // empty when the whole stream was read

  const Object* control(const std::string& name) const {
    for (const Object& c : controls)
      if (c.name == name) return &c;
    return nullptr;
  }
};

class Reader {
 public:
  explicit Reader(QByteArray bytes) : b_(std::move(bytes)) {}

  Definition read() {
    Definition d;
    d.header = std::string(b_.constData(), static_cast<size_t>(std::min<qsizetype>(6, b_.size())));
    pos_ = 6;
    if (b_.size() < 6) return fail(d, "short header");
    std::string pendingClass, pendingIcon;
    int depth = 0;
    Object* current = nullptr;
    while (true) {
      if (pos_ >= b_.size()) return fail(d, "missing end of list");
      const size_t at = static_cast<size_t>(pos_);
      const int code = u16();
      if (code == 1) {
        if (depth != 0 || !current) return fail(d, "misplaced begin of list at " + std::to_string(at));
        depth = 1;
        current = nullptr;
        continue;
      }
      if (code == 2) {
        if (--depth < 0) break;
        current = &d.window;
        continue;
      }
      if (code == 112) {
        Object* o = depth == 0 ? &d.window : &d.controls.emplace_back();
        if (depth == 0 && d.window.type != -1) return fail(d, "second window");
        current = o;
        o->type = i32();
        o->style = static_cast<uint32_t>(i32());
        o->exStyle = static_cast<uint32_t>(i32());
        if (depth == 0) {
          o->className = pendingClass;
          o->iconName = pendingIcon;
        }
        o->codes.push_back(code);
        continue;
      }
      if (code == 9) {
        pendingClass = text();
        pendingIcon = text();
        continue;
      }
      if (!current) return fail(d, "record " + std::to_string(code) + " before any object");
      Object& o = *current;
      o.codes.push_back(code);
      switch (code) {
        case 212: case 211: i32(); break;
        case 37: o.scaleMode = i16(); break;
        case 39: o.redrawMode = i16(); break;
        case 124: o.axis = i32(); break;
        case 11: o.caption = text(); break;
        case 21: o.name = text(); break;
        case 30: o.textColour = i16(); break;
        case 31: o.foreColour = i16(); break;
        case 32: o.backColour = i16(); break;
        case 62: for (int i = 0; i < 4; ++i) i16(); break;
        case 61: i16(); break;
        case 14: i16(); break;
        case 76: o.face = text(); o.charset = i16(); o.pitchAndFamily = i16() & 0xFF; break;
        case 70: o.size = i16(); break;
        case 71: o.bold = i16(); break;
        case 300: i32(); i32(); i32(); break;
        case 159: o.placement = i32(); o.x = i32(); o.y = i32(); o.width = i32(); o.height = i32(); break;
        case 80: {
          if (i16() != 1) return fail(d, "event list must start with 1");
          while (true) {
            const int n = i16();
            if (n == 2 || !ok_) break;
            o.events.emplace_back(n - 100, text());
          }
          break;
        }
        case 34: o.textRgb = i32(); break;
        case 35: o.backRgb = i32(); break;
        case 156: o.textLimit = i32(); break;
        case 186: o.imeMode = i32(); break;
        case 173: o.checkValue = i32(); break;
        case 172: text(); break;
        case 201: o.showState = i32(); break;
        default: return fail(d, "unknown code " + std::to_string(code) + " at " + std::to_string(at));
      }
      if (!ok_) return fail(d, "short record " + std::to_string(code) + " at " + std::to_string(at));
    }
    if (!ok_) return fail(d, "short read");
    if (pos_ != b_.size()) return fail(d, "bytes after the end of the definition");
    return d;
  }

 private:
  Definition& fail(Definition& d, const std::string& why) {
    d.error = why;
    return d;
  }
  uint8_t byte() {
    if (pos_ >= b_.size()) {
      ok_ = false;
      return 0;
    }
    return static_cast<uint8_t>(b_[pos_++]);
  }
  int u16() { return byte() | (byte() << 8); }
  int16_t i16() { return static_cast<int16_t>(u16()); }
  int32_t i32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<uint32_t>(byte()) << (8 * i);
    return static_cast<int32_t>(v);
  }
  std::string text() {
    std::string s;
    while (true) {
      const uint8_t c = byte();
      if (!ok_ || c == 0) return s;
      s.push_back(static_cast<char>(c));
    }
  }

  QByteArray b_;
  qsizetype pos_ = 0;
  bool ok_ = true;
};

inline Definition load(const QString& window) {
  QFile f(":/wd/" + window);
  if (!f.open(QIODevice::ReadOnly)) {
    Definition d;
    d.error = "no resource :/wd/" + window.toStdString();
    return d;
  }
  return Reader(f.readAll()).read();
}

}  // namespace wdtest
