// The board object and resource creation over a simulated board: what a
// refused or unsupported board reports and leaves, the start-state writes, the
// pools and their registration order, the use count, allocation failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "device/boardTables.h"
#include "device/tBoardResources.h"
#include "mrl/iResourceBroker.h"
#include "sim/simAllocator.h"
#include "sim/simDevices.h"
#include "sim/simResourceBroker.h"
#include "sim/simStatusLog.h"
#include "sim/tSimDevice.h"
#include "sim/tSimDeviceNode.h"
#include "sim/tSimDeviceTable.h"
#include "support/moduleFixture.h"
#include "support/registerLogs.h"
#include "tavik/tavikCatalogue.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoSim::tSimRegisterWindows;
using nQoUdR100::tBoardResources;
using nQoUdR100::tProductDescriptor;
using W = tSimRegisterWindows;

constexpr uint32_t kHandle = 0;
constexpr uint32_t kFullModel = 0x5D01;  // 68 pins, every part, counters
constexpr uint32_t kNoAOModel = 0x5D04;

const tProductDescriptor* model(uint32_t id) {
  for (std::size_t i = 0; i < nQoUdR100::kCapabilityCount; ++i)
    if (nQoUdR100::kCapabilityRecords[i].productId == id) return &nQoUdR100::kCapabilityRecords[i];
  return nullptr;
}

std::string lastReport() {
  const auto log = nQoSim::statusLog();
  if (log.empty()) return "none";
  return std::to_string(log.back().code) + " " + log.back().file + " " +
         std::to_string(log.back().line);
}

class tBoardResourcesTest : public tLeakCheckedTest {
 protected:
  void SetUp() override {
    tLeakCheckedTest::SetUp();
    nQoSim::resetResourceBroker();
    nQoSim::setDeviceTree(&tree);
    tree.setNode(kHandle, &node);
    node.setFourCharacterCode(2, 0x55443638);  // "UD68": not simulated
    bus.answerOpenWindow(0, tavikWindow);
    // The counter pair's view of the board window.
    bus.answerView(256, windows.addView(tavikWindow, 0x100, 196));
    // The EEPROM's interface, board and enable windows.
    bus.answerSubWindow(0, windows.addWindow(0x400));
    bus.answerSubWindowOf(1, 3, windows.addWindow(0x800));
    bus.answerSubWindowOf(3, 1, windows.addWindow(0x100));
    info.initialize(&guid, kHandle, &node, nullptr, status);
  }
  void TearDown() override {
    resources.destroy();
    EXPECT_EQ(bus.openWindows(), 0);
    EXPECT_EQ(device.busesTaken(), device.busesGiven());
    nQoSim::setDeviceTree(nullptr);
    nQoSim::resetResourceBroker();
    tLeakCheckedTest::TearDown();
  }

  // Creates (and registers) the resources of a board with the product id, or
  // of the one record given.
  void bringUp(uint32_t productId, const tProductDescriptor* record = nullptr) {
    node.setNumber(2, productId);
    if (record == nullptr) {
      resources.create(kHandle, guid, &info, status);
    } else {
      const tProductDescriptor* const records[] = {record};
      resources.create(kHandle, guid, &info, status, {records, records + 1});
    }
    resources.registerPools(status);
  }
  std::vector<std::string> registered() const {
    std::vector<std::string> names;
    for (const nQoUdR100::tBoardPool* entry : resources.registrations())
      names.push_back(std::string(entry->identifier.getString()) + " " +
                      std::to_string(entry->identifier.getIndex()));
    return names;
  }
  // The last value written to the Tavik register at offset, or kNone.
  static constexpr uint32_t kNone = 0xDEADBEEF;
  uint32_t lastWrite(uint32_t offset) const {
    uint32_t value = kNone;
    for (const tAccess& access : windows.log())
      if (access.window == tavikWindow && access.direction == W::kWrite && access.offset == offset)
        value = static_cast<uint32_t>(access.value);
    return value;
  }
  bool isRegistered(const std::string& name) const {
    const std::vector<std::string> names = registered();
    return std::find(names.begin(), names.end(), name) != names.end();
  }
  // The 8-bit writes to the static AI control registers, as offsets.
  std::vector<uint32_t> staticControlWrites(uint32_t value) const {
    std::vector<uint32_t> offsets;
    for (const tAccess& access : windows.log())
      if (access.window == tavikWindow && access.direction == W::kWrite && access.width == 8 &&
          access.offset >= 0x261 && access.offset <= 0x267 && access.value == value)
        offsets.push_back(access.offset);
    return offsets;
  }

  tLoadedModule module;
  tSimRegisterWindows windows;
  const unsigned noWindow = windows.addWindow(4);
  const unsigned tavikWindow = windows.addWindow(nQoUdRLP100::nTavik::kWindowLength);
  nQoSim::tSimBus bus{windows};
  nQoSim::tSimDevice device{&bus};
  nQoSim::tSimDeviceTable tree{{&device}};
  nQoSim::tSimDeviceNode node;
  nQoORB100::tGUID guid{1, 2};
  nQoUdP100::tDeviceInfo info;
  tSyncAtomicU32 inUse{0};
  tBoardResources resources{&inUse};
  tStatus2 status;
};

// Refused bus kinds map no window; an unsupported variant reports at the step
// of its first analog part. Nothing is left built or registered.
TEST_F(tBoardResourcesTest, RefusedAndUnsupportedBoardsLeaveNothing) {
  const nQoUdR100::tProductKind kind4{4}, kind9{9};
  const nQoUdP100::tAODescription ao{};
  struct tCase {
    const nQoUdR100::tProductKind* bus;
    bool ai;
    bool ao;
    uint64_t unsupported;
    const char* report;
  };
  const tCase cases[] = {
      {&kind4, true, true, 0, "-50150 tUdSeriesDevice 173"},
      {&kind9, true, true, 0, "-50150 tUdSeriesDevice 173"},
      {nullptr, true, true, 1, "-50256 tUdSeriesDevice 373"},
      {nullptr, false, true, 1, "-50256 tUdSeriesDevice 396"},
      {nullptr, false, false, 1, "-50256 tUdSeriesDevice 476"},
  };
  for (const tCase& c : cases) {
    tProductDescriptor record = *model(kFullModel);
    if (c.bus != nullptr) record.busDescriptor = c.bus;
    if (!c.ai) record.ai = nullptr;
    record.ao = c.ao ? &ao : nullptr;
    record.unsupportedVariant = c.unsupported;
    const int64_t live = nQoSim::liveAllocations();
    bus.clearCalls();
    status.clear();
    nQoSim::clearStatusLog();
    bringUp(kFullModel, &record);
    EXPECT_EQ(lastReport(), c.report);
    EXPECT_EQ(resources.board(), nullptr);
    EXPECT_FALSE(resources.ready());
    EXPECT_EQ(resources.registrations().size(), 0u);
    EXPECT_EQ(nQoSim::liveAllocations(), live);
    if (c.bus != nullptr) {
      for (const tCall& call : bus.calls()) EXPECT_NE(call.operation, tCall::kOpenWindow);
    }
  }
}

// The served bus kinds are exactly 2, 3, 7 and 8.
TEST_F(tBoardResourcesTest, EveryBusKindIsServedOrRefusedByTheMask) {
  for (uint32_t kind = 0; kind <= 10; ++kind) {
    SCOPED_TRACE(kind);
    const nQoUdR100::tProductKind bus{kind};
    tProductDescriptor record = *model(kFullModel);
    record.busDescriptor = &bus;
    status.clear();
    nQoSim::clearStatusLog();
    bringUp(kFullModel, &record);
    const bool served = kind == 2 || kind == 3 || kind == 7 || kind == 8;
    EXPECT_EQ(status.code, served ? 0 : -50150) << lastReport();
    EXPECT_EQ(resources.board() != nullptr, served);
    resources.destroy();
  }
}

TEST_F(tBoardResourcesTest, NoDeviceTreeNodeOrRecordStopsTheBoard) {
  nQoSim::setDeviceTree(nullptr);
  bringUp(kFullModel);
  EXPECT_EQ(lastReport(), "-50352 tUdSeriesDevice 136");
  nQoSim::setDeviceTree(&tree);
  tree.setNode(kHandle, nullptr);
  status.clear();
  bringUp(kFullModel);
  EXPECT_EQ(lastReport(), "-50300 tUdSeriesDevice 141");
  tree.setNode(kHandle, &node);
  status.clear();
  nQoSim::failAllocation(2);  // the bus holder
  bringUp(kFullModel);
  EXPECT_EQ(lastReport(), "-50352 tUdSeriesDevice 180");
  status.clear();
  bringUp(0x1234);
  EXPECT_EQ(status.code, -223747);
  EXPECT_EQ(resources.board(), nullptr);
  EXPECT_TRUE(bus.calls().empty());
}

TEST_F(tBoardResourcesTest, TheFullBoardRegistersEveryPoolInOrder) {
  bringUp(kFullModel);
  ASSERT_EQ(status.code, 0) << lastReport();
  EXPECT_TRUE(resources.ready());
  const std::vector<std::string> expected = {"AI_ADC 0",
                                             "AIDeviceFIFO 0",
                                             "AI_DMATransfer 0",
                                             "AIImmediateTransfer 0",
                                             "AIImmediateDMATransfer 0",
                                             "AIInterruptTransfer 0",
                                             "AIScanningFrontEnd 0",
                                             "AISubsystem 0",
                                             "AITimingController 0",
                                             "AI_WFNSCPrimitive 0",
                                             "AnalogTrigger 0",
                                             "AO_DAC 0",
                                             "AO_DAC 1",
                                             "AO_FIFO 0",
                                             "AOGroundRef 0",
                                             "AOTiming 0",
                                             "nQoTIOR100::tTIOCounterResource 0",
                                             "nQoTIOR100::tTIOCounterResource 1",
                                             "FREQ OUT 0",
                                             "CDI_DMATransfer 0",
                                             "CDI_FIFO 0",
                                             "CDIInterruptTransfer 0",
                                             "CDIImmediateTransfer 0",
                                             "CDO_DMATransfer 0",
                                             "CDO_FIFO 0",
                                             "CDOInterruptTransfer 0",
                                             "CDOImmediateTransfer 0",
                                             "ImmedDigWriteRedirector 0",
                                             "ChangeDetectionPrim 0",
                                             "HWTimingController 2",
                                             "SWTimingController 2",
                                             "ImmedDigPrim 0",
                                             "ImmedDigPrim 1",
                                             "ImmedDigLatchingPrim 0",
                                             "ImmedDigLatchingPrim 1",
                                             "ImmedDigPrim 2",
                                             "TESKCommRoutingPrim 2",
                                             "tTavikLineFilterPrimitive 0",
                                             "ProgPowerupPrim 0",
                                             "tEEPROM 0",
                                             "CalibrationPWM 0"};
  EXPECT_EQ(registered(), expected);
  for (const nQoUdR100::tBoardPool* entry : resources.registrations())
    EXPECT_EQ(entry->identifier.getDeviceGUID(), guid);

  // The first 8-bit writes: static AI control 0 to 2, forced; then the clock
  // register with bits 11 and 12.
  std::vector<uint32_t> bytes;
  for (const tAccess& access : windows.log())
    if (access.window == tavikWindow && access.direction == W::kWrite && access.width == 8)
      bytes.push_back(access.offset << 8 | access.value);
  ASSERT_GE(bytes.size(), 3u);
  EXPECT_EQ(std::vector<uint32_t>(bytes.begin(), bytes.begin() + 3),
            (std::vector<uint32_t>{0x06400, 0x26100, 0x26200}));
  EXPECT_EQ(staticControlWrites(0), (std::vector<uint32_t>{0x261, 0x262}));
  bool clockWritten = false;
  for (const tAccess& access : windows.log())
    if (access.window == tavikWindow && access.direction == W::kWrite && access.offset == 0x170)
      clockWritten = clockWritten || (access.value & 0x1800) == 0x1800;
  EXPECT_TRUE(clockWritten);

  // The broker hands the pool out by identifier; the use count follows.
  nQoMRL100::tGeneralIdentifier adc;
  adc.setDeviceGUID(guid);
  adc.setString("AI_ADC", status);
  nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(status);
  EXPECT_EQ(broker->reserve(&adc, nullptr, status), resources.registrations()[0]->pool);
  EXPECT_EQ(inUse.get(), 1u);
  EXPECT_EQ(broker->reserve(&adc, nullptr, status), nullptr);
  EXPECT_EQ(status.code, -50103);
  status.clear();
  broker->release(&adc, nullptr, status);
  EXPECT_EQ(inUse.get(), 0u);
  nQoMRL100::tGeneralIdentifier counter1;
  counter1.setDeviceGUID(guid);
  counter1.setString("nQoTIOR100::tTIOCounterResource", status);
  counter1.setIndex(1);
  EXPECT_EQ(broker->reserve(&counter1, nullptr, status), resources.registrations()[17]->pool);
  EXPECT_EQ(inUse.get(), 1u);
  broker->release(&counter1, nullptr, status);
  EXPECT_EQ(inUse.get(), 0u);
  EXPECT_EQ(status.code, 0);

  // Destroyed, the pools are gone from the broker.
  resources.destroy();
  EXPECT_EQ(broker->reserve(&adc, nullptr, status), nullptr);
  EXPECT_EQ(status.code, -50300);
}

TEST_F(tBoardResourcesTest, PartsDecideThePoolsAndTheStartState) {
  bringUp(kNoAOModel);
  ASSERT_EQ(status.code, 0) << lastReport();
  for (const std::string& name : registered()) EXPECT_EQ(name.rfind("AO", 0), std::string::npos);
  EXPECT_EQ(staticControlWrites(0), (std::vector<uint32_t>{0x261, 0x262}));
  resources.destroy();

  // The AO part's second bank adds registers 4 to 7; more than 64 channels
  // add register 3 with 1, except on the two named models.
  nQoUdP100::tAODescription ao = *model(kFullModel)->ao;
  ao.hasSecondRegister = 1;
  tProductDescriptor record = *model(kFullModel);
  record.ao = &ao;
  windows.clearLog();
  bringUp(kFullModel, &record);
  EXPECT_EQ(staticControlWrites(0),
            (std::vector<uint32_t>{0x261, 0x262, 0x264, 0x265, 0x266, 0x267}));
  resources.destroy();
  // Without an AI part there is no channel count to read.
  windows.clearLog();
  bringUp(0x5D0B);
  ASSERT_EQ(status.code, 0) << lastReport();
  EXPECT_EQ(registered().front(), "nQoTIOR100::tTIOCounterResource 0");
  EXPECT_EQ(staticControlWrites(1), std::vector<uint32_t>{});
  resources.destroy();
  for (uint32_t id : {0x5D07u, 0x5D08u}) {
    windows.clearLog();
    bringUp(id);
    ASSERT_EQ(status.code, 0) << lastReport();
    EXPECT_EQ(staticControlWrites(1),
              id == 0x5D07 ? std::vector<uint32_t>{0x263} : std::vector<uint32_t>{});
    resources.destroy();
  }
}

// Static AI control register 3 starts at 1 from the 65th channel on.
TEST_F(tBoardResourcesTest, RegisterThreeStartsAtOneOnlyAboveSixtyFourChannels) {
  for (uint32_t channels : {64u, 65u}) {
    SCOPED_TRACE(channels);
    tProductDescriptor record = *model(kFullModel);
    nQoUdP100::tAIDescription ai = *record.ai;
    nQoUdP100::tAIFrontEndDescription frontEnd = *ai.frontEnd;
    nQoUdP100::tAIConverterDescription converter = *frontEnd.converter;
    nQoUdP100::tAIChannelDescription count = *converter.channels;
    count.channelCount = channels;
    converter.channels = &count;
    frontEnd.converter = &converter;
    ai.frontEnd = &frontEnd;
    record.ai = &ai;
    windows.clearLog();
    bringUp(kFullModel, &record);
    ASSERT_EQ(status.code, 0) << lastReport();
    EXPECT_EQ(staticControlWrites(1),
              channels == 65 ? std::vector<uint32_t>{0x263} : std::vector<uint32_t>{});
    resources.destroy();
  }
}

// Attribute 2 read as a number picks the record; read as a four-character
// code, " sim" builds the calibration objects without touching the EEPROM.
TEST_F(tBoardResourcesTest, TheSimulatedTagLeavesTheEEPROMAlone) {
  auto eepromWindowsOpened = [&] {
    int opened = 0;
    for (const tCall& call : bus.calls())
      opened += call.operation == tCall::kOpenSubWindow && call.first == 1 && call.second == 3;
    return opened;
  };
  bringUp(kFullModel);
  EXPECT_EQ(eepromWindowsOpened(), 1);
  resources.destroy();
  bus.clearCalls();
  node.setFourCharacterCode(2, nQoUdP100::tDeviceInfo::kSimulatedTag);
  bringUp(kFullModel);
  ASSERT_EQ(status.code, 0) << lastReport();
  EXPECT_EQ(resources.board()->record()->productId, kFullModel);
  EXPECT_NE(resources.board()->calibration().eeprom, nullptr);
  EXPECT_EQ(eepromWindowsOpened(), 0);
}

TEST_F(tBoardResourcesTest, TerminalGroupsFollowTheRecord) {
  struct tCase {
    uint32_t productId;
    std::vector<std::string> groups;
  };
  const tCase cases[] = {
      {kFullModel, {"AI", "AO", "CTR0", "CTR1", "PFI8_15", "ATRIG", "APFI0", "APFI1"}},
      {0x5D02, {"AI", "AO", "CTR0", "CTR1", "TRIGBUS", "PFI8_15", "ATRIG", "APFI0", "APFI1"}},
      {kNoAOModel, {"AI", "CTR0", "CTR1", "ATRIG", "APFI0"}},             // ports (2, 8)
      {0x5D05, {"AI", "AO", "CTR0", "CTR1", "ATRIG", "APFI0", "APFI1"}},  // (4, 4)
  };
  EXPECT_EQ(resources.buildTerminalGroups(status), nullptr);
  for (const tCase& c : cases) {
    bringUp(c.productId);
    ASSERT_EQ(status.code, 0) << lastReport();
    std::vector<std::string> groups;
    const char* const* list = resources.buildTerminalGroups(status);
    ASSERT_NE(list, nullptr);
    for (; *list != nullptr; ++list) groups.push_back(*list);
    EXPECT_EQ(groups, c.groups) << c.productId;
    resources.destroy();
  }
}

// Only the port word pairs (2, 8) and (4, 4) drop PFI lines 8 to 15, and
// only (2, 8) gives the power-up primitive two ports; one word of a pair
// alone counts for nothing.
TEST_F(tBoardResourcesTest, BothWordsOfAPortPairDecideTheUpperPFIGroupAndThePowerupPorts) {
  struct tCase {
    uint32_t first, second;
    bool upper;
    uint32_t powerupPorts;
  };
  const tCase cases[] = {{2, 8, false, 2}, {4, 4, false, 3}, {2, 4, true, 3},
                         {4, 8, true, 3},  {2, 16, true, 3}, {8, 8, true, 3}};
  for (const tCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.first << ", " << c.second);
    tProductDescriptor record = *model(kFullModel);
    nQoUdP100::tDIODescription dio = *record.dio;
    dio.ports[0].secondWord = c.first;
    dio.ports[1].secondWord = c.second;
    record.dio = &dio;
    bringUp(kFullModel, &record);
    ASSERT_EQ(status.code, 0) << lastReport();
    bool upper = false;
    for (const char* const* list = resources.buildTerminalGroups(status); *list != nullptr; ++list)
      upper = upper || std::string(*list) == "PFI8_15";
    EXPECT_EQ(upper, c.upper);
    uint32_t ports = 0;
    resources.powerup()->readPowerupStates(ports, status);
    EXPECT_EQ(ports, c.powerupPorts);
    resources.destroy();
  }
}

// The power-up records' enable mask (1 = drives) reaches the ports as lines
// that drive: port 0's direction register and the PFI pins take the mask
// itself. Kind 0 only clears; kinds 2 and 3 clear port 0 and give port 1
// the single-port record (its whole port enabled unless kind 3).
TEST_F(tBoardResourcesTest, PowerupRecordsDriveTheLinesTheyEnable) {
  bringUp(kFullModel);
  ASSERT_EQ(status.code, 0) << lastReport();
  const nQoSDR000::tPowerupEntry entries[] = {
      {1, 0x0000000F, 0x5}, {1, 0x03, 0x01}, {1, 0x80, 0x80}};
  resources.powerup()->writePowerupStates(entries, 3, status);
  windows.clearLog();
  resources.applyPowerupStates(status);
  ASSERT_EQ(status.code, 0) << lastReport();
  EXPECT_EQ(lastWrite(0x028), 0x0000000Fu);
  EXPECT_EQ(lastWrite(0x024), 0x5u);
  EXPECT_EQ(lastWrite(0x172), 0x8003u);
  EXPECT_EQ(lastWrite(0x1DE), 0x8001u);
  tStatus2 failed;
  failed.code = -1;
  windows.clearLog();
  resources.applyPowerupStates(failed);
  EXPECT_EQ(lastWrite(0x028), kNone);
  resources.destroy();

  // The single-port kinds go with the single-port EEPROM map.
  struct tCase {
    uint32_t productId;
    uint32_t kind;
    bool pool;
    uint32_t pins;
  };
  const tCase cases[] = {{0x5D05, 0, false, 0x0000},
                         {0x5D03, 2, true, 0x00FF},
                         {0x5D04, 3, true, 0x0000},
                         {kFullModel, 5, false, kNone}};
  for (const tCase& c : cases) {
    tProductDescriptor record = *model(c.productId);
    nQoUdP100::tDIODescription dio = *record.dio;
    EXPECT_EQ(dio.kind, c.kind == 5 ? 1 : c.kind);
    dio.kind = c.kind;
    record.dio = &dio;
    status.clear();
    windows.clearLog();
    bringUp(c.productId, &record);
    ASSERT_EQ(status.code, 0) << lastReport();
    EXPECT_EQ(isRegistered("ProgPowerupPrim 0"), c.pool) << c.kind;
    EXPECT_EQ(resources.powerup() != nullptr, c.pool) << c.kind;
    EXPECT_EQ(lastWrite(0x028), c.pins == kNone ? kNone : 0u) << c.kind;
    EXPECT_EQ(lastWrite(0x172), c.pins) << c.kind;
    resources.destroy();
  }
}

// The comm-routing primitive holds the device's reservers from registration
// on and loses them when they are cleared.
TEST_F(tBoardResourcesTest, TheCommRoutingHoldsTheReserversOnlyAfterRegistration) {
  node.setNumber(2, kFullModel);
  resources.create(kHandle, guid, &info, status);
  ASSERT_EQ(status.code, 0) << lastReport();
  nQoUdP100::iCommRoutingPrimitive* routing = resources.board()->dioSubsystem()->getCommRouting();
  auto connect = [&] {
    tStatus2 local;
    nQoSim::clearStatusLog();
    routing->connect(1, local);
    tStatus2 undone;
    routing->disconnect(1, undone);
    return local.code == 0 ? std::string("0") : lastReport();
  };
  EXPECT_EQ(connect(), "-50004 tTavikCommRoutingPrimitive 192");
  resources.registerPools(status);
  ASSERT_EQ(status.code, 0) << lastReport();
  EXPECT_EQ(connect(), "0");
  resources.clearDigitalReservers();
  EXPECT_EQ(connect(), "-50004 tTavikCommRoutingPrimitive 192");
}

// Change detection watches the DIO subsystem's lines: without a DIO part
// there is neither primitive nor pool. The AO timing and frequency-output
// primitives read the driver's device information.
TEST_F(tBoardResourcesTest, ChangeDetectionNeedsTheDIOPartAndPrimitivesGetTheDeviceInfo) {
  bringUp(kFullModel);
  ASSERT_EQ(status.code, 0) << lastReport();
  EXPECT_NE(resources.changeDetection(), nullptr);
  nQoUdP100::tBaseAOTimingControllerPrimitive* timing =
      resources.board()->aoSubsystem()->timingController();
  EXPECT_EQ(timing->eventFlag(), 0u);
  info.simulated = 1;
  EXPECT_EQ(timing->eventFlag(), 1u);
  EXPECT_EQ(resources.board()->frequencyOutput()->getDeviceInfo(), &info);
  resources.destroy();

  tProductDescriptor record = *model(kFullModel);
  record.dio = nullptr;
  bringUp(kFullModel, &record);
  ASSERT_EQ(status.code, 0) << lastReport();
  EXPECT_EQ(resources.changeDetection(), nullptr);
  EXPECT_FALSE(isRegistered("ChangeDetectionPrim 0"));
  EXPECT_TRUE(isRegistered("CDI_DMATransfer 0"));
}

// Teardown follows the driver's order: the counter container, whose handlers
// fill the board dispatcher's counter slots, goes before change detection,
// which switches its interrupt off (0x24C) as it goes.
TEST_F(tBoardResourcesTest, TheCounterContainerGoesBeforeChangeDetection) {
  bringUp(kFullModel);
  ASSERT_EQ(status.code, 0) << lastReport();
  nQoUdR100::tPCITavikChangeDetectionPrimitive* detection = resources.changeDetection();
  detection->enableLines(0x1, 0x2, status);
  detection->start(status);
  ASSERT_EQ(status.code, 0) << lastReport();
  const nQoUdRLP100::tTavikInterruptDispatcher* dispatcher = resources.board()->bus()->dispatcher();
  constexpr uint32_t kCounterSlot = nQoUdRLP100::tTavikInterruptDispatcher::kCounterSourceBase;
  ASSERT_NE(dispatcher->primaryHandlers[kCounterSlot], nullptr);
  std::vector<bool> countersHooked;
  windows.setWriteCallback(tavikWindow, 0x24C, [&](unsigned, uint32_t) {
    countersHooked.push_back(dispatcher->primaryHandlers[kCounterSlot] != nullptr);
  });
  resources.destroy();
  EXPECT_EQ(countersHooked, std::vector<bool>{false});
  EXPECT_EQ(bus.registrations(), 0);
}

// Every allocation of a bring-up may fail: a failure the bring-up sees is
// kOutOfMemory (the primitives' observer lists keep theirs for later), and
// nothing built is left behind.
TEST_F(tBoardResourcesTest, FailedAllocationsAreReportedAndLeaveNothing) {
  const uint64_t before = nQoSim::totalAllocations();
  bringUp(kFullModel);
  ASSERT_EQ(status.code, 0) << lastReport();
  resources.destroy();
  const uint64_t count = nQoSim::totalAllocations() - before;
  std::set<std::string> reports;
  for (uint64_t nth = 1; nth <= count; ++nth) {
    status.clear();
    nQoSim::resetResourceBroker();
    const int64_t live = nQoSim::liveAllocations();
    nQoSim::failAllocation(nth);
    bringUp(kFullModel);
    nQoSim::failAllocation(0);
    EXPECT_TRUE(status.code == 0 || status.code == -50352) << "allocation " << nth;
    reports.insert(lastReport());
    if (nth == 1) {
      EXPECT_EQ(resources.board(), nullptr);
    }
    resources.destroy();
    EXPECT_EQ(nQoSim::liveAllocations(), live) << "allocation " << nth;
  }
  // Change detection, the two reservers and the power-up primitive.
  for (const char* site :
       {"-50352 tDriver 1169", "-50352 tDriver 1186", "-50352 tDriver 1188", "-50352 tDriver 1262"})
    EXPECT_EQ(reports.count(site), 1u) << site;
}

}  // namespace
}  // namespace nQoTest
