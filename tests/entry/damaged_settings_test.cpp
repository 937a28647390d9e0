// Start-up with one settings file of EKG_SYS damaged: emptied, cut, filled
// with noise, replaced by a directory or a dangling link, or unreadable.
// Operators copy these files, restore old backups and edit them by hand; the
// program must start all the same (the default, or a message naming the
// file), never end with the error report, and leave the other files alone.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <random>
#include <string>

#include "framework/form/window.h"
#include "tests/entry/entry_fixture.h"
#include "tests/support/unprivileged.h"

namespace entry_test {
namespace {

namespace fs = std::filesystem;

enum class Damage { Empty, OneByte, Truncated, Random, Directory, DanglingLink, Unreadable };

const char* damageName(Damage d) {
  switch (d) {
    case Damage::Empty: return "Empty";
    case Damage::OneByte: return "OneByte";
    case Damage::Truncated: return "Truncated";
    case Damage::Random: return "Random";
    case Damage::Directory: return "Directory";
    case Damage::DanglingLink: return "DanglingLink";
    case Damage::Unreadable: return "Unreadable";
  }
  return "?";
}

// Every settings file with a value a clinic would have in it.
std::map<std::string, std::string> healthySettings() {
  std::string corrections(2000, '\0');
  for (int k = 1; k <= 34; ++k) corrections.replace(10 * k, 10, "1    -0.5 ");
  return {
      {"INSA_FO", settingRecord("2")},
      {"INSA_CO", settingRecord("2")},
      {"BYOUINMEI", settingRecord("1")},
      {"BYOUINMEI_DAT", settingRecord("さくら医院"_sj)},
      {"TANTOUIMEI", settingRecord("0")},
      {"TANTOUI_DAT", settingRecord("佐藤"_sj)},
      {"HOKENNI", doctorList({"佐藤"_sj, "鈴木"_sj})},
      {"HOKENNI_DF", settingRecord("1")},
      {"P_TYOUSEI", corrections},
      {"RIRE_SAIDA_G", settingRecord("3")},
      {"RIRE_SAIDA_G2", settingRecord("2")},
  };
}

struct Case {
  std::string file;
  Damage damage;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.file << " " << damageName(c.damage); }

std::string caseName(const ::testing::TestParamInfo<Case>& info) {
  return info.param.file + "_" + damageName(info.param.damage);
}

std::vector<Case> allCases() {
  std::vector<Case> cases;
  for (const auto& [file, bytes] : healthySettings()) {
    for (Damage d : {Damage::Empty, Damage::OneByte, Damage::Truncated, Damage::Random,
                     Damage::Directory, Damage::DanglingLink, Damage::Unreadable}) {
      cases.push_back({file, d});
    }
  }
  return cases;
}

class DamagedSettings : public MainWindowTest, public ::testing::WithParamInterface<Case> {
 protected:
  std::string path(const std::string& file) const {
    return (fs::path(cwd.path()) / "EKG_SYS" / file).string();
  }

  void damage(const std::string& file, Damage d, const std::string& healthy) {
    const std::string p = path(file);
    switch (d) {
      case Damage::Empty:
        cwd.write("EKG_SYS/" + file, "");
        break;
      case Damage::OneByte:
        cwd.write("EKG_SYS/" + file, "\x81");  // the first half of a character
        break;
      case Damage::Truncated:
        cwd.write("EKG_SYS/" + file, healthy.substr(0, healthy.size() / 2 + 3));
        break;
      case Damage::Random: {
        std::mt19937 random(static_cast<unsigned>(std::hash<std::string>{}(file)));
        std::string noise(healthy.size(), '\0');
        for (char& b : noise) b = static_cast<char>(random() & 0xFF);
        cwd.write("EKG_SYS/" + file, noise);
        break;
      }
      case Damage::Directory:
        fs::remove(p);
        fs::create_directory(p);
        break;
      case Damage::DanglingLink:
        fs::remove(p);
        fs::create_symlink("/nonexistent-tessivo-folder/" + file, p);
        break;
      case Damage::Unreadable:
        chmod(p.c_str(), 0);
        break;
    }
  }
};

TEST_P(DamagedSettings, ProgramStartsAndOtherFilesStay) {
  const Case& c = GetParam();
  const auto healthy = healthySettings();
  for (const auto& [file, bytes] : healthy) givenFile("EKG_SYS/" + file, bytes);
  damage(c.file, c.damage, healthy.at(c.file));

  if (c.damage == Damage::Unreadable) {
#ifdef _WIN32
    GTEST_SKIP() << "an unreadable file is a matter of access lists on Windows";
#endif
    tessivo::test::UnprivilegedWhileInScope operatorAccount(cwd.path());
    ASSERT_TRUE(operatorAccount.unprivileged()) << "cannot start without privileges";
#ifndef _WIN32
    ASSERT_NE(faccessat(AT_FDCWD, path(c.file).c_str(), R_OK, AT_EACCESS), 0);
#endif
    start();
  } else {
    start();
  }

  for (const fw::MessageBoxRequest& m : answers.messages) {
    EXPECT_NE(m.title, "ERROR") << "the program ended with the error report";
    EXPECT_NE(m.text.find(c.file), Str::npos) << "a message that names no file: " << m.text;
  }
  EXPECT_TRUE(fw::mainWindowExists());
  EXPECT_TRUE(fw::mainWindow().visible());
  for (const auto& [file, bytes] : healthy) {
    if (file != c.file) {
      EXPECT_EQ(cwd.read("EKG_SYS/" + file), bytes) << file << " changed";
    }
  }
  if (c.damage == Damage::Unreadable) chmod(path(c.file).c_str(), 0644);
}

INSTANTIATE_TEST_SUITE_P(EverySettingsFile, DamagedSettings, ::testing::ValuesIn(allCases()),
                         caseName);

}  // namespace
}  // namespace entry_test
