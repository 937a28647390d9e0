// Histories written by the tests themselves: entries as the store writes
// them, put into EKG_DATA of the current directory in one go.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "common/examinee_record.h"
#include "common/history_format.h"
#include "framework/core/str.h"

namespace history_test {

using common::AttributeField;
using common::AttributeValues;
using common::ClinicalValues;
using fw::Str;

// An examinee with the attributes the lists and searches look at.
inline common::ExamineeRecord examinee(const Str& examNo, const Str& name,
                                       const Str& chartNo = "") {
  common::ExamineeRecord r;
  r.EXAM_NO = examNo;
  r.NAME = name;
  r.CHART_NO = chartNo;
  r.REQUEST_KIND = 0;
  return r;
}

class HistoryFiles {
 public:
  // Adds an entry (number = entries so far + 1); `deleted` marks it.
  HistoryFiles& add(const common::ExamineeRecord& r, bool deleted = false) {
    AttributeValues a = common::attributesOf(r, "2024/05/07");
    if (deleted) a[AttributeField::DeletionMark] = Str(common::kDeletedMark);
    attributes_ += common::encode(a);
    clinical_ += common::encode(common::clinicalOf(r, "2024/05/07"));
    return *this;
  }
  // `count` entries numbered by their entry number: EXAM_NO and CHART_NO
  // are n, the name 受検者n.
  HistoryFiles& addNumbered(int count) {
    for (int i = 0; i < count; ++i) {
      const Str n = std::to_string(entries() + 1);
      add(examinee(n, fw::sj("受検者") + n, Str(10 - n.size(), '0') + n));
    }
    return *this;
  }
  long entries() const { return static_cast<long>(attributes_.size() / 2000); }

  // Writes both files into EKG_DATA of the current directory.
  void write() const {
    std::filesystem::create_directories("EKG_DATA");
    writeFile("EKG_DATA/EKGDATA_1", attributes_);
    writeFile("EKG_DATA/EKGDATA_2", clinical_);
  }

  static Str readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Str(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static void writeFile(const std::string& path, const Str& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

 private:
  Str attributes_;
  Str clinical_;
};

}  // namespace history_test
