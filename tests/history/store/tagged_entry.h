// Entries whose attribute record (the name) and clinical record (the memo)
// carry the same tag, so a reader can tell a pair of one write from a torn
// one. Shared by the store's tests and the writer processes they start.
#pragma once

#include <string>

#include "common/history_format.h"
#include "history/store/store.h"

namespace tessivo::test {

inline common::ExamineeRecord taggedExaminee(const std::string& tag) {
  common::ExamineeRecord r;
  r.NAME = tag;
  r.MEMO = tag;
  return r;
}

inline long appendTagged(const common::ExamineeRecord& r, const char* date = "2024/05/07") {
  return history::appendEntry(common::attributesOf(r, date), common::clinicalOf(r, date));
}
inline long appendTagged(const std::string& tag, const char* date = "2024/05/07") {
  return appendTagged(taggedExaminee(tag), date);
}

}  // namespace tessivo::test
