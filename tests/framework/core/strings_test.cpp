#include "framework/core/strings.h"

#include <gtest/gtest.h>

#include <limits>

#include "framework/core/clock.h"
#include "framework/core/error.h"
#include "tests/support/error_of.h"

namespace fw {
namespace {

using tessivo::test::errorOf;

TEST(Strings, LeftCutsInsideADoubleByteCharacter) {
  Str name = "受検者"_sj;
  EXPECT_EQ(len(name), 6);
  EXPECT_EQ(left(name, 3), Str("\x8E\xF3\x8C"));  // 受 and the lead byte of 検
  EXPECT_EQ(left(name, 99), name);
  EXPECT_EQ(left(name, 0), "");
  EXPECT_EQ(right(name, 2), "者"_sj);
  EXPECT_EQ(right(name, 99), name);
}

TEST(Strings, MidAndInstrBoundaries) {
  EXPECT_EQ(mid("ABCDE", 2, 2), "BC");
  EXPECT_EQ(mid("ABCDE", 4), "DE");
  EXPECT_EQ(mid("ABCDE", 4, 2147483647), "DE");
  EXPECT_EQ(mid("ABCDE", 3, 99), "CDE");
  EXPECT_EQ(mid("ABCDE", 6, 1), "");
  EXPECT_EQ(mid("ABCDE", 99, 1), "");
  EXPECT_EQ(instr(1, "ABCABC", "BC"), 2);
  EXPECT_EQ(instr(3, "ABCABC", "BC"), 5);
  EXPECT_EQ(instr(6, "ABCABC", "BC"), 0);
  EXPECT_EQ(instr(99, "ABC", "B"), 0);
  EXPECT_EQ(instr(3, "ABC", ""), 3);
  EXPECT_EQ(instr("ABC", "X"), 0);
  // Bytes, not characters: the trail byte of 表 is a backslash.
  EXPECT_EQ(instr("表"_sj, "\\"), 2);
}

TEST(Strings, BadArgumentsAreError5) {
  EXPECT_EQ(errorOf([] { left("A", -1); }), err::InvalidArgument);
  EXPECT_EQ(errorOf([] { right("A", -1); }), err::InvalidArgument);
  EXPECT_EQ(errorOf([] { mid("A", 0, 1); }), err::InvalidArgument);
  EXPECT_EQ(errorOf([] { mid("A", 1, -1); }), err::InvalidArgument);
  EXPECT_EQ(errorOf([] { instr(0, "A", "A"); }), err::InvalidArgument);
  EXPECT_EQ(errorOf([] { charCount("A", 3); }), err::InvalidArgument);
  EXPECT_EQ(errorOf([] { charInstr(0, "A", "A"); }), err::InvalidArgument);
  EXPECT_EQ(errorOf([] { chr({256}); }), err::InvalidArgument);
  EXPECT_EQ(errorOf([] { chr({-1}); }), err::InvalidArgument);
  EXPECT_EQ(errorOf([] { repeat(3, ""); }), err::InvalidArgument);
  EXPECT_EQ(errorOf([] { repeat(-1, "A"); }), err::InvalidArgument);
}

TEST(Strings, RepeatBeyondMemoryIsError7) {
  // Where long has 32 bits (Windows), no count goes beyond the longest string.
  if constexpr (sizeof(long) == 4) GTEST_SKIP() << "a long of 32 bits";
  long longest = kMaxStringBytes;  // not folded: on 32 bits the sum below would not fit
  EXPECT_EQ(errorOf([] { repeat(std::numeric_limits<long>::max(), "A"); }), err::OutOfMemory);
  EXPECT_EQ(errorOf([] { repeat(std::numeric_limits<long>::max() / 2, "A"); }), err::OutOfMemory);
  EXPECT_EQ(errorOf([longest] { repeat(longest + 1, "A"); }), err::OutOfMemory);
}

TEST(Strings, CharacterCountsAndCharacterInstr) {
  Str s = "Aｱ山田"_sj;  // A, half-width ｱ, two double-byte characters
  EXPECT_EQ(charCount(s, 0), 4);
  EXPECT_EQ(charCount(s, 1), 2);
  EXPECT_EQ(charCount(s, 2), 2);
  EXPECT_EQ(charCount("\x8E", 0), 1);  // a lone lead byte is one character
  EXPECT_EQ(charInstr(1, s, "田"_sj), 4);
  EXPECT_EQ(charInstr(4, s, "山"_sj), 0);
  // "\x5C" occurs inside ソ (0x83 0x5C) but not as a character of its own.
  EXPECT_EQ(charInstr(1, "ソ\\"_sj, "\\"), 2);
  EXPECT_EQ(charInstr(2, "ABC", ""), 2);
}

TEST(Strings, TrimRemovesHalfAndFullWidthBlanks) {
  EXPECT_EQ(trim("　山田　"_sj), "山田"_sj);
  EXPECT_EQ(trim(" 　 山 田　 "_sj), "山 田"_sj);
  EXPECT_EQ(trim("　 　"_sj), "");
  EXPECT_EQ(trim(""), "");
  EXPECT_EQ(trim(Str("\0 ", 2)), Str("\0", 1));  // zero bytes are not blanks
  EXPECT_EQ(trim("\tA\t"), "\tA\t");
}

TEST(Strings, TrimKeepsA0x40TrailByteAndA0x81TrailByte) {
  EXPECT_EQ(trim("　ァ"_sj), "ァ"_sj);  // ァ is 0x83 0x40
  EXPECT_EQ(trim("ァ "_sj), "ァ"_sj);
  // 堰 is 0x89 0x81; followed by '@' the last two bytes read 0x81 0x40.
  Str tricky = "堰@"_sj;
  EXPECT_EQ(trim(tricky), tricky);
  EXPECT_EQ(trim(tricky + "　"_sj), tricky);
}

TEST(Strings, UpperLeavesDoubleByteCharactersAlone) {
  EXPECT_EQ(upper("abc Z1"), "ABC Z1");
  // ピ is 0x83 0x73: its trail byte is an 's' that must stay lower case.
  EXPECT_EQ(upper("ピa"_sj), "ピA"_sj);
  EXPECT_EQ(upper("ａ"_sj), "ａ"_sj);
}

TEST(Strings, WidthConversionsOfDigitsLettersAndKatakana) {
  EXPECT_EQ(toFullWidth("Ab1 -"), "Ａｂ１　－"_sj);
  EXPECT_EQ(toHalfWidth("Ａｂ１　－"_sj), "Ab1 -");
  EXPECT_EQ(toFullWidth("ｱｶﾞﾊﾟｰ"_sj), "アガパー"_sj);
  EXPECT_EQ(toHalfWidth("アガパー"_sj), "ｱｶﾞﾊﾟｰ"_sj);
  EXPECT_EQ(toHalfWidth("山田ａ"_sj), "山田a"_sj);  // kanji kept
  EXPECT_EQ(toFullWidth("山田"_sj), "山田"_sj);
  EXPECT_EQ(toHalfWidth("あ"_sj), "あ"_sj);         // hiragana kept
  EXPECT_EQ(toFullWidth("\x8E"), "\x8E");            // lone lead byte kept
  Str ascii;
  for (int c = 0x20; c <= 0x7E; ++c) ascii += static_cast<char>(c);
  Str wide = toFullWidth(ascii);
  EXPECT_EQ(charCount(wide, 2), 95);  // every printable ASCII has a double-byte form
  EXPECT_EQ(toHalfWidth(wide), ascii);
}

TEST(Strings, ChrRepeatHexSame) {
  EXPECT_EQ(chr({13, 10}), CRLF);
  EXPECT_EQ(chr({0, 255}), Str("\0\xFF", 2));
  EXPECT_EQ(repeat(3, "xy"), "xxx");
  EXPECT_EQ(repeat(0, "x"), "");
  EXPECT_EQ(hex(26), "1A");
  EXPECT_EQ(hex(0), "0");
  EXPECT_EQ(hex(-1), "FFFFFFFF");
  EXPECT_TRUE(same("AB", "AB"));
  EXPECT_FALSE(same("AB", Str("AB\0", 3)));
}

TEST(Strings, DateComesFromTheSettableClock) {
  setClock([] { return LocalTime{2024, 3, 7, 9, 5, 0}; });
  EXPECT_EQ(date(), "2024/03/07");
  setClock({});
  EXPECT_EQ(len(date()), 10);
}

}  // namespace
}  // namespace fw
