// The search index file read from any bytes: a search through it never
// fails and gives exactly what the plain scan of the history gives. The
// input is a damage done to a sound index of a fixed history (so that the
// header often stays believable): 4 bytes of offset, 1 byte that cuts the
// file there when odd, then the bytes written at that offset.
#include <cstdint>
#include <string>
#include <vector>

#include "history/store/search.h"
#include "history/store/search_index.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using history::Matcher;
using history::SearchKind;

constexpr const char* kIndex = "EKG_DATA/EKGDATA_1.idx";

struct Answer {
  long newest = 0;
  std::vector<fw::Str> lines;
  bool operator==(const Answer&) const = default;
};

Answer answer(const Matcher& m, bool indexed) {
  history::useSearchIndex(indexed);
  Answer a;
  a.newest = history::findNewest(m, {}).entry;
  a.lines = history::listEntries(history::Scan::Live, history::Column::Number, 100, &m, {}).lines;
  return a;
}

const std::vector<Matcher>& matchers() {
  static const std::vector<Matcher> all = [] {
    std::vector<Matcher> m;
    m.emplace_back(SearchKind::Number, history::searchKey(SearchKind::Number, "7"));
    m.emplace_back(SearchKind::ChartNumber, history::searchKey(SearchKind::ChartNumber, "14"));
    m.emplace_back(SearchKind::Name, history::searchKey(SearchKind::Name, "n3"));
    return m;
  }();
  return all;
}

// The history, its sound index and the plain answers, made once.
struct Fixture {
  std::string sound;
  std::vector<Answer> plain;
  Fixture() {
    fuzz::enterScratchDirectory();
    std::string records;
    for (int i = 1; i <= 40; ++i) {
      common::AttributeValues a;
      a[common::AttributeField::ExamNo] = std::to_string(i % 9);
      a[common::AttributeField::ChartNo] = "00000000" + std::to_string(10 + i % 6);
      a[common::AttributeField::Name] = "n" + std::to_string(i % 5);
      if (i % 7 == 0) a[common::AttributeField::DeletionMark] = "del";
      records += common::encode(a);
    }
    fuzz::writeFile("EKG_DATA/EKGDATA_1", reinterpret_cast<const std::uint8_t*>(records.data()),
                    records.size());
    for (const Matcher& m : matchers()) plain.push_back(answer(m, false));
    answer(matchers().front(), true);
    sound = fuzz::readFile(kIndex);
    FUZZ_CHECK(sound.size() == 41u * history::kSearchIndexRecordBytes);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const Fixture fixture;
  if (size < 5) return 0;
  const std::uint32_t offset =
      (data[0] | data[1] << 8 | data[2] << 16 | static_cast<std::uint32_t>(data[3]) << 24) %
      (fixture.sound.size() + 1);
  std::string damaged = fixture.sound;
  if (data[4] & 1) damaged.resize(offset);
  const std::string_view bytes(reinterpret_cast<const char*>(data + 5), size - 5);
  if (damaged.size() < offset + bytes.size()) damaged.resize(offset + bytes.size());
  damaged.replace(offset, bytes.size(), bytes);
  for (std::size_t i = 0; i < matchers().size(); ++i) {
    fuzz::writeFile(kIndex, reinterpret_cast<const std::uint8_t*>(damaged.data()), damaged.size());
    FUZZ_CHECK(answer(matchers()[i], true) == fixture.plain[i]);
  }
  return 0;
}
