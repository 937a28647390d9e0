// The history store shared by several programs, and a program killed in the
// middle of registering: every acknowledged entry stays, and no attribute
// record is ever paired with another entry's clinical record.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "framework/core/error.h"
#include "framework/core/files.h"
#include "history/store/store.h"
#include "tests/history/writer_process.h"
#include "tests/history/store/tagged_entry.h"
#include "tests/support/temp_dir.h"

using common::AttributeField;
using common::ClinicalField;
using history_test::parseAck;
using history_test::Writer;
using tessivo::test::appendTagged;
using tessivo::test::taggedExaminee;
using tessivo::test::TempCwd;

namespace {

// Every entry of the store: attribute name and clinical memo must be the
// same tag. Returns the tags by entry number. An attribute record in `torn`
// was cut short by a kill inside its write (the system may stop a dying
// program's write between two pages): it holds the start of its own entry.
std::map<long, std::string> checkPairs(const std::set<long>& torn = {}) {
  std::map<long, std::string> tags;
  const long count = history::attributeCount();
  for (long n = 1; n <= count; ++n) {
    auto e = history::readEntry(n);
    EXPECT_TRUE(e) << "entry " << n;
    if (!e) continue;
    const std::string name = e->attributes[AttributeField::Name];
    if (torn.count(n)) {
      EXPECT_EQ(e->clinical[ClinicalField::Memo].rfind(name, 0), 0u) << "entry " << n;
    } else {
      EXPECT_EQ(e->clinical[ClinicalField::Memo], name) << "entry " << n << " is a broken pair";
      EXPECT_FALSE(name.empty()) << "entry " << n << " has no attribute record";
    }
    tags[n] = name;
  }
  return tags;
}

class HistoryProcesses : public ::testing::Test {
 protected:
  void SetUp() override { fw::makeDirectory("EKG_DATA"); }
  TempCwd dir_;
};

TEST_F(HistoryProcesses, TwoWritersAtOnceKeepEveryEntryPaired) {
  std::map<long, std::string> acknowledged;
  std::vector<int> exitCodes(2);
  {
    Writer a(500, "a"), b(500, "b");
    auto collect = [&](Writer& w, std::map<long, std::string>& into, int& code) {
      std::string text, tag;
      long n = 0;
      while (w.line(text)) {
        if (parseAck(text, &n, &tag)) into[n] = tag;
        else if (text != "ready") ADD_FAILURE() << text;
      }
      code = w.wait();
    };
    std::map<long, std::string> fromA, fromB;
    std::thread ta([&] { collect(a, fromA, exitCodes[0]); });
    collect(b, fromB, exitCodes[1]);
    ta.join();
    EXPECT_EQ(fromA.size(), 500u);
    EXPECT_EQ(fromB.size(), 500u);
    acknowledged = fromA;
    for (const auto& [n, tag] : fromB) {
      EXPECT_TRUE(acknowledged.emplace(n, tag).second) << "both writers got entry " << n;
    }
  }
  EXPECT_EQ(exitCodes, (std::vector<int>{0, 0}));
  EXPECT_EQ(history::attributeCount(), 1000);
  EXPECT_EQ(history::clinicalCount(), 1000);
  EXPECT_EQ(checkPairs(), acknowledged);
}

// At least 100 writers killed (SIGKILL, TerminateProcess) at random moments of a run of
// appends. Afterwards every entry a writer had acknowledged is there under
// its number and every entry is one pair.
TEST_F(HistoryProcesses, WritersKilledAtRandomMomentsLoseNoAcknowledgedEntry) {
  std::mt19937 random(std::random_device{}());
  std::uniform_int_distribution<int> delayMicroseconds(0, 12000);
  std::map<long, std::string> acknowledged;
  int killedMidway = 0;
  std::set<long> torn;
  for (int round = 0; round < 110; ++round) {
    Writer w(0, "k" + std::to_string(round));
    std::string text;
    ASSERT_TRUE(w.line(text));
    ASSERT_EQ(text, "ready");
    std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
    w.kill9();
    std::string tag;
    long n = 0;
    while (w.line(text)) {
      ASSERT_TRUE(parseAck(text, &n, &tag)) << text;
      EXPECT_TRUE(acknowledged.emplace(n, tag).second) << "entry " << n << " acknowledged twice";
    }
    EXPECT_EQ(w.wait(), history_test::kKilled);
    if (history::clinicalCount() != history::attributeCount()) ++killedMidway;
    if (dir_.read("EKG_DATA/EKGDATA_1").size() % 2000 != 0) torn.insert(history::attributeCount());
  }
  const std::map<long, std::string> stored = checkPairs(torn);
  for (const auto& [n, tag] : acknowledged) {
    auto it = stored.find(n);
    ASSERT_NE(it, stored.end()) << "acknowledged entry " << n << " is gone";
    EXPECT_EQ(it->second, tag) << "acknowledged entry " << n << " was overwritten";
  }
  // Unacknowledged entries may be stored too (killed after the append
  // returned, before the line was printed), but nothing else.
  EXPECT_LE(stored.size(), acknowledged.size() + 110);
  std::printf("[          ] %zu entries acknowledged, %d kills between the two records, "
              "%zu inside an attribute record\n",
              acknowledged.size(), killedMidway, torn.size());
}

// One program marks entries deleted while another appends: every deletion
// holds and every appended entry is there, paired.
TEST_F(HistoryProcesses, DeletionWhileAnotherProgramAppends) {
  for (int i = 1; i <= 40; ++i) {
    appendTagged("old-" + std::to_string(i));
  }
  std::set<long> deleted;
  std::map<long, std::string> acknowledged;
  {
    Writer w(300, "w");
    std::string text, tag;
    long n = 0, nextOld = 1;
    while (w.line(text)) {
      if (!parseAck(text, &n, &tag)) {
        ASSERT_EQ(text, "ready");
        continue;
      }
      acknowledged[n] = tag;
      // The entry just written, and one of the old ones, while the writer
      // goes on with the next append.
      if (n % 3 == 0 && history::markDeleted(n)) deleted.insert(n);
      if (nextOld <= 40 && history::markDeleted(nextOld)) deleted.insert(nextOld);
      ++nextOld;
    }
    EXPECT_EQ(w.wait(), 0);
  }
  EXPECT_EQ(acknowledged.size(), 300u);
  EXPECT_EQ(history::attributeCount(), 340);
  const std::map<long, std::string> stored = checkPairs();
  for (const auto& [n, tag] : acknowledged) EXPECT_EQ(stored.at(n), tag);
  std::set<long> deletedNow, live;
  history::scanNewestFirst(history::Scan::Deleted, [&](long n, const history::RecordView&) {
    deletedNow.insert(n);
    return true;
  });
  history::scanNewestFirst(history::Scan::Live, [&](long n, const history::RecordView&) {
    live.insert(n);
    return true;
  });
  EXPECT_EQ(deletedNow, deleted);
  EXPECT_EQ(live.size() + deleted.size(), 340u);
  EXPECT_EQ(deleted.size(), 40u + 100u);
}

// Two programs writing one entry: one overwrites it while the other marks it
// deleted, or both overwrite it, for thousands of rounds. Each looks at the
// entry under the writer lock before every write and counts the times its
// two records were not of one write; at the end the entry holds the last
// overwrite that was acknowledged, whole.
TEST_F(HistoryProcesses, RacingOverwritesAndDeletionsKeepEveryPairWhole) {
  constexpr int kRounds = 1500;
  const std::string rounds = std::to_string(kRounds);
  appendTagged("start");
  const std::vector<std::string> overwriter{"overwrite", "1", rounds, "a"};
  for (const std::vector<std::string>& other :
       {std::vector<std::string>{"delete", "1", rounds},
        std::vector<std::string>{"overwrite", "1", rounds, "b"}}) {
    SCOPED_TRACE(other[0]);
    Writer a(overwriter), b(other);
    auto finish = [](Writer& w, std::string& last) {
      std::string text;
      while (w.line(text)) last = text;
      EXPECT_EQ(w.wait(), 0) << last;
    };
    std::string lastA, lastB;
    std::thread ta([&] { finish(a, lastA); });
    finish(b, lastB);
    ta.join();
    EXPECT_EQ(lastA, "done " + rounds + " 0") << "the overwriter met broken pairs";
    EXPECT_EQ(lastB, "done " + rounds + " 0") << "the other writer met broken pairs";
    const auto e = history::readEntry(1);
    ASSERT_TRUE(e);
    const std::string name = e->attributes[AttributeField::Name];
    EXPECT_EQ(e->clinical[ClinicalField::Memo], name);
    if (other[0] == "delete") EXPECT_EQ(name, "a-" + rounds);
    else EXPECT_TRUE(name == "a-" + rounds || name == "b-" + rounds) << name;
  }
  EXPECT_EQ(history::attributeCount(), 1);
  EXPECT_EQ(history::clinicalCount(), 1);
}

// A copy that hangs while it holds an entry's record lock: an overwrite
// gives up before it writes either record, and one whose attribute record
// fails after the clinical one was written puts the clinical one back.
TEST_F(HistoryProcesses, FailedOverwriteLeavesTheEarlierPair) {
  appendTagged("before");
  const common::ExamineeRecord later = taggedExaminee("after");
  const auto attributes = common::attributesOf(later, "2024/05/08");
  const auto clinical = common::clinicalOf(later, "2024/05/08");
  {
    Writer hung(std::vector<std::string>{"lock", "1", "3000"});
    std::string text;
    ASSERT_TRUE(hung.line(text));
    ASSERT_EQ(text, "locked");
    try {
      history::overwriteEntry(1, attributes, clinical);
      ADD_FAILURE() << "the overwrite went through a held record lock";
    } catch (const fw::RuntimeError& e) {
      EXPECT_EQ(e.number(), fw::err::LockViolation);
    }
    EXPECT_EQ(checkPairs().at(1), "before");
  }
  history::failNextAttributeWriteForTesting();
  try {
    history::overwriteEntry(1, attributes, clinical);
    ADD_FAILURE() << "the failing attribute write was not reported";
  } catch (const fw::RuntimeError& e) {
    EXPECT_EQ(e.number(), fw::err::DiskFull);
  }
  EXPECT_EQ(checkPairs().at(1), "before");
  EXPECT_EQ(history::overwriteEntry(1, attributes, clinical), history::EntryCheck::Current);
  EXPECT_EQ(checkPairs().at(1), "after");
}

// Another program holding the record lock of an entry (marking it deleted)
// while this one scans, reads or deletes: the reader waits the moment out
// instead of failing with a lock violation, which would end the program.
TEST_F(HistoryProcesses, ReadersWaitWhileAnotherProgramMarksADeletion) {
  for (int i = 1; i <= 5; ++i) {
    appendTagged("e" + std::to_string(i));
  }
  auto lockedBy = [](long n) {
    auto w = std::make_unique<Writer>(std::vector<std::string>{"lock", std::to_string(n), "150"});
    std::string text;
    EXPECT_TRUE(w->line(text));
    EXPECT_EQ(text, "locked");
    return w;
  };
  {
    auto holder = lockedBy(3);
    long seen = 0;
    history::scanNewestFirst(history::Scan::Live, [&](long, const history::RecordView&) {
      ++seen;
      return true;
    });
    EXPECT_EQ(seen, 5);
    EXPECT_EQ(holder->wait(), 0);
  }
  {
    auto holder = lockedBy(3);
    auto e = history::readEntry(3);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->attributes[AttributeField::Name], "e3");
    EXPECT_EQ(holder->wait(), 0);
  }
  {
    auto holder = lockedBy(4);
    EXPECT_TRUE(history::markDeleted(4));
    EXPECT_EQ(holder->wait(), 0);
  }
  {
    auto holder = lockedBy(2);
    const common::ExamineeRecord r = taggedExaminee("e2 again");
    history::overwriteEntry(2, common::attributesOf(r, "2024/05/08"),
                            common::clinicalOf(r, "2024/05/08"));
    EXPECT_EQ(holder->wait(), 0);
  }
  EXPECT_EQ(checkPairs().at(2), "e2 again");
  std::set<long> deleted;
  history::scanNewestFirst(history::Scan::Deleted, [&](long n, const history::RecordView&) {
    deleted.insert(n);
    return true;
  });
  EXPECT_EQ(deleted, (std::set<long>{4}));
}

}  // namespace
