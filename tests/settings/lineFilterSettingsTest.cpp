// The line filter settings: the base part first, the entry list streamed,
// appended to and copied node by node, and every allocation failure kept in
// the sticky flag.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "orb/tByteInputStream.h"
#include "settings/tEmptySettings.h"
#include "settings/tTavikLineFilterSettings.h"
#include "sim/simAllocator.h"
#include "sim/simStreams.h"
#include "support/moduleFixture.h"
#include "support/settingsObjects.h"
#include "support/statusRecords.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoUdR100::tLineFilterEntry;
using nQoUdR100::tTavikLineFilterSettings;

std::vector<tLineFilterEntry> entriesOf(const tTavikLineFilterSettings& settings) {
  std::vector<tLineFilterEntry> out;
  settings.supervisorRecord().lineEntries.forEach(
      [&](const tLineFilterEntry& entry) { out.push_back(entry); });
  return out;
}

// Names the identifier (so that copying a name of the same length takes no
// allocation) and appends the entries.
void hold(tTavikLineFilterSettings& settings, const std::vector<tLineFilterEntry>& entries) {
  tStatus2 status;
  settings.supervisorRecord().identifier.setString("LineFilter", status);
  for (const tLineFilterEntry& entry : entries)
    ASSERT_TRUE(settings.supervisorRecord().lineEntries.append(entry));
}

using nQoTest::streamOf;

const std::vector<tLineFilterEntry> kTwo = {{1, 3, 2}, {0, 15, 1}};
const std::vector<tLineFilterEntry> kThree = {{0, 1, 3}, {1, 7, 0}, {0, 2, 2}};

class LineFilterSettingsTest : public nQoTest::tLeakCheckedTest {};

TEST_F(LineFilterSettingsTest, StreamsBaseIdentifierCountAndEntriesAndReadingAppends) {
  tTavikLineFilterSettings source;
  hold(source, kTwo);
  source.setBaseValue(0xBA5E);
  int status = 0;
  nQoSim::tRecordingOutputStream out;
  source.writeExternal(out, status);
  std::vector<uint64_t> words;
  for (const nQoSim::tStreamCall& call : out.calls())
    if (call.operation == "writeU32") words.push_back(call.value);
  EXPECT_EQ(words, (std::vector<uint64_t>{0xBA5E, 0, 2, 1, 3, 2, 0, 15, 1}));
  EXPECT_EQ(out.calls()[1].operation, "writeU64");

  tTavikLineFilterSettings fresh, holding;
  hold(holding, {{0, 9, 4}});
  nQoSim::tScriptedInputStream in(out.bytes()), again(out.bytes());
  fresh.readExternal(in, status);
  holding.readExternal(again, status);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(entriesOf(fresh), kTwo);
  EXPECT_EQ(fresh.getBaseValue(), 0xBA5Eu);
  EXPECT_EQ(entriesOf(holding), (std::vector<tLineFilterEntry>{{0, 9, 4}, {1, 3, 2}, {0, 15, 1}}));
}

TEST_F(LineFilterSettingsTest, AHugeCountEndsAtTheStreamsEndWithTheEntriesThatArrived) {
  tTavikLineFilterSettings defaults;
  std::vector<uint8_t> bytes = streamOf(defaults);
  bytes.resize(bytes.size() - 4);
  bytes.insert(bytes.end(), {0xFF, 0xFF, 0xFF, 0xFF});
  for (uint8_t word : {1, 3, 2, 0, 15, 1}) bytes.insert(bytes.end(), {word, 0, 0, 0});
  tTavikLineFilterSettings target;
  nQoORB100::tByteInputStream in(bytes.data(), bytes.size());
  int status = 0;
  target.readExternal(in, status);
  EXPECT_EQ(status, nQoORB100::kEndOfStream);
  EXPECT_EQ(entriesOf(target), kTwo);

  // A count one short of the entries: the entry cut by the stream's end is
  // not appended.
  bytes.resize(bytes.size() - 4);
  tTavikLineFilterSettings cut;
  nQoORB100::tByteInputStream shorter(bytes.data(), bytes.size());
  status = 0;
  cut.readExternal(shorter, status);
  EXPECT_EQ(status, nQoORB100::kEndOfStream);
  EXPECT_EQ(entriesOf(cut), (std::vector<tLineFilterEntry>{{1, 3, 2}}));
}

TEST_F(LineFilterSettingsTest, CopyFromAssignsInPlaceAppendsTheMissingAndFreesTheSurplus) {
  tTavikLineFilterSettings one, three, target;
  hold(one, {{1, 5, 3}});
  hold(three, kThree);
  three.supervisorRecord().identifier.setIndex(2);
  three.setBaseValue(0x33);
  hold(target, kTwo);
  hold(target, {{0, 0, 0}});

  tStatus2 status;
  int64_t live = nQoSim::liveAllocations();
  nQoUdR100::copyFrom(target, &one, status);
  EXPECT_EQ(nQoSim::liveAllocations(), live - 2);
  EXPECT_EQ(entriesOf(target), entriesOf(one));

  live = nQoSim::liveAllocations();
  nQoUdR100::copyFrom(target, &three, status);
  EXPECT_EQ(nQoSim::liveAllocations(), live + 2);
  EXPECT_EQ(entriesOf(target), kThree);
  EXPECT_EQ(target.supervisorRecord().identifier.getIndex(), 2u);
  EXPECT_EQ(target.getBaseValue(), 0u);
  EXPECT_EQ(status.code, 0);

  // Null, another class, or itself: no change.
  nQoUdR100::tEmptySettings other;
  tStatus2 null, foreign, self;
  nQoUdR100::copyFrom(target, nullptr, null);
  nQoUdR100::copyFrom(target, &other, foreign);
  nQoUdR100::copyFrom(target, &target, self);
  EXPECT_EQ(null.code, -89000);
  EXPECT_EQ(foreign.code, -89000);
  EXPECT_EQ(self.code, 0);
  EXPECT_EQ(entriesOf(target), kThree);

  // A node that cannot be allocated drops its entry only.
  tTavikLineFilterSettings small;
  hold(small, {{1, 5, 3}});
  nQoSim::clearStatusLog();
  nQoSim::failAllocation(1);
  tStatus2 failed;
  nQoUdR100::copyFrom(small, &three, failed);
  EXPECT_EQ(failed.code, -50352);
  EXPECT_TRUE(nQoTest::loggedAt(-50352, "tTavikLineFilterSettings", 100));
  EXPECT_EQ(entriesOf(small), (std::vector<tLineFilterEntry>{kThree[0], kThree[2]}));

  // An identifier whose name cannot be stored is reported at the same site.
  tTavikLineFilterSettings named, unnamed;
  hold(named, {});
  tStatus2 naming;
  named.supervisorRecord().identifier.setString("LineFilterOfAnotherBoard", naming);
  ASSERT_EQ(naming.code, 0);
  nQoSim::clearStatusLog();
  nQoSim::failAllocation(1);
  tStatus2 lost;
  nQoUdR100::copyFrom(unnamed, &named, lost);
  EXPECT_EQ(lost.code, -50352);
  EXPECT_TRUE(nQoTest::loggedAt(-50352, "tTavikLineFilterSettings", 100));

  // Assignment copies the base part too and keeps the failure in the flag.
  tTavikLineFilterSettings assigned;
  hold(assigned, {});
  nQoSim::failAllocation(2);
  assigned = three;
  EXPECT_EQ(assigned.getBaseValue(), 0x33u);
  EXPECT_TRUE(assigned.supervisorRecord().lineEntries.allocationFailed());
  EXPECT_EQ(entriesOf(assigned), (std::vector<tLineFilterEntry>{kThree[0], kThree[2]}));
}

TEST_F(LineFilterSettingsTest, AFailedNodeHeadOrCloneIsReportedAsOutOfMemory) {
  tTavikLineFilterSettings source;
  hold(source, kThree);
  const std::vector<uint8_t> bytes = streamOf(source);

  // What reading takes before the first node: the identifier's name.
  tTavikLineFilterSettings probe;
  const uint64_t before = nQoSim::totalAllocations();
  int status = 0;
  nQoORB100::tByteInputStream in(bytes.data(), bytes.size());
  probe.readExternal(in, status);
  const uint64_t beforeNodes = nQoSim::totalAllocations() - before - kThree.size();

  tTavikLineFilterSettings target;
  nQoSim::failAllocation(beforeNodes + 2);
  nQoORB100::tByteInputStream again(bytes.data(), bytes.size());
  target.readExternal(again, status);
  EXPECT_EQ(status, -50352);
  EXPECT_EQ(again.position(), bytes.size());
  EXPECT_EQ(entriesOf(target), (std::vector<tLineFilterEntry>{kThree[0], kThree[2]}));

  // A head that could not be allocated: an empty list that writes count 0
  // and takes no entries.
  nQoSim::failAllocation(1);
  tTavikLineFilterSettings headless;
  nQoSim::tRecordingOutputStream out;
  int writing = 0;
  headless.writeExternal(out, writing);
  EXPECT_EQ(writing, 0);
  EXPECT_EQ(out.calls().back().operation, "writeU32");
  EXPECT_EQ(out.calls().back().value, 0u);
  int reading = 0;
  nQoORB100::tByteInputStream third(bytes.data(), bytes.size());
  headless.readExternal(third, reading);
  tStatus2 copying;
  nQoUdR100::copyFrom(headless, &source, copying);
  EXPECT_EQ(reading, -50352);
  EXPECT_EQ(copying.code, -50352);
  EXPECT_TRUE(entriesOf(headless).empty());

  // A clone that cannot be allocated.
  nQoTest::tLoadedModule module;
  nQoSim::failAllocation(1);
  int cloning = 0;
  EXPECT_EQ(source.clone(cloning), nullptr);
  EXPECT_EQ(cloning, -50352);
}

}  // namespace
