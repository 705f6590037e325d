// The EEPROM supervisor over the real tEEPROM and content map on an
// in-memory device: the request switch with its blocks, length checks and
// sites, one user at a time, and the lifecycle word.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "primitives/eeprom/tEEPROM.h"
#include "primitives/eeprom/tPralEEPROMContentMap.h"
#include "settings/tEmptySettings.h"
#include "settings/tParameterBlockValidateHelper.h"
#include "sim/simParameterBlock.h"
#include "sim/simResourceBroker.h"
#include "sim/simStatusLog.h"
#include "supervisors/controlRequests.h"
#include "supervisors/eeprom/tEEPROMSupervisor.h"
#include "support/brokerPools.h"
#include "support/memoryEEPROM.h"
#include "support/moduleFixture.h"
#include "support/reservationDoubles.h"
#include "support/statusRecords.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoSim::tByteParameterBlock;
using nQoUdR100::tEEPROMSupervisor;

// The calibration content map, noting the data area and count that reach it.
class tNotingContentMap : public nQoUdP100::tPralEEPROMContentMap {
 public:
  using tPralEEPROMContentMap::tPralEEPROMContentMap;
  void setContentMapInfo(uint8_t* data, uint32_t count) override { infos.push_back({data, count}); }
  std::vector<std::pair<uint8_t*, uint32_t>> infos;
};

class EEPROMSupervisorTest : public tLeakCheckedTest {
 protected:
  void SetUp() override {
    tLeakCheckedTest::SetUp();
    nQoSim::resetResourceBroker();
    for (uint32_t i = 0; i < device.image.size(); ++i) device.image[i] = uint8_t(i * 7);
    device.shadow = device.image;
    nQoUdP100::tEEPROMHeader header;
    header.area14693Address = 0x200;
    header.area14693Size = 0x80;
    contentMap.setHeader(header, setup);
    pool.emplace(&eeprom);
    settings.emplace();
    offerPool(settings->record<0>().identifier, {5, 6}, "EEPROM", &*pool, setup);
    ASSERT_EQ(setup.code, 0);
  }
  void TearDown() override {
    nQoSim::resetResourceBroker();
    settings.reset();
    pool.reset();
    tLeakCheckedTest::TearDown();
  }

  void bringUp(tEEPROMSupervisor& supervisor) {
    tStatus2 up;
    supervisor.initialize(*settings, &facade, up);
    supervisor.link(map, up);
    supervisor.reserveResource(up);
    ASSERT_EQ(up.code, 0);
    nQoSim::clearStatusLog();
  }
  void bringDown(tEEPROMSupervisor& supervisor) {
    tStatus2 down;
    supervisor.releaseResource(down);
  }

  tStatus2 setup;
  tCallLog log;
  tScriptedFacade facade{log, "facade"};
  tScriptedSupervisorMap map{log, "map"};
  tMemoryEEPROM device;
  tNotingContentMap contentMap{4};
  nQoUdP100::tEEPROM eeprom{&contentMap, &device};
  std::optional<nQoUdR100::tEEPROMResourcePool<nQoUdP100::tEEPROM*>> pool;
  std::optional<nQoUdR100::tEEPROMSettings> settings;
};

TEST_F(EEPROMSupervisorTest, AreaAndByteRequests) {
  tEEPROMSupervisor supervisor;
  bringUp(supervisor);
  std::vector<uint32_t> answer;
  EXPECT_EQ(request(supervisor, 257, words({14693}), 8, nullptr, &answer), 0);
  EXPECT_EQ(answer, (std::vector<uint32_t>{0x80, 0x200}));

  const tBytes before = device.image;
  tBytes sixteen(16);
  for (uint8_t i = 0; i < 16; ++i) sixteen[i] = uint8_t(0xA0 + i);
  EXPECT_EQ(request(supervisor, 264, words({40, 17}, sixteen)), -50150);
  EXPECT_TRUE(loggedAt(-50150, "tBaseEEPROMSupervisor", 293));
  EXPECT_EQ(device.image, before);
  EXPECT_EQ(request(supervisor, 264, words({40, 16}, sixteen)), 0);
  EXPECT_EQ(tBytes(device.image.begin() + 40, device.image.begin() + 56), sixteen);

  // Into the shadow: four bytes at 16, then committed in the write state.
  EXPECT_EQ(request(supervisor, 262, std::nullopt), 0);
  EXPECT_EQ(request(supervisor, 265, words({16, 4}, {1, 2, 3, 4})), 0);
  EXPECT_EQ(device.shadowWrites, (std::vector<tMemoryEEPROM::tWrite>{{16, {1, 2, 3, 4}}}));
  EXPECT_NE(device.image[16], 1);
  EXPECT_EQ(request(supervisor, 269, std::nullopt), 0);
  EXPECT_EQ(tBytes(device.image.begin() + 16, device.image.begin() + 20), (tBytes{1, 2, 3, 4}));
  EXPECT_EQ(request(supervisor, 261, std::nullopt), 0);
  EXPECT_EQ(request(supervisor, 269, std::nullopt), -50012);

  tBytes out;
  EXPECT_EQ(request(supervisor, 267, words({16, 4}), 4, &out), 0);
  EXPECT_EQ(out, (tBytes{1, 2, 3, 4}));
  EXPECT_EQ(request(supervisor, 266, words({16, 5}), 4, &out), -50150);
  EXPECT_TRUE(loggedAt(-50150, "tBaseEEPROMSupervisor", 342));
  EXPECT_EQ(out, tBytes(4, 0));
  bringDown(supervisor);
}

// Code 255 selects another area for the task; the release selects the one
// the EEPROM was reserved with again, so the board's coefficient reads and
// the next owner find the area a fresh reservation finds.
TEST_F(EEPROMSupervisorTest, TheReleaseSelectsTheAreaOfTheReservationAgain) {
  tEEPROMSupervisor supervisor;
  bringUp(supervisor);
  std::vector<uint32_t> answer;
  EXPECT_EQ(request(supervisor, 255, words({14694})), 0);
  EXPECT_EQ(contentMap.getSelectedArea(), 14694u);
  bringDown(supervisor);
  EXPECT_EQ(contentMap.getSelectedArea(), 14693u);

  tEEPROMSupervisor next;
  bringUp(next);
  EXPECT_EQ(request(next, 256, std::nullopt, 4, nullptr, &answer), 0);
  EXPECT_EQ(answer, (std::vector<uint32_t>{14693}));
  bringDown(next);
}

TEST_F(EEPROMSupervisorTest, ArrayLengthIsCheckedInSixtyFourBits) {
  tEEPROMSupervisor supervisor;
  bringUp(supervisor);
  tBytes out;
  EXPECT_EQ(request(supervisor, 268, words({0, 0x10000, 0x10000}), 64, &out), -50150);
  EXPECT_TRUE(loggedAt(-50150, "tBaseEEPROMSupervisor", 385));
  EXPECT_EQ(out, tBytes(64, 0));
  EXPECT_EQ(request(supervisor, 268, words({8, 4, 10}), 39, &out), -50150);
  EXPECT_EQ(out, tBytes(39, 0));
  EXPECT_EQ(request(supervisor, 268, words({8, 4, 10}), 40, &out), 0);
  EXPECT_EQ(out, tBytes(device.shadow.begin() + 8, device.shadow.begin() + 48));
  EXPECT_EQ(device.reads, 10u);

  // Elements of no bytes pass the length check for any count and read
  // nothing at all.
  device.reads = 0;
  device.readLimit = 1000;
  EXPECT_EQ(request(supervisor, 268, words({8, 0, 0xFFFFFFFF}), 4, &out), 0);
  EXPECT_EQ(device.reads, 0u);
  EXPECT_EQ(out, tBytes(4, 0));
  bringDown(supervisor);
}

// Each allocation of the settings copy failed in turn (the identifier kept
// apart, then the settings' own): -50352 at the supervisor's file, line 125,
// the word at 0, and nothing left once the supervisor is gone.
TEST_F(EEPROMSupervisorTest, AnInitializeWhoseSettingsCopyLostAnAllocationFails) {
  const int64_t base = nQoSim::liveAllocations();
  uint64_t failures = 0;
  for (uint64_t nth = 1; nth < 100; ++nth) {
    SCOPED_TRACE(nth);
    nQoSim::clearStatusLog();
    tStatus2 status;
    {
      tEEPROMSupervisor supervisor;
      nQoSim::failAllocation(nth);
      supervisor.initialize(*settings, &facade, status);
      nQoSim::failAllocation(0);
      if (status.code == 0) {
        EXPECT_EQ(supervisor.getLifecycle(), 1u);
        break;
      }
      ++failures;
      EXPECT_EQ(status.code, -50352);
      EXPECT_TRUE(loggedAt(-50352, "tBaseEEPROMSupervisor", 125));
      EXPECT_EQ(supervisor.getLifecycle(), 0u);
    }
    EXPECT_EQ(nQoSim::liveAllocations(), base);
  }
  EXPECT_EQ(failures, 2u);
}

TEST_F(EEPROMSupervisorTest, SwitchFailuresAndTheirSites) {
  tEEPROMSupervisor supervisor;
  tStatus2 s;
  supervisor.initialize(*settings, &facade, s);
  EXPECT_EQ(request(supervisor, 267, words({0, 4}), 4), -50004);
  EXPECT_TRUE(loggedAt(-50004, "tBaseEEPROMSupervisor", 145));
  bringUp(supervisor);
  for (uint32_t code : {2u, 3u, 254u, 272u, 287u, 4100u, 4101u, 0xFFFFFFFFu}) {
    EXPECT_EQ(request(supervisor, code, words({0, 0, 0}), 16), -50150) << code;
    EXPECT_TRUE(loggedAt(-50150, "tBaseEEPROMSupervisor", 797));
  }
  // A coefficient header needs more than 26 bytes before anything is read,
  // and all 36 to be read.
  EXPECT_EQ(request(supervisor, 273, tBytes(26, 0)), -50150);
  EXPECT_TRUE(loggedAt(-50150, "tBaseEEPROMSupervisor", 837));
  nQoSim::clearStatusLog();
  EXPECT_EQ(request(supervisor, 273, tBytes(30, 0)), -50150);
  EXPECT_TRUE(loggedAt(-50150, "tParameterBlockValidateHelper", 47));
  nQoSim::clearStatusLog();
  EXPECT_EQ(request(supervisor, 273, tBytes(27, 0)), -50150) << "27 bytes are read";
  EXPECT_TRUE(loggedAt(-50150, "tParameterBlockValidateHelper", 47));
  EXPECT_FALSE(loggedAt(-50150, "tBaseEEPROMSupervisor", 837));
  EXPECT_EQ(request(supervisor, 283, std::nullopt, 16), -50004);
  EXPECT_TRUE(loggedAt(-50004, "tParameterBlockValidateHelper", 29));
  EXPECT_EQ(request(supervisor, 256, std::nullopt), -50004);
  EXPECT_TRUE(device.shadowWrites.empty());

  EXPECT_EQ(request(supervisor, 1, std::nullopt), 0);
  EXPECT_EQ(supervisor.getLifecycle(), 5u);
  supervisor.commitCancel(s);
  EXPECT_EQ(supervisor.getLifecycle(), 4u);
  bringDown(supervisor);
  EXPECT_EQ(supervisor.getLifecycle(), 2u);
}

// Requests 273 to 276 on a coefficient past the content map: an index that
// multiplies out past 32 bits, or an AI index past the four records, is
// -50003 from the map, and no byte of the device, its shadow or the out
// block changes. An index in the map is read from its own bytes.
TEST_F(EEPROMSupervisorTest, CoefficientRequestsPastTheContentMapAreRefused) {
  tEEPROMSupervisor supervisor;
  bringUp(supervisor);
  struct tChannel {
    uint32_t section, index;
    unsigned line;
  };
  const tChannel channels[] = {{1, 0x40000000, 141}, {2, 0xFFFFFFFF, 146}, {1, 4, 141}};
  const tBytes image = device.image;
  const tBytes shadow = device.shadow;
  for (uint32_t code : {273u, 274u, 275u, 276u}) {
    const bool writes = code <= 274;
    for (const tChannel& channel : channels) {
      SCOPED_TRACE(testing::Message() << code << " " << channel.index);
      nQoSim::clearStatusLog();
      // Kind 1 of the fixed block of mode 1; the range is not looked at.
      const tBytes in = words({1, channel.section, channel.index, 0, 0, 0, 0, 1, 4},
                              writes ? tBytes{0xA1, 0xA2, 0xA3, 0xA4} : tBytes{});
      tBytes out;
      const std::optional<uint32_t> outSize = writes ? std::nullopt : std::optional<uint32_t>(4);
      EXPECT_EQ(request(supervisor, code, in, outSize, &out), -50003);
      EXPECT_TRUE(loggedAt(-50003, "qomiop/eeprom/tPralEEPROMContentMap", channel.line));
      if (!writes) {
        EXPECT_EQ(out, tBytes(4, 0));
      }
      EXPECT_EQ(device.image, image);
      EXPECT_EQ(device.shadow, shadow);
      EXPECT_TRUE(device.shadowWrites.empty());
    }
  }
  // AI record 3, kind 1 of mode 1: 0x200 + 16 + 3 x 124 + 13.
  tBytes out;
  EXPECT_EQ(request(supervisor, 276, words({1, 1, 3, 0, 0, 0, 0, 1, 4}), 4, &out), 0);
  EXPECT_EQ(out, tBytes(shadow.begin() + 913, shadow.begin() + 917));
  bringDown(supervisor);
}

// Every named code reaches its handler, whichever table holds its row: without
// blocks, a request that reads blocks stops at the missing block; a request
// without blocks runs; every other code is refused at the switch's one site.
TEST_F(EEPROMSupervisorTest, EveryCodeReachesItsHandlerOrIsRefused) {
  tEEPROMSupervisor supervisor;
  bringUp(supervisor);
  const std::set<uint32_t> withoutBlocks = {1, 4, 261, 262, 263, 269, 270, 271, 285};
  for (uint32_t code = 0; code <= 300; ++code) {
    nQoSim::clearStatusLog();
    const int answer = request(supervisor, code, std::nullopt);
    const bool named = (code >= 255 && code <= 286 && code != 272) || code == 1 || code == 4;
    if (!named) {
      EXPECT_EQ(answer, -50150) << code;
      EXPECT_TRUE(loggedAt(-50150, "tBaseEEPROMSupervisor", 797)) << code;
    } else if (withoutBlocks.count(code) == 0) {
      EXPECT_EQ(answer, -50004) << code;
      EXPECT_TRUE(loggedAt(-50004, "tParameterBlockValidateHelper", 29)) << code;
    } else {
      EXPECT_FALSE(loggedAt(-50150, "tBaseEEPROMSupervisor", 797)) << code;
    }
  }
  bringDown(supervisor);
}

TEST_F(EEPROMSupervisorTest, ContentMapInformationGetsTheOutBlocksDataArea) {
  tEEPROMSupervisor supervisor;
  bringUp(supervisor);
  tByteParameterBlock in(words({12})), tooSmall(tBytes(11)), exact(tBytes(12));
  tStatus2 refused;
  supervisor.control(260, &in, &tooSmall, refused);
  EXPECT_EQ(refused.code, -50150);
  EXPECT_TRUE(loggedAt(-50150, "tBaseEEPROMSupervisor", 250));
  EXPECT_TRUE(contentMap.infos.empty());

  tByteParameterBlock again(words({12}));
  tStatus2 s;
  supervisor.control(260, &again, &exact, s);
  EXPECT_EQ(s.code, 0);
  using tInfo = std::pair<uint8_t*, uint32_t>;
  EXPECT_EQ(contentMap.infos, (std::vector<tInfo>{{static_cast<uint8_t*>(exact.getData()), 12u}}));

  // A short in block and a missing out block reach nothing.
  EXPECT_EQ(request(supervisor, 260, tBytes(3), 16), -50150);
  EXPECT_TRUE(loggedAt(-50150, "tParameterBlockValidateHelper", 47));
  EXPECT_EQ(request(supervisor, 260, words({0})), -50004);
  EXPECT_EQ(contentMap.infos.size(), 1u);
  bringDown(supervisor);
}

TEST_F(EEPROMSupervisorTest, OneUserAtATime) {
  tEEPROMSupervisor first, second;
  bringUp(first);
  tStatus2 s;
  second.initialize(*settings, &facade, s);
  second.link(map, s);
  second.reserveResource(s);
  EXPECT_EQ(s.code, -50103);
  EXPECT_TRUE(loggedAt(-50103, "tEEPROMAccessReservationStrategy", 41));
  EXPECT_EQ(second.getLifecycle(), 2u);
  EXPECT_EQ(second.getEEPROM(), nullptr);
  bringDown(first);
  tStatus2 again;
  second.reserveResource(again);
  EXPECT_EQ(again.code, 0);
  EXPECT_EQ(second.getEEPROM(), &eeprom);
  bringDown(second);
}

// Deploys while the EEPROM is held name other pools for the next
// reservation only; the release hands back the one held.
TEST_F(EEPROMSupervisorTest, TheReleaseHandsBackThePoolItWasGranted) {
  nQoUdR100::tEEPROMResourcePool<nQoUdP100::tEEPROM*> other(&eeprom), last(&eeprom);
  nQoUdR100::tEEPROMSettings namingOther, namingLast;
  offerPool(namingOther.record<0>().identifier, {5, 6}, "EEPROM2", &other, setup);
  offerPool(namingLast.record<0>().identifier, {5, 6}, "EEPROM3", &last, setup);
  ASSERT_EQ(setup.code, 0);
  tEEPROMSupervisor supervisor;
  expectOnlyTheGrantHandedBack(supervisor, *settings, namingOther, namingLast,
                               settings->record<0>().identifier, namingOther.record<0>().identifier,
                               namingLast.record<0>().identifier, &facade, map);
}

// The byte requests by hand, as a reference for the supervisor's rows: the
// facade's operation, whether the bytes come from the in block, the site of
// the length check, and the facade's site when it has no device.
struct tByteRow {
  uint32_t code;
  void (nQoUdP100::tEEPROM::*operation)(uint32_t, uint32_t, uint8_t*, tStatus2&);
  bool writes;
  unsigned line;
  unsigned noDeviceLine;
};
using nQoUdP100::tEEPROM;
const tByteRow kByteRows[] = {{264, &tEEPROM::writeToDevice, true, 293, 236},
                              {265, &tEEPROM::write, true, 321, 249},
                              {266, &tEEPROM::readFromDevice, false, 342, 262},
                              {267, &tEEPROM::read, false, 363, 275},
                              {277, &tEEPROM::writeFieldToDevice, true, 545, 330},
                              {278, &tEEPROM::writeField, true, 572, 310},
                              {279, &tEEPROM::readFieldFromDevice, false, 599, 320},
                              {280, &tEEPROM::readField, false, 626, 300},
                              {281, &tEEPROM::writeStringFieldToDevice, true, 653, 430},
                              {282, &tEEPROM::writeStringField, true, 680, 410},
                              {283, &tEEPROM::readStringFieldFromDevice, false, 706, 420},
                              {284, &tEEPROM::readStringField, false, 733, 400}};

// The in block (and the out block of a read) present, the two words on a
// status of their own merged by the helper, the length against the block,
// then the facade's operation.
void byHand(tEEPROM& eeprom, const tByteRow& row, nQoMRL100::iControlParameterBlock* in,
            nQoMRL100::iControlParameterBlock* out, tStatus2& status) {
  using nQoUdR100::tParameterBlockValidateHelper;
  if (status.isFatal()) return;
  if (in == nullptr || (!row.writes && out == nullptr)) {
    tParameterBlockValidateHelper::checkNotNull(in, status);
    if (!row.writes) tParameterBlockValidateHelper::checkNotNull(out, status);
    return;
  }
  tStatus2 block;
  const uint32_t where = in->readU32(block.code);
  const uint32_t length = in->readU32(block.code);
  tParameterBlockValidateHelper::mergeValidationStatus(block, status);
  if (status.isFatal()) return;
  const bool fits =
      row.writes ? in->getSize() >= 8 && in->getSize() - 8 >= length : length <= out->getSize();
  if (!fits) {
    status.setCode(-50150, "qoudrk", "tBaseEEPROMSupervisor", row.line);
    return;
  }
  auto* bytes = static_cast<uint8_t*>(row.writes ? in->getData() : out->getData());
  (eeprom.*row.operation)(where, length, row.writes ? bytes + 8 : bytes, status);
}

// An in block whose readU32 number failAt fails with an error of its own.
class tFailingBlock : public tByteParameterBlock {
 public:
  tFailingBlock(tBytes bytes, int failAt)
      : tByteParameterBlock(std::move(bytes)), _failAt(failAt) {}
  uint32_t readU32(int& status) override {
    if (++_reads != _failAt) return tByteParameterBlock::readU32(status);
    status = -50005;
    return 0;
  }

 private:
  int _failAt;
  int _reads = 0;
};

// A device, content map and facade; the facade lacks nothing (0), the device
// (1) or the map (2).
struct tWorld {
  explicit tWorld(int lacking)
      : eeprom(lacking == 2 ? nullptr : &map, lacking == 1 ? nullptr : &device) {
    for (uint32_t i = 0; i < device.image.size(); ++i) device.image[i] = uint8_t(i * 7);
    device.shadow = device.image;
    nQoUdP100::tEEPROMHeader header;
    header.area14693Address = 0x200;
    header.area14693Size = 0x80;
    tStatus2 status;
    map.setHeader(header, status);
  }
  tMemoryEEPROM device;
  nQoUdP100::tPralEEPROMContentMap map{4};
  tEEPROM eeprom;
};

// What a request left: its code, every site logged, the out bytes and the
// device.
struct tOutcome {
  int code;
  std::vector<std::string> sites;
  tBytes out;
  tBytes image, shadow;
  std::vector<tMemoryEEPROM::tWrite> shadowWrites;
  uint64_t reads;
  bool operator==(const tOutcome&) const = default;
};

// Every byte request through the supervisor gives what the same request by
// hand gives, on a ready EEPROM and on one without device or map: every
// address or field, length, in block (none, short, failing at either word,
// with too few bytes or all of them), out block (none, one byte short, exact,
// large) and status on entry (clean, warning, error).
TEST_F(EEPROMSupervisorTest, ByteRequestsMatchTheRequestByHand) {
  using nQoMRL100::iControlParameterBlock;
  auto& identifier = settings->record<0>().identifier;
  uint64_t compared = 0;
  for (int lacking : {0, 1, 2}) {
    tWorld reached(lacking), reference(lacking);
    nQoSim::resetResourceBroker();
    nQoUdR100::tEEPROMResourcePool<tEEPROM*> worldPool(&reached.eeprom);
    nQoMRL100::getResourceBroker(setup)->registerPool(&identifier, &worldPool, setup);
    tEEPROMSupervisor supervisor;
    bringUp(supervisor);
    ASSERT_EQ(supervisor.getEEPROM(), &reached.eeprom);
    for (const tByteRow& row : kByteRows) {
      for (uint32_t where : {16u, 1020u, 14687u, 14692u}) {
        for (uint32_t length : {0u, 4u, 8u, 10u, 0xFFFFFFFFu}) {
          const uint32_t payload = length > 64 ? 64 : length;
          std::vector<std::optional<uint32_t>> outs = {std::nullopt, payload, 64u};
          if (payload > 0) outs.push_back(payload - 1);
          // In blocks: none, the address alone, failing at either word, and
          // the two words with the payload, or one byte less.
          for (int shape = 0; shape < 6; ++shape) {
            for (const std::optional<uint32_t>& outSize : outs) {
              for (int entry : {0, 4, -1}) {
                if (entry != 0 && (shape != 4 || outSize != payload)) continue;
                tBytes inBytes = words({where, length}, tBytes(row.writes ? payload : 0, 0x5A));
                if (shape == 1) inBytes = words({where});
                if (shape == 5 && row.writes && payload > 0) inBytes.pop_back();
                auto run = [&](tWorld& world, auto&& request) {
                  std::optional<tFailingBlock> in;
                  if (shape != 0) in.emplace(inBytes, shape == 2 ? 1 : shape == 3 ? 2 : 0);
                  std::optional<tByteParameterBlock> out;
                  if (outSize) out.emplace(tBytes(*outSize, 0));
                  nQoSim::clearStatusLog();
                  tStatus2 status(entry);
                  request(in ? &*in : nullptr, out ? &*out : nullptr, status);
                  tOutcome outcome{status.code,
                                   {},
                                   {},
                                   world.device.image,
                                   world.device.shadow,
                                   world.device.shadowWrites,
                                   world.device.reads};
                  for (const auto& record : nQoSim::statusLog())
                    outcome.sites.push_back(std::to_string(record.code) + " " + record.component +
                                            " " + record.file + " " + std::to_string(record.line));
                  if (out) {
                    const auto* data = static_cast<const uint8_t*>(out->getData());
                    outcome.out.assign(data, data + out->getSize());
                  }
                  return outcome;
                };
                const tOutcome viaSupervisor =
                    run(reached,
                        [&](iControlParameterBlock* in, iControlParameterBlock* out,
                            tStatus2& status) { supervisor.control(row.code, in, out, status); });
                const tOutcome viaHand =
                    run(reference,
                        [&](iControlParameterBlock* in, iControlParameterBlock* out,
                            tStatus2& status) { byHand(reference.eeprom, row, in, out, status); });
                ASSERT_EQ(viaSupervisor, viaHand)
                    << "lacking " << lacking << " code " << row.code << " at " << where
                    << " length " << length << " shape " << shape << " entry " << entry;
                ++compared;
              }
            }
          }
        }
      }
      // A well-formed request on an EEPROM without device stops at the
      // facade's own site.
      if (lacking == 1) {
        nQoSim::clearStatusLog();
        EXPECT_EQ(request(supervisor, row.code, words({16, 4}, tBytes(4, 1)), 4), -50004);
        EXPECT_TRUE(loggedAt(-50004, "qomiop/eeprom/tEEPROM", row.noDeviceLine)) << row.code;
      }
    }
    bringDown(supervisor);
    nQoSim::resetResourceBroker();
  }
  EXPECT_GT(compared, 10000u);
}

TEST_F(EEPROMSupervisorTest, TheAbstractClassIsNeverCreated) {
  int status = 0;
  EXPECT_EQ(nQoUdR100::tClassRegistration<nQoUdR100::tBaseEEPROMSupervisor>::factory(status),
            nullptr);
  EXPECT_EQ(status, -88306);
  nQoUdR100::tEmptySettings other;
  tEEPROMSupervisor supervisor;
  tStatus2 s;
  supervisor.initialize(other, &facade, s);
  EXPECT_EQ(s.code, -89000);
}

}  // namespace
}  // namespace nQoTest
