// The topography classes: made by name, sharing one counted table per class
// that the routing library unpacks on the first acquire and frees on the
// last release; the unpacked table's layout; unload with a table held.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "device/routingVariants.h"
#include "orb/tClassImplementation.h"
#include "sim/simAllocator.h"
#include "sim/simRouting.h"
#include "sim/simStatusLog.h"
#include "sim/simSync.h"
#include "support/moduleFixture.h"
#include "support/silentRefusals.h"
#include "support/statusRecords.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoSim::tRoutingRecord;
using tRIVO = nRIVOUdSeries::tTopography;

const char* const kClassNames[] = {
    "nNoRIVOUdSeries37Pin::tTopography", "nNoRIVOUdSeries::tTopography",
    "nPXIUdSeries37Pin::tTopography",    "nPXIUdSeries::tTopography",
    "nRIVOUdSeries37Pin::tTopography",   "nRIVOUdSeries::tTopography"};

class TopographyTest : public nQoTest::tLeakCheckedTest {
 protected:
  void SetUp() override {
    tLeakCheckedTest::SetUp();
    nQoSim::resetRouting();
  }

  static std::vector<tRoutingRecord> calls(const std::string& function) {
    std::vector<tRoutingRecord> found;
    for (const tRoutingRecord& record : nQoSim::routingLog())
      if (record.function == function) found.push_back(record);
    return found;
  }

  // A topography made through the class registry, deleted through it.
  struct tMade {
    explicit tMade(const char* name) {
      int status = 0;
      object = nQoORB100::tClassRegistry::createByName(name, status);
      EXPECT_EQ(status, 0) << name;
    }
    ~tMade() {
      int status = 0;
      if (object != nullptr) object->getClass(status).deleteInstance(object, status);
    }
    tRIVO* rivo() const {
      return static_cast<tRIVO*>(object->___CPPKRLDynamicCast(&tRIVO::___classID));
    }
    nQoORB100::tObject* object = nullptr;
  };
};

uint32_t wordAt(const uint8_t* table, std::size_t& at) {
  uint32_t value;
  std::memcpy(&value, table + at, 4);
  at += 4;
  return value;
}

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

TEST_F(TopographyTest, TwoAcquiresUnpackOnceAndTheSecondReleaseFreesOnce) {
  nQoTest::tLoadedModule module;
  tMade made("nRIVOUdSeries::tTopography");
  tRIVO* topography = made.rivo();
  ASSERT_NE(topography, nullptr);
  EXPECT_EQ(topography->getTable(), nullptr);

  int cloneStatus = 0;
  nQoORB100::tObject* cloned = topography->clone(cloneStatus);
  ASSERT_NE(cloned, nullptr);
  auto* second = static_cast<tRIVO*>(cloned->___CPPKRLDynamicCast(&tRIVO::___classID));
  ASSERT_NE(second, nullptr);

  tStatus2 status;
  topography->acquireTable(status);
  second->acquireTable(status);
  EXPECT_EQ(status.code, 0);
  const auto unpacks = calls("unpackTopographyTable");
  ASSERT_EQ(unpacks.size(), 1u);
  const nQoUdR100::tPackedTable& packed = nRIVOUdSeries::kTopographyTable;
  EXPECT_EQ(unpacks[0].object, packed.bytes);
  EXPECT_EQ(unpacks[0].words,
            (std::vector<uint64_t>{0x01004012, packed.unpackedSize, packed.packedSize,
                                   reinterpret_cast<uintptr_t>(packed.words), 10,
                                   reinterpret_cast<uintptr_t>(&tRIVO::___classID)}));
  const void* table = topography->getTable();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(second->getTable(), table);
  EXPECT_EQ(tRIVO::record()->count(), 2u);

  second->releaseTable(status);
  EXPECT_EQ(topography->getTable(), table);
  EXPECT_TRUE(calls("freeTopographyTable").empty());
  topography->releaseTable(status);
  EXPECT_EQ(status.code, 0);
  const auto frees = calls("freeTopographyTable");
  ASSERT_EQ(frees.size(), 1u);
  EXPECT_EQ(frees[0].object, table);
  EXPECT_EQ(topography->getTable(), nullptr);
  EXPECT_EQ(nQoSim::liveRoutingTables(), 0);
  made.object->getClass(cloneStatus).deleteInstance(cloned, cloneStatus);
}

TEST_F(TopographyTest, AReleaseWithNothingHeldIsRefusedAndTheCountStaysAtZero) {
  nQoTest::tLoadedModule module;
  tMade made("nRIVOUdSeries::tTopography");
  tStatus2 refused;
  made.rivo()->releaseTable(refused);
  EXPECT_EQ(refused.code, -50150);
  EXPECT_TRUE(nQoTest::loggedAt(-50150, "tSharedTable", 45));
  EXPECT_EQ(tRIVO::record()->count(), 0u);
  EXPECT_TRUE(calls("freeTopographyTable").empty());

  tStatus2 status;
  made.rivo()->acquireTable(status);
  EXPECT_EQ(calls("unpackTopographyTable").size(), 1u);
  made.rivo()->releaseTable(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(calls("freeTopographyTable").size(), 1u);
}

TEST_F(TopographyTest, AFailedUnpackCountsNothingAndPassesItsCodeOn) {
  nQoTest::tLoadedModule module;
  tMade made("nRIVOUdSeries::tTopography");
  tStatus2 failed;
  nQoSim::failRoutingCall(1, -50103);
  made.rivo()->acquireTable(failed);
  EXPECT_EQ(failed.code, -50103);
  EXPECT_EQ(tRIVO::record()->count(), 0u);
  EXPECT_EQ(made.rivo()->getTable(), nullptr);

  tStatus2 status;
  made.rivo()->acquireTable(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(calls("unpackTopographyTable").size(), 2u);
  EXPECT_NE(made.rivo()->getTable(), nullptr);
  made.rivo()->releaseTable(status);
  EXPECT_EQ(tRIVO::record()->count(), 0u);
}

TEST_F(TopographyTest, TheUnpackedTableListsGroupStartsSortedNamesAndTheTerminalCount) {
  nQoTest::tLoadedModule module;
  tMade made("nRIVOUdSeries::tTopography");
  tStatus2 status;
  made.rivo()->acquireTable(status);
  const auto* table = static_cast<const uint8_t*>(made.rivo()->getTable());
  ASSERT_NE(table, nullptr);
  std::size_t at = 0;
  const uint32_t groups = wordAt(table, at);
  std::vector<uint32_t> starts;
  for (uint32_t g = 0; g < groups; ++g) starts.push_back(wordAt(table, at));
  EXPECT_EQ(starts, (std::vector<uint32_t>{0, 70, 85, 93, 95}));
  const uint32_t count = wordAt(table, at);
  std::map<std::string, uint32_t> numbers;
  std::string previous;
  uint32_t highest = 0;
  for (uint32_t n = 0; n < count; ++n) {
    const uint32_t length = wordAt(table, at);
    const std::string name(reinterpret_cast<const char*>(table + at), length);
    at += length;
    numbers[name] = wordAt(table, at);
    highest = std::max(highest, numbers[name]);
    EXPECT_LT(lower(previous), lower(name)) << name;
    previous = name;
  }
  EXPECT_EQ(numbers.at("Ctr0ArmStartTrigger"), numbers.at("Ctr0StartArmTrigger"));
  const uint32_t terminals = wordAt(table, at);
  EXPECT_EQ(terminals, 182u);
  EXPECT_EQ(highest + 1, terminals);
  made.rivo()->releaseTable(status);
}

// Every variant: the terminal count and tag count of its class, and group
// starts that put each node group at its byte offset (36 bytes an entry).
template <class tVariant>
void checkVariant(uint32_t terminals, uint32_t tags) {
  SCOPED_TRACE(tVariant::kTopographyClassName);
  using tClass = nQoUdR100::tTopographyOf<tVariant>;
  tClass topography;
  tStatus2 status;
  topography.acquireTable(status);
  const auto* table = static_cast<const uint8_t*>(topography.getTable());
  ASSERT_NE(table, nullptr);
  std::size_t at = 0;
  const uint32_t groups = wordAt(table, at);
  EXPECT_EQ(groups, tVariant::k37Pin ? 6u : 5u);
  ASSERT_EQ(groups, tVariant::kNodeLayout.groupCount);
  for (uint32_t g = 0; g < groups; ++g)
    EXPECT_EQ(wordAt(table, at) * 36, tVariant::kNodeLayout.groups[g].byteOffset) << g;
  const uint32_t names = wordAt(table, at);
  for (uint32_t n = 0; n < names; ++n) at += wordAt(table, at) + 4;
  EXPECT_EQ(wordAt(table, at), terminals);
  EXPECT_EQ(tVariant::kNodeLayout.terminalCount, terminals);
  EXPECT_EQ(nQoSim::routingLog().back().words[4], tags);
  topography.releaseTable(status);
  EXPECT_EQ(status.code, 0);
}

TEST_F(TopographyTest, EachVariantsTableAgreesWithItsNodeLayout) {
  nQoTest::tLoadedModule module;
  checkVariant<nNoRIVOUdSeries37Pin::tVariant>(193, 7);
  checkVariant<nNoRIVOUdSeries::tVariant>(182, 7);
  checkVariant<nPXIUdSeries37Pin::tVariant>(190, 13);
  checkVariant<nPXIUdSeries::tVariant>(182, 13);
  checkVariant<nRIVOUdSeries37Pin::tVariant>(190, 10);
  checkVariant<nRIVOUdSeries::tVariant>(182, 10);
}

TEST_F(TopographyTest, ConcurrentAcquiresAndReleasesPairEveryUnpackWithOneFree) {
  nQoTest::tLoadedModule module;
  tMade made("nRIVOUdSeries::tTopography");
  tRIVO* topography = made.rivo();
  std::vector<std::thread> threads;
  std::vector<int> codes(8, 0);
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([&, t] {
      for (int round = 0; round < 200; ++round) {
        tStatus2 status;
        topography->acquireTable(status);
        if (topography->getTable() == nullptr) status.setCode(-1, "test", "thread", 1);
        topography->releaseTable(status);
        if (status.code != 0) codes[t] = status.code;
      }
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(codes, std::vector<int>(8, 0));
  EXPECT_EQ(tRIVO::record()->count(), 0u);
  EXPECT_EQ(calls("unpackTopographyTable").size(), calls("freeTopographyTable").size());
  EXPECT_EQ(nQoSim::liveRoutingTables(), 0);
}

TEST_F(TopographyTest, TheSixClassesResolveWhileLoadedAndUnloadFreesATableStillHeld) {
  const int64_t before = nQoSim::liveAllocations();
  const int locksBefore = nQoSim::liveSyncObjects();
  {
    nQoTest::tLoadedModule module;
    for (const char* name : kClassNames)
      EXPECT_NE(nQoORB100::tClassRegistry::find(name), nullptr) << name;
    tMade made("nRIVOUdSeries::tTopography");
    tStatus2 status;
    made.rivo()->acquireTable(status);
    EXPECT_EQ(nQoSim::liveRoutingTables(), 1);
  }
  for (const char* name : kClassNames)
    EXPECT_EQ(nQoORB100::tClassRegistry::find(name), nullptr) << name;
  EXPECT_EQ(nQoSim::liveRoutingTables(), 0);
  EXPECT_EQ(calls("freeTopographyTable").size(), 1u);
  EXPECT_EQ(nQoSim::liveAllocations(), before);
  EXPECT_EQ(nQoSim::liveSyncObjects(), locksBefore);
}

TEST_F(TopographyTest, ARecordWhoseLockFailedReportsItsCodeAndUnpacksNothing) {
  void* classID = nullptr;
  nQoSim::failSyncOpen(1);
  nQoUdR100::tSharedTable shared(nRIVOUdSeries::kTopographyTable,
                                 nQoUdR100::tSharedTable::kTopography, &classID);
  tStatus2 acquired, released;
  shared.acquire(acquired);
  shared.release(released);
  EXPECT_EQ(acquired.code, -50352);
  EXPECT_EQ(released.code, -50352);
  EXPECT_TRUE(nQoSim::routingLog().empty());
}

// A lock that refuses with no error of its own (a warning, or no code at all)
// is a refusal all the same: kRefused, nothing counted or unpacked.
TEST_F(TopographyTest, ARecordLockThatRefusesWithoutAnErrorIsReportedAsRefused) {
  void* classID = nullptr;
  nQoUdR100::tSharedTable shared(nRIVOUdSeries::kTopographyTable,
                                 nQoUdR100::tSharedTable::kTopography, &classID);
  for (const nQoTest::tSilentRefusal& refusal : nQoTest::kSilentRefusals) {
    SCOPED_TRACE(refusal.name);
    nQoSim::clearStatusLog();
    refusal.arm();
    tStatus2 acquired;
    shared.acquire(acquired);
    EXPECT_EQ(acquired.code, -50150);
    EXPECT_TRUE(nQoTest::loggedAt(-50150, "tSharedTable", 55));
    EXPECT_EQ(shared.count(), 0u);
    EXPECT_TRUE(nQoSim::routingLog().empty());
  }
}

TEST_F(TopographyTest, TheUnpackerRefusesACorruptStreamAWrongSizeOrVersionAndKeepsNothing) {
  const nQoUdR100::tPackedTable& packed = nRIVOUdSeries::kTopographyTable;
  std::vector<uint8_t> corrupt(packed.bytes, packed.bytes + packed.packedSize);
  corrupt[corrupt.size() / 2] ^= 0x5A;
  struct tCase {
    const char* what;
    uint32_t version, size;
    const uint8_t* bytes;
  } cases[] = {
      {"corrupt", packed.version, packed.unpackedSize, corrupt.data()},
      {"larger", packed.version, packed.unpackedSize + 1, packed.bytes},
      {"smaller", packed.version, packed.unpackedSize - 1, packed.bytes},
      {"version", packed.version + 1, packed.unpackedSize, packed.bytes},
      {"none", packed.version, packed.unpackedSize, nullptr},
  };
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.what);
    tStatus2 status;
    void* data = &status;
    EXPECT_EQ(
        nQoMRU230::unpackTopographyTable(c.version, c.size, c.bytes, packed.packedSize,
                                         packed.words, packed.wordCount, nullptr, &data, status),
        nullptr);
    EXPECT_EQ(status.code, -50150);
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(nQoSim::liveRoutingTables(), 0);
  }
}

}  // namespace
