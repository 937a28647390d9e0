#include "framework/core/cp932.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fw {
namespace {

std::string utf8Of(char32_t c) {
  std::string u;
  if (c < 0x80) {
    u += static_cast<char>(c);
  } else if (c < 0x800) {
    u += static_cast<char>(0xC0 | c >> 6);
    u += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    u += static_cast<char>(0xE0 | c >> 12);
    u += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    u += static_cast<char>(0x80 | (c & 0x3F));
  }
  return u;
}

std::string hexBytes(const std::string& s) {
  std::string out;
  char buf[4];
  for (unsigned char c : s) {
    std::snprintf(buf, sizeof buf, "%02X", c);
    out += buf;
  }
  return out;
}

Str bytesOfHex(const std::string& hex) {
  Str out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return out;
}

// Decoding must agree with Python's cp932 codec for every code. Encoding agrees
// except for one known split: the 373 IBM-extension characters that CP932
// holds twice, as NEC-selected IBM extensions (0xED40..0xEEFC) and as IBM
// extensions (0xFA40..0xFC4B). Python encodes them to the NEC-selected code,
// glibc to the IBM one, as Windows itself does. Either decodes to the same
// character, so files stay readable both ways; any other difference fails.
TEST(Cp932, MatchesPythonReferenceForEveryDoubleByteCode) {
  std::ifstream in(TESSIVO_TEST_DATA_DIR "/cp932_reference.tsv");
  ASSERT_TRUE(in) << "missing tests/data/cp932_reference.tsv (run make_cp932_reference.py)";
  std::string line;
  int codes = 0;
  std::vector<std::string> decodeMismatches, encodeMismatches;
  std::set<std::string> ibmExtensionSplits;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string code, point, back;
    fields >> code >> point >> back;
    ++codes;
    std::string expected = utf8Of(static_cast<char32_t>(std::stoul(point, nullptr, 16)));
    std::string decoded = toUtf8(bytesOfHex(code));
    if (decoded != expected) {
      decodeMismatches.push_back(code + " -> " + hexBytes(decoded) + " (Python U+" + point + ")");
    }
    std::string encoded = hexBytes(fromUtf8(expected));
    if (encoded == back) continue;
    bool knownSplit = (back.starts_with("ED") || back.starts_with("EE")) && encoded >= "FA40" &&
                      encoded <= "FC4B" && toUtf8(bytesOfHex(encoded)) == expected;
    if (knownSplit) {
      ibmExtensionSplits.insert(point);
    } else {
      encodeMismatches.push_back("U+" + point + " -> " + encoded + " (Python " + back + ")");
    }
  }
  EXPECT_EQ(codes, 9604);
  auto list = [](const std::vector<std::string>& v) {
    std::string s;
    for (const auto& m : v) s += "  " + m + "\n";
    return s;
  };
  EXPECT_TRUE(decodeMismatches.empty())
      << decodeMismatches.size() << " codes decode differently:\n" << list(decodeMismatches);
  EXPECT_TRUE(encodeMismatches.empty())
      << encodeMismatches.size() << " characters encode differently:\n" << list(encodeMismatches);
  EXPECT_EQ(ibmExtensionSplits.size(), 373u);
  EXPECT_EQ(hexBytes(fromUtf8("\xE9\xA1\x97")), "FBF4");  // U+9857: Python gives EED8
}

TEST(Cp932, FullWidthMinusAndWaveDashAreTheMicrosoftForms) {
  EXPECT_EQ(toUtf8("\x81\x7C"), "\xEF\xBC\x8D");  // U+FF0D
  EXPECT_EQ(fromUtf8("\xEF\xBC\x8D"), "\x81\x7C");
  EXPECT_EQ(toUtf8("\x81\x60"), "\xEF\xBD\x9E");  // U+FF5E
  EXPECT_EQ(fromUtf8("\xEF\xBD\x9E"), "\x81\x60");
}

TEST(Cp932, AsciiAndHalfWidthKatakanaRoundTrip) {
  Str ascii;
  for (int c = 0x20; c < 0x7F; ++c) ascii += static_cast<char>(c);
  EXPECT_EQ(toUtf8(ascii), ascii);  // 0x5C stays a backslash, 0x7E a tilde
  EXPECT_EQ(fromUtf8(toUtf8("\xB1\xDF")), "\xB1\xDF");
  EXPECT_EQ(toUtf8("\xB1"), "\xEF\xBD\xB1");  // ｱ U+FF71
}

TEST(Cp932, BadBytesDecodeToReplacementAndDecodingGoesOn) {
  const std::string fffd = "\xEF\xBF\xBD";
  EXPECT_EQ(toUtf8("AB\x8E"), "AB" + fffd);          // field cut after a lead byte
  EXPECT_EQ(toUtf8("\x81\x20X"), fffd + " X");       // lead byte with a bad trail
  EXPECT_EQ(toUtf8("\xFF" "A"), fffd + "A");
  EXPECT_EQ(toUtf8(std::string("\0A", 2)), std::string("\0A", 2));
  EXPECT_EQ(toUtf8(""), "");
}

TEST(Cp932, UnencodableCharactersBecomeQuestionMarks) {
  EXPECT_EQ(fromUtf8("A\xF0\x9F\x98\x80" "B"), "A?B");  // emoji
  EXPECT_EQ(fromUtf8("\xC3\xA9"), "?");                  // é
  EXPECT_EQ(fromUtf8("A\xE3\x81"), "A?");                // cut UTF-8 sequence
  EXPECT_EQ(fromUtf8("\xFF" "A"), "?A");                 // not UTF-8 at all
  EXPECT_EQ(fromUtf8("受検者"), "\x8E\xF3\x8C\x9F\x8E\xD2");
}

// What a box must refuse is exactly what fromUtf8 would store as '?': each
// reported character accounts for one '?' more than the text had.
TEST(Cp932, CharactersWithoutCp932AreThoseThatWouldBecomeQuestionMarks) {
  const std::string fffd = "\xEF\xBF\xBD";
  struct Row {
    std::string text;
    std::vector<std::string> missing;
  };
  const std::vector<Row> rows = {
      {"", {}},
      {"山田 太郎?", {}},                       // a '?' of its own is no loss
      {"①㈱～－ｱ髙﨑", {}},                      // NEC and IBM extensions, Microsoft forms
      {"\x7F\t\r\n", {}},
      {"𠮷野", {"𠮷"}},                          // outside the BMP
      {"山😀田😀", {"😀"}},                      // each character once
      {"©®™é½", {"©", "®", "™", "é", "½"}},     // in the order they come
      {"a\xE3\x81", {fffd}},                    // cut sequence
      {"\xFF" "A", {fffd}},                      // not UTF-8 at all
      {"\xC0\xAF", {fffd}},                     // overlong '/'
      {"\xED\xA0\x80", {fffd}},                 // a surrogate
      {fffd + "\xFF", {fffd}},                  // U+FFFD itself, once with the bad byte
  };
  const auto count = [](const std::string& s, const std::string& part) {
    std::ptrdiff_t n = 0;
    for (auto at = s.find(part); at != std::string::npos; at = s.find(part, at + part.size())) ++n;
    return n;
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(hexBytes(row.text));
    EXPECT_EQ(charactersWithoutCp932(row.text), row.missing);
    if (!row.missing.empty() && row.missing.back() == fffd) continue;  // bytes, not characters
    std::ptrdiff_t occurrences = 0;
    for (const std::string& c : row.missing) occurrences += count(row.text, c);
    EXPECT_EQ(count(fromUtf8(row.text), "?"), count(row.text, "?") + occurrences);
  }
}

}  // namespace
}  // namespace fw
