// Values cut inside a double-byte character by an older writer, or cut
// short with the file: read without the half character, and written back
// without one, so that a value written reads back as it was (found by
// fuzzing the readers).
#include <gtest/gtest.h>

#include <filesystem>

#include "common/correction_file.h"
#include "common/history_format.h"
#include "common/list_line.h"
#include "common/settings_file.h"
#include "framework/core/files.h"
#include "framework/core/strings.h"
#include "tests/support/temp_dir.h"

using namespace fw::literals;
using tessivo::test::TempCwd;

namespace {

TEST(HalfCharacters, LeftWholeNeverEndsInsideACharacter) {
  const fw::Str yama = "山"_sj;
  EXPECT_EQ(fw::leftWhole("A" + yama, 2), "A");
  EXPECT_EQ(fw::leftWhole("A" + yama, 3), "A" + yama);
  EXPECT_EQ(fw::leftWhole("AB\x88", 5), "AB");
  EXPECT_EQ(fw::leftWhole("AB\x88", 0), "");
  EXPECT_EQ(fw::leftWhole(yama + "\x88 ", 4), yama + "\x88 ");  // a pair, however odd
  EXPECT_EQ(fw::leftWhole("ｱｲ"_sj, 1), "\xB1");  // half-width kana: one byte each
  // The slot form: cut the same way, then blanks to the width exactly.
  EXPECT_EQ(fw::fitWhole("A" + yama, 2), "A ");
  EXPECT_EQ(fw::fitWhole("AB\x88", 4), "AB  ");
  EXPECT_EQ(fw::fitWhole("", 3), "   ");
  // The list line no longer keeps half a character at the end of a part.
  common::AttributeValues a;
  a[common::AttributeField::ExamNo] = "12345678901\x88";
  EXPECT_EQ(common::listPart(common::historyListLine(1, a, common::ListColumn::Number, 1),
                             common::ListPart::Number),
            "12345678901 ");
}

TEST(HalfCharacters, SettingValue) {
  TempCwd dir;
  fw::makeDirectory("EKG_SYS");
  {  // a short file ending in a lead byte
    dir.write("EKG_SYS/BYOUINMEI_DAT", "\x83=\x88");
    const fw::Str value = common::readSetting("EKG_SYS\\BYOUINMEI_DAT", "");
    EXPECT_EQ(value, "\x83=");
    common::writeSetting("EKG_SYS\\BYOUINMEI_DAT", value);
    EXPECT_EQ(common::readSetting("EKG_SYS\\BYOUINMEI_DAT", ""), value);
  }
  {  // byte 100 is the lead byte of a character the old writer cut
    fw::Str name = "A";
    for (int i = 0; i < 50; ++i) name += "病"_sj;  // 101 bytes
    dir.write("EKG_SYS/BYOUINMEI_DAT", name.substr(0, 100) + std::string(156, '\0'));
    EXPECT_EQ(common::readSetting("EKG_SYS\\BYOUINMEI_DAT", ""), name.substr(0, 99));
    // ... and the writer no longer cuts there
    common::writeSetting("EKG_SYS\\BYOUINMEI_DAT", name);
    EXPECT_EQ(dir.read("EKG_SYS/BYOUINMEI_DAT").substr(0, 100), name.substr(0, 99) + " ");
  }
}

TEST(HalfCharacters, CorrectionValue) {
  TempCwd dir;
  fw::makeDirectory("EKG_SYS");
  std::string record(2000, '\0');
  record.replace(300, 5, "  2 \x94");        // item 30, vertical: ends in a lead byte
  record.replace(305, 5, "-1\x88\x88\x88");  // horizontal: one whole (odd) pair, one half
  dir.write("EKG_SYS/P_TYOUSEI", record);
  const common::CorrectionTable read = common::readCorrections();
  EXPECT_EQ(read.vertical[30], "2");
  EXPECT_EQ(read.horizontal[30], "-1\x88\x88");
  common::writeCorrections(read.vertical, read.horizontal);
  const common::CorrectionTable back = common::readCorrections();
  EXPECT_EQ(back.vertical[30], read.vertical[30]);
  EXPECT_EQ(back.horizontal[30], read.horizontal[30]);
  {  // a five-byte slot that would end in a lead byte
    std::array<fw::Str, common::kChartItemCount + 1> v, h;
    v.fill("0");
    h.fill("0");
    v[1] = "1234"_sj + "５"_sj;  // 6 bytes
    common::writeCorrections(v, h);
    EXPECT_EQ(dir.read("EKG_SYS/P_TYOUSEI").substr(10, 5), "1234 ");
  }
}

TEST(HalfCharacters, HistoryField) {
  // BIRTH_DAY (10 bytes at 155) whose tenth byte begins a character the old
  // writer cut: read without it, written back the same.
  std::string record(2000, '\0');
  record.replace(0, 320, std::string(320, ' '));
  record.replace(155, 10, "123456789\x88");
  const common::AttributeValues read = common::decodeAttributes(record);
  EXPECT_EQ(read[common::AttributeField::BirthDay], "123456789");
  const fw::Str written = common::encode(read);
  EXPECT_EQ(written.substr(155, 10), "123456789 ");
  EXPECT_EQ(common::encode(common::decodeAttributes(written)), written);
}

}  // namespace
