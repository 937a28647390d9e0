#include "history/store/change_log_format.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "framework/core/digest.h"

namespace history::changelog {

namespace {

struct OperationName {
  Operation op;
  std::string_view name;
};
constexpr std::array<OperationName, 6> kOperationNames{{
    {Operation::Start, "start"},
    {Operation::Register, "register"},
    {Operation::Overwrite, "overwrite"},
    {Operation::Delete, "delete"},
    {Operation::Restore, "restore"},
    {Operation::Void, "void"},
}};

std::string hexOf(const unsigned char* bytes, std::size_t n) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(n * 2);
  for (std::size_t i = 0; i < n; ++i) {
    out += kDigits[bytes[i] >> 4];
    out += kDigits[bytes[i] & 0xF];
  }
  return out;
}

// SHA-256 of the pieces in order, as hex.
std::string sha256Hex(std::initializer_list<std::string_view> pieces) {
  const std::string digest = fw::sha256(pieces);
  return hexOf(reinterpret_cast<const unsigned char*>(digest.data()), digest.size());
}

std::string lengthBytes(std::size_t n) {
  std::string out(4, '\0');
  for (int i = 0; i < 4; ++i) out[i] = static_cast<char>((n >> (8 * i)) & 0xFF);
  return out;
}

bool plainByte(unsigned char c) { return c > 0x20 && c < 0x7F && c != '%'; }

std::string escapeName(std::string_view name) {
  if (name.empty()) return "-";
  if (name == "-") return "%2D";
  std::string out;
  for (unsigned char c : name) {
    if (plainByte(c)) {
      out += static_cast<char>(c);
    } else {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", c);
      out += hex;
    }
  }
  return out;
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::optional<std::string> unescapeName(std::string_view text) {
  if (text == "-") return std::string();
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return std::nullopt;
    const int high = hexValue(text[i + 1]), low = hexValue(text[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return out;
}

std::string encodeRecord(const std::optional<fw::Str>& record) {
  if (!record) return "-";
  std::size_t used = record->size();
  while (used > 0 && (*record)[used - 1] == '\0') --used;
  std::string out = std::to_string(record->size()) + ":";
  out += fw::base64Encode(std::string_view(*record).substr(0, used));
  return out;
}

template <class Number>
bool numberOf(std::string_view text, Number& value) {
  if (text.empty()) return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

// false when malformed; `record` empty for "-".
bool decodeRecord(std::string_view text, std::optional<fw::Str>& record) {
  record.reset();
  if (text == "-") return true;
  const std::size_t colon = text.find(':');
  std::size_t length = 0;
  if (colon == std::string_view::npos || !numberOf(text.substr(0, colon), length)) return false;
  const std::string_view base64 = text.substr(colon + 1);
  if (length > 1 << 20) return false;
  std::optional<std::string> bytes = fw::base64Decode(base64);
  if (!bytes || bytes->size() > length) return false;
  // The zero bytes the encoding left off.
  fw::Str out = std::move(*bytes);
  out.resize(length, '\0');
  record = std::move(out);
  return true;
}

bool isDigest(std::string_view text) {
  if (text.size() != kDigestChars) return false;
  for (char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

}  // namespace

std::string_view nameOf(Operation op) {
  for (const OperationName& o : kOperationNames) {
    if (o.op == op) return o.name;
  }
  return "?";
}

std::optional<Operation> operationNamed(std::string_view name) {
  for (const OperationName& o : kOperationNames) {
    if (o.name == name) return o.op;
  }
  return std::nullopt;
}

bool changesHistory(Operation op) { return op != Operation::Start && op != Operation::Void; }

std::string bodyOf(const Line& line) {
  std::string body = std::to_string(line.seq);
  body += ' ';
  body += line.time;
  body += ' ';
  body += nameOf(line.op);
  body += ' ';
  body += std::to_string(line.n);
  body += ' ';
  body += line.op == Operation::Start || line.op == Operation::Void ? std::to_string(line.ref)
                                                                   : std::string("-");
  body += ' ';
  body += escapeName(line.computer);
  body += ' ';
  body += escapeName(line.user);
  body += ' ';
  body += encodeRecord(line.attributeBefore);
  body += ' ';
  body += encodeRecord(line.clinicalBefore);
  body += ' ';
  body += line.after.empty() ? std::string("-") : line.after;
  body += ' ';
  return body;
}

std::string chainDigest(std::string_view previous, std::string_view body) {
  return sha256Hex({previous, " ", body});
}

std::string format(Line& line, std::string_view previous) {
  std::string text = bodyOf(line);
  line.digest = chainDigest(previous, text);
  text += line.digest;
  text += '\n';
  return text;
}

std::optional<Line> parse(std::string_view text) {
  std::array<std::string_view, kFieldCount> fields;
  std::size_t count = 0, start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != ' ') continue;
    if (count == kFieldCount || i == start) return std::nullopt;
    fields[count++] = text.substr(start, i - start);
    start = i + 1;
  }
  if (count != kFieldCount) return std::nullopt;
  Line line;
  const auto op = operationNamed(fields[2]);
  if (!op || !numberOf(fields[0], line.seq) || !numberOf(fields[3], line.n)) return std::nullopt;
  line.op = *op;
  line.time = fields[1];
  if (line.op == Operation::Start || line.op == Operation::Void) {
    if (!numberOf(fields[4], line.ref)) return std::nullopt;
  } else if (fields[4] != "-") {
    return std::nullopt;
  }
  auto computer = unescapeName(fields[5]), user = unescapeName(fields[6]);
  if (!computer || !user) return std::nullopt;
  line.computer = std::move(*computer);
  line.user = std::move(*user);
  if (!decodeRecord(fields[7], line.attributeBefore) ||
      !decodeRecord(fields[8], line.clinicalBefore)) {
    return std::nullopt;
  }
  if (fields[9] != "-") {
    if (!isDigest(fields[9])) return std::nullopt;
    line.after = fields[9];
  }
  if (!isDigest(fields[10])) return std::nullopt;
  line.digest = fields[10];
  return line;
}

std::string entryDigest(std::string_view attributeRecord, std::string_view clinicalRecord) {
  return sha256Hex({lengthBytes(attributeRecord.size()), attributeRecord,
                    lengthBytes(clinicalRecord.size()), clinicalRecord});
}

}  // namespace history::changelog
