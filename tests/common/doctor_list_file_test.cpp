// The doctor list file HOKENNI, its default HOKENNI_DF and the list lines.
#include "common/doctor_list_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "framework/core/error.h"
#include "framework/core/files.h"
#include "framework/core/str.h"
#include "tests/support/temp_dir.h"
#include "tests/support/unprivileged.h"

using namespace fw::literals;
using tessivo::test::TempCwd;

namespace {

TEST(DoctorListFile, QuotedLinesWithCrLfAndTheEmptyListLine) {
  TempCwd dir;
  fw::makeDirectory("EKG_SYS");
  common::writeDoctorList({"田中"_sj, "鈴木"_sj});
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI"), "\"田中\"\r\n\"鈴木\"\r\n"_sj);

  // Rewritten whole: a shorter list leaves nothing of the longer one.
  common::writeDoctorList({"佐藤"_sj});
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI"), "\"佐藤\"\r\n"_sj);

  common::writeDoctorList({});
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI"), "\"\"\r\n");
  EXPECT_TRUE(common::readDoctorList().empty());
  EXPECT_FALSE(fw::isFileOpen(1));
}

TEST(DoctorListFile, NamesThatWouldBreakTheFileAreNotStorable) {
  EXPECT_TRUE(common::storableDoctorName("田中 一郎, 内科"_sj));
  EXPECT_FALSE(common::storableDoctorName("田\"中"_sj));
  EXPECT_FALSE(common::storableDoctorName("田中\r\n鈴木"_sj));
  EXPECT_FALSE(common::storableDoctorName("田中\n"));
}

TEST(DoctorListFile, DefaultPositionFileAndItsReadings) {
  TempCwd dir;
  fw::makeDirectory("EKG_SYS");
  EXPECT_EQ(common::readDefaultPosition(), -1);  // missing: created empty
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI_DF"), "");

  common::writeDefaultPosition(1);
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI_DF"),
            "1" + std::string(99, ' ') + std::string(156, '\0'));
  EXPECT_EQ(common::readDefaultPosition(), 1);

  common::writeDefaultPosition(-1);
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI_DF"),
            "-1" + std::string(98, ' ') + std::string(156, '\0'));
  EXPECT_EQ(common::readDefaultPosition(), -1);

  dir.write("EKG_SYS/HOKENNI_DF", "-7" + std::string(98, ' ') + std::string(156, '\0'));
  EXPECT_EQ(common::readDefaultPosition(), -1);
}

TEST(DoctorListFile, DefaultPositionTooLargeToReadNamesNoEntry) {
  TempCwd dir;
  fw::makeDirectory("EKG_SYS");
  for (const char* value : {"1e999", "-1e999", "3000000000"}) {
    SCOPED_TRACE(value);
    const std::string v = value;
    dir.write("EKG_SYS/HOKENNI_DF", v + std::string(100 - v.size(), ' ') + std::string(156, '\0'));
    EXPECT_EQ(common::readDefaultPosition(), -1);
  }
}


}  // namespace

// Hand edits after the last line end the list; none of them may stop the
// start of the program (error 62 would).
TEST(DoctorListFile, TrailingBlanksAndBlankLinesEndTheList) {
  const std::string tails[] = {"\"田中\"\r\n "_sj, "\"田中\"\r\n\r\n\r\n"_sj, "\"田中\""_sj,
                               "\"田中\"\r\n \r\n\t"_sj};
  for (const std::string& bytes : tails) {
    TempCwd dir;
    std::filesystem::create_directory("EKG_SYS");
    dir.write("EKG_SYS/HOKENNI", bytes);
    EXPECT_EQ(common::readDoctorList(), std::vector<fw::Str>{"田中"_sj});
  }
}

TEST(DoctorListFile, RewriteFollowsALinkToItsTarget) {
  TempCwd dir;
  std::filesystem::create_directory("EKG_SYS");
  std::filesystem::create_directory("shared");
  dir.write("shared/HOKENNI", "\"田中\"\r\n"_sj);
  std::filesystem::create_symlink("../shared/HOKENNI", "EKG_SYS/HOKENNI");
  common::writeDoctorList({"鈴木"_sj});
  EXPECT_TRUE(std::filesystem::is_symlink("EKG_SYS/HOKENNI"));
  EXPECT_EQ(dir.read("shared/HOKENNI"), "\"鈴木\"\r\n"_sj);
}

TEST(DoctorListFile, FolderWithoutNewFilesIsRewrittenInPlace) {
  TempCwd dir;
  std::filesystem::create_directory("EKG_SYS");
  dir.write("EKG_SYS/HOKENNI", "\"田中\"\r\n"_sj);
  fw::refuseTempFilesForTesting(true);
  common::writeDoctorList({"鈴木"_sj, "佐藤"_sj});
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI"), "\"鈴木\"\r\n\"佐藤\"\r\n"_sj);

  // A rewrite that cannot finish puts the old list back.
  fw::failWritesAfterForTesting(3);
  EXPECT_THROW(common::writeDoctorList({"山本"_sj, "高橋"_sj}), fw::RuntimeError);
  fw::failWritesAfterForTesting(-1);
  fw::refuseTempFilesForTesting(false);
  EXPECT_EQ(dir.read("EKG_SYS/HOKENNI"), "\"鈴木\"\r\n\"佐藤\"\r\n"_sj);

  // The same with a folder that really is read-only, as an operator's
  // account meets it.
  std::filesystem::permissions("EKG_SYS", std::filesystem::perms::owner_read |
                                              std::filesystem::perms::owner_exec);
  {
    tessivo::test::UnprivilegedWhileInScope operatorAccount(dir.path());
    ASSERT_TRUE(operatorAccount.unprivileged());
    common::writeDoctorList({"山本"_sj});
    EXPECT_EQ(dir.read("EKG_SYS/HOKENNI"), "\"山本\"\r\n"_sj);
    EXPECT_EQ(common::readDoctorList(), std::vector<fw::Str>{"山本"_sj});
  }
  std::filesystem::permissions("EKG_SYS", std::filesystem::perms::owner_all);
}
