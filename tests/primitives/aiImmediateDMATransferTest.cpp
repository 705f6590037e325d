// The AI immediate DMA transfer on the real map, a VESK channel window and the
// AI road: the shared buffer's header and ring, the channel reservation and
// routing, the resolvers, the end that the kernel's flag decides, and the
// client's mappings.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "mrl/iEvent.h"

#include "primitives/ai/tAIImmediateDMATransferPrimitive.h"
#include "primitives/ai/tAIScanningFrontEndPrimitive.h"
#include "primitives/aiTransferFixture.h"
#include "sim/simMemBlocks.h"
#include "sim/simSocketListeners.h"
#include "sim/simSync.h"
#include "sim/tSimSchedulerAction.h"
#include "support/boardChecks.h"
#include "support/heldCall.h"
#include "support/statusRecords.h"

namespace nQoTest {
namespace {

using nQoMDBG100::tStatus2;
using nQoUdP100::tAIImmediateDMATransferPrimitive;
using tLog = std::vector<tAccess>;

constexpr uint64_t kKey = 0x55AA55AA12345678;
constexpr nQoORB100::tGUID kDevice{0x1122334455667788, 0x99AABBCCDDEEFF00};

// Counts the converter's overrun notifications; asks for no second pass.
class tOverrunCounter : public nQoUdP100::tBaseAI_ADCPrimitive::iObserver {
 public:
  uint32_t handleOverrun(nQoUdP100::tBaseAI_ADCPrimitive*, tStatus2&) override {
    ++calls;
    return 0;
  }
  unsigned calls = 0;
};

// Asks for the second pass of every overrun, and holds that pass in place
// before the observers after it, up to the long guard: what runs meanwhile is
// not to wait for it.
class tHoldingOverrunObserver : public nQoUdP100::tBaseAI_ADCPrimitive::iObserver {
 public:
  uint32_t handleOverrun(nQoUdP100::tBaseAI_ADCPrimitive*, tStatus2&) override { return 1; }
  void handleOverrunSecondary(nQoUdP100::tBaseAI_ADCPrimitive*, tStatus2&) override { held.hold(); }
  tHeldCall held{tHeldCall::kGuard};
};

// The done-event object: counts the actions posted, and holds the first post
// when asked to.
class tHoldingEvent : public nQoMRL110::iEvent {
 public:
  void post(const nQoMRL110::tSoftwareAction& action, tStatus2&) override {
    codes.push_back(action.getCode());
    if (holds) held.hold();
  }
  void registerEvent(uint32_t, tStatus2&) override {}
  void unregisterEvent(uint32_t, tStatus2&) override {}
  std::vector<int> codes;
  bool holds = false;
  tHeldCall held;
};

// A bus that, when asked, holds the registration of an interrupt: a client's
// naming query that attaches the resolver stays inside the transfer there.
class tHoldingBus : public nQoSim::tSimBus {
 public:
  using nQoSim::tSimBus::tSimBus;
  uint64_t registerInterrupt(uint32_t affinity, uint32_t irq, iBusInterruptResolver* primary,
                             iBusInterruptResolver* secondary, int* code) override {
    if (holds) held.hold();
    return tSimBus::registerInterrupt(affinity, irq, primary, secondary, code);
  }
  std::atomic<bool> holds{false};
  tHeldCall held;
};

class tImmediateDMATest : public tAIRoadTest {
 protected:
  void SetUp() override {
    tAIRoadTest::SetUp();
    deviceInfo.identity = &kDevice;
    channel = std::make_unique<nQoUdRLP100::tVESKChannel>(&bus, vesk, &status);
    for (auto& entry : channels) entry = channel.get();
    smallFIFO = std::make_unique<nQoUdP100::tAIDeviceFIFOPrimitive>(&smallDescription, map,
                                                                    dispatcher, status);
    frontEndDescription.rangeCodes = &anyRange;
    frontEnd = std::make_unique<nQoUdP100::tAIScanningFrontEndPrimitive>(&frontEndDescription, map,
                                                                         helper, status);
    nQoUdP100::tAITimingControllerPrimitiveConfig config;
    config.timing.timingMode = 2;
    config.timing.strobeLoadValue = 4;
    config.hasRouting = 1;
    config.routing.words[7] = 19;
    commitTiming(config);
    nQoUdP100::tAIScanningFrontEndPrimitiveConfig frontEndConfig;
    frontEndConfig.channels.append(nQoUdP100::tAIScanningFrontEndConfig{});
    commitChannels(*frontEnd, frontEndConfig);
    transfer = std::make_unique<tAIImmediateDMATransferPrimitive>(
        &bus, &deviceInfo, frontEnd.get(), converter, timing, smallFIFO.get(), map, channels.data(),
        8, status);
    ASSERT_EQ(status.code, 0);
    nQoSim::clearUserMappingLog();
  }
  void TearDown() override {
    transfer.reset();
    frontEnd.reset();
    smallFIFO.reset();
    channel.reset();
    nQoSim::setPhysicalBase(0);
    EXPECT_EQ(nQoSim::liveMemBlocks(), 0);
    EXPECT_EQ(nQoSim::liveUserMappings(), 0);
    tAIRoadTest::TearDown();
  }
  void committed() {
    bus.setDMAChannelNumber(4);
    transfer->reserveDMAChannel(status);
    transfer->commitChannel(status);
    transfer->commit(status);
    ASSERT_EQ(status.code, 0);
  }
  bool touchedTheChannel() const {
    for (const tAccess& access : windows.log())
      if (access.window == vesk) return true;
    return false;
  }
  uint32_t word(uint32_t offset) const {
    uint32_t value;
    std::memcpy(&value, transfer->buffer() + offset, sizeof value);
    return value;
  }
  void setWord(uint32_t offset, uint32_t value) {
    std::memcpy(const_cast<uint8_t*>(transfer->buffer()) + offset, &value, sizeof value);
  }
  int ask(uint32_t kind, const std::vector<uint8_t>& request, uint8_t* reply = nullptr) {
    uint8_t own[16] = {};
    uint32_t replySize = 0;
    tStatus2 local;
    transfer->listener().handleRequest(request.data(), static_cast<uint32_t>(request.size()),
                                       reply != nullptr ? reply : own, 16, &replySize, kind, 0,
                                       local);
    return local.code;
  }
  // The converter's overrun: its first pass here, its second on a thread.
  std::thread overrun() {
    EXPECT_EQ(dispatcher->primaryHandlers[2].load()->handleInterrupt(), 2u);
    return std::thread(
        [this] { dispatcher->secondaryHandlers[2].load()->handleSecondaryInterrupt(); });
  }
  bool wroteTheChannel() const {
    for (const tAccess& access : windows.writes())
      if (access.window == vesk) return true;
    return false;
  }
  // The client's event that the last naming query opened.
  static const iSync* namedEvent() {
    const iSync* event = nullptr;
    for (const auto& record : nQoSim::syncLog())
      if (record.operation == nQoSim::tSyncRecord::kOpen && record.option == 46)
        event = record.object;
    return event;
  }
  // Commits with a client that names its event, then arms; the event.
  const iSync* armedWithANamedEvent() {
    transfer->deployHeaderWords({.word12 = 1});
    transfer->setListenerKey(kKey);
    committed();
    nQoSim::clearSyncLog();
    EXPECT_EQ(ask(3, request(0x0000'00CD'0000'00ABull)), 0);
    const iSync* event = namedEvent();
    EXPECT_NE(event, nullptr);
    transfer->arm(status);
    return event;
  }
  static std::vector<uint8_t> request(uint64_t second = 0, uint32_t third = 0) {
    std::vector<uint8_t> bytes(24, 0);
    std::memcpy(bytes.data(), &kKey, 8);
    std::memcpy(bytes.data() + 8, &second, 8);
    std::memcpy(bytes.data() + 16, &third, 4);
    return bytes;
  }

  const unsigned vesk = windows.addWindow(0x84);
  nQoUdP100::tAIFIFODescription smallDescription{4, 4, 4};
  nQoUdP100::tAIFrontEndDescription frontEndDescription;
  std::unique_ptr<nQoUdRLP100::tVESKChannel> channel;
  std::array<nQoUdRLP100::tVESKChannel*, 8> channels{};
  std::unique_ptr<nQoUdP100::tAIDeviceFIFOPrimitive> smallFIFO;
  std::unique_ptr<nQoUdP100::tAIScanningFrontEndPrimitive> frontEnd;
  std::unique_ptr<tAIImmediateDMATransferPrimitive> transfer;
};

TEST_F(tImmediateDMATest, CommitBuildsTheHeaderTheSampleAreaAndTheRing) {
  committed();
  EXPECT_EQ(bus.dmaReservationArguments(), (std::pair<uint32_t, uint32_t>{0xFFFFFFFF, 0xFFFFFFFE}));
  EXPECT_EQ(transfer->samplesPerScan(), 4u);
  EXPECT_EQ(transfer->bufferSize(), 79u);
  EXPECT_EQ(word(0), 1u);
  std::vector<uint32_t> words;
  for (uint32_t offset = 8; offset <= 40; offset += 4) words.push_back(word(offset));
  EXPECT_EQ(words, (std::vector<uint32_t>{1, 0, 0, 1, 100, 0, 0, 2, 4}));
  for (uint32_t i = 44; i < 76; ++i) ASSERT_EQ(transfer->buffer()[i], 0xAA) << i;
  uint32_t ring[6];
  std::memcpy(ring, transfer->linkChain(), sizeof ring);
  const uint32_t phys = static_cast<uint32_t>(transfer->bufferPhysical());
  const uint32_t ringPhys = static_cast<uint32_t>(transfer->linkChainPhysical());
  EXPECT_EQ(std::vector<uint32_t>(ring, ring + 6),
            (std::vector<uint32_t>{16, phys + 44, ringPhys + 12, 16, phys + 60, ringPhys}));
}

TEST_F(tImmediateDMATest, ABufferAbove4GiBIsRefused) {
  nQoSim::setPhysicalBase(0x1'0000'0000ull);
  bus.setDMAChannelNumber(4);
  transfer->reserveDMAChannel(status);
  transfer->commitChannel(status);
  transfer->commit(status);
  EXPECT_EQ(status.code, -50175);
  EXPECT_EQ(transfer->transferState(), 3u) << "undone by uncommit";
}

TEST_F(tImmediateDMATest, SamplesPerScanOf0AndAChannelWithoutMapAreRefused) {
  bus.setDMAChannelNumber(8);
  transfer->reserveDMAChannel(status);
  EXPECT_EQ(status.code, -50150);
  EXPECT_EQ(bus.reservedDMAChannels(), 0) << "the channel goes back";
  tStatus2 local;
  bus.setDMAChannelNumber(4);
  transfer->reserveDMAChannel(local);
  nQoUdP100::tAITimingControllerPrimitiveConfig config;
  config.timing.timingMode = 2;
  config.timing.strobeLoadValue = 0;
  config.hasRouting = 1;
  config.routing.words[7] = 19;
  status.clear();
  commitTiming(config);
  transfer->commitChannel(local);
  transfer->commit(local);
  EXPECT_EQ(local.code, -50150);
  transfer->releaseDMAChannel(status.clear());
}

TEST_F(tImmediateDMATest, CommitWithoutAReservedChannelIsRefusedBeforeItAllocatesOrProgramsIt) {
  transfer->commitChannel(status);
  ASSERT_EQ(status.code, 0);
  windows.clearLog();
  nQoSim::clearStatusLog();
  tStatus2 refused;
  transfer->commit(refused);
  EXPECT_EQ(refused.code, -50150);
  EXPECT_TRUE(loggedAt(-50150, "qomiop/ai/tBaseAIImmediateDMATransferPrimitive", 310));
  EXPECT_EQ(nQoSim::liveMemBlocks(), 0);
  EXPECT_FALSE(touchedTheChannel());
  EXPECT_EQ(transfer->transferState(), 3u);
  transfer->uncommitChannel(status);
  EXPECT_EQ(status.code, 0);
}

// With no samples per scan (no channel commit, or an engine committed with
// none) commit is refused at the scan's site before it allocates or writes.
TEST_F(tImmediateDMATest, CommitWithoutSamplesPerScanIsRefusedBeforeItAllocatesOrWrites) {
  bus.setDMAChannelNumber(4);
  transfer->reserveDMAChannel(status);
  ASSERT_EQ(status.code, 0);
  for (bool afterAChannelCommitWithNoScan : {false, true}) {
    SCOPED_TRACE(afterAChannelCommitWithNoScan);
    if (afterAChannelCommitWithNoScan) {
      nQoUdP100::tAITimingControllerPrimitiveConfig config;
      config.timing.timingMode = 2;
      config.timing.strobeLoadValue = 0;
      config.hasRouting = 1;
      config.routing.words[7] = 19;
      commitTiming(config);
      tStatus2 channelCommit;
      transfer->commitChannel(channelCommit);
      ASSERT_EQ(channelCommit.code, 0) << "the engine may be committed after the channel";
    }
    windows.clearLog();
    nQoSim::clearStatusLog();
    tStatus2 local;
    transfer->commit(local);
    EXPECT_EQ(local.code, -50150);
    EXPECT_TRUE(loggedAt(-50150, "qomiop/ai/tBaseAIImmediateDMATransferPrimitive", 420));
    EXPECT_EQ(nQoSim::liveMemBlocks(), 0);
    EXPECT_TRUE(windows.writes().empty());
    EXPECT_EQ(transfer->transferState(), afterAChannelCommitWithNoScan ? 3u : 2u);
  }
  transfer->releaseDMAChannel(status);
  EXPECT_EQ(status.code, 0);
}

// Once the channel went back, arm is refused and disarm and uncommit leave the
// channel's registers alone.
TEST_F(tImmediateDMATest, AfterTheChannelWentBackArmIsRefusedAndTheUndoStepsSkipTheChannel) {
  committed();
  transfer->releaseDMAChannel(status);
  ASSERT_EQ(status.code, 0);
  windows.clearLog();
  tStatus2 refused;
  transfer->arm(refused);
  EXPECT_EQ(refused.code, -50150);
  transfer->disarm(status);
  transfer->uncommit(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_FALSE(touchedTheChannel());
  EXPECT_EQ(transfer->transferState(), 3u);
}

// Releasing the channel of a committed transfer first uncommits it: the
// resolver leaves the bus and the channel goes back once.
TEST_F(tImmediateDMATest, ReleasingACommittedTransferDetachesItsResolverBeforeTheChannelGoes) {
  nQoSim::tSimSchedulerAction action;
  transfer->setSchedulerAction(&action, status);
  committed();
  ASSERT_NE(transfer->resolver(), nullptr);
  ASSERT_EQ(bus.registrations(), 1);
  transfer->releaseDMAChannel(status);
  EXPECT_EQ(transfer->resolver(), nullptr);
  EXPECT_EQ(bus.registrations(), 0);
  EXPECT_EQ(transfer->transferState(), 1u);
  transfer->uncommit(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(bus.registrations(), 0);
  EXPECT_EQ(bus.reservedDMAChannels(), 0) << "given back once";
}

// A channel uncommit before the release leaves an armed run live: the
// release still disarms it, by the run it holds, and tells the action.
TEST_F(tImmediateDMATest, TheReleaseDisarmsARunLeftLiveByAChannelUncommit) {
  nQoSim::tSimSchedulerAction action;
  transfer->setSchedulerAction(&action, status);
  committed();
  transfer->arm(status);
  transfer->uncommitChannel(status);
  ASSERT_EQ(status.code, 0);
  action.clear();
  transfer->releaseDMAChannel(status);
  EXPECT_EQ(status.code, 0);
  ASSERT_FALSE(action.calls().empty());
  EXPECT_EQ(action.calls().front().kind, nQoSim::tSimSchedulerAction::tCall::kDisarmed);
  EXPECT_EQ(bus.registrations(), 0);
  EXPECT_EQ(bus.reservedDMAChannels(), 0);
}

// Code 4 after 4100, or 4100, 1, 4: the arm is disarmed once, by its record,
// not by the state a commit since lowered (by the commit, which replaces what
// the channel runs on, or else by the uncommit): the FIFO is disconnected
// from the channel and the action told once; the release after it disarms
// nothing again.
TEST_F(tImmediateDMATest, AnUncommitAfterTheArmDisarmsItOnce) {
  using tCall = nQoSim::tSimSchedulerAction::tCall;
  nQoSim::tSimSchedulerAction action;
  transfer->setSchedulerAction(&action, status);
  committed();
  for (const bool commitAgain : {false, true}) {
    SCOPED_TRACE(commitAgain ? "4100, 1, 4" : "4100, 4");
    transfer->commit(status);
    transfer->arm(status);
    ASSERT_EQ(status.code, 0);
    ASSERT_EQ(map->Write_0009.getRegister() & 0x0F, 3u) << "channel 4 selected";
    action.clear();
    windows.clearLog();
    if (commitAgain) {
      transfer->commit(status);
      ASSERT_EQ(status.code, 0);
      EXPECT_EQ(map->Write_0009.getRegister() & 0x0F, 0u) << "the commit left the FIFO routed";
    }
    transfer->uncommit(status);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(map->Write_0009.getRegister() & 0x0F, 0u) << "the FIFO left on the channel";
    EXPECT_EQ(action.calls(), (std::vector<tCall>{{tCall::kDisarmed, 0}}));
    EXPECT_EQ(transfer->transferState(), 3u);
    action.clear();
    transfer->uncommit(status);
    EXPECT_TRUE(action.calls().empty()) << "the arm was undone twice";
  }
  transfer->releaseDMAChannel(status);
  EXPECT_TRUE(action.calls().empty());
  EXPECT_EQ(bus.registrations(), 0);
  EXPECT_EQ(status.code, 0);
}

// Code 1 after 4100: the commit disarms the arm first, with its report: the
// channel is stopped while the buffer and the ring it runs on still stand,
// the FIFO leaves it, and no started channel runs on a block the commit
// freed; the next arm runs on the new ring.
TEST_F(tImmediateDMATest, ACommitAfterTheArmStopsTheChannelBeforeItsBufferAndRingGo) {
  using tCall = nQoSim::tSimSchedulerAction::tCall;
  nQoSim::tSimSchedulerAction action;
  transfer->setSchedulerAction(&action, status);
  committed();
  transfer->arm(status);
  ASSERT_EQ(status.code, 0);
  const uint64_t freedFrom = transfer->bufferPhysical();
  const uint64_t freedTo = transfer->linkChainPhysical() + 2 * 12;
  ASSERT_LT(freedFrom, transfer->linkChainPhysical()) << "blocks handed out in order";
  std::vector<int> blocksAtStop;
  windows.setWriteCallback(vesk, 0x00, [&](unsigned, uint32_t value) {
    if (value == 4) blocksAtStop.push_back(nQoSim::liveMemBlocks());
  });
  action.clear();
  transfer->commit(status);
  windows.setWriteCallback(vesk, 0x00, {});
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(transfer->transferState(), 4u);
  EXPECT_EQ(blocksAtStop, (std::vector<int>{2})) << "stopped once, before the blocks went";
  EXPECT_EQ(action.calls(), (std::vector<tCall>{{tCall::kDisarmed, 0}}));
  EXPECT_EQ(channelsOnFreedMemory(windows, {vesk}), "");
  EXPECT_EQ(map->Write_0009.getRegister() & 0x0F, 0u);
  transfer->arm(status);
  EXPECT_EQ(windows.written(vesk, 0x20, 32), transfer->linkChainPhysical());
  EXPECT_GE(transfer->linkChainPhysical(), freedTo);
  transfer->releaseDMAChannel(status);
  EXPECT_EQ(status.code, 0);
}

// Codes 4100, 4101, then a second 4101 and the release: the second disarm
// and the release's bring-down disarm by the arm's record, which the first
// disarm cleared: no second report, stop or disconnection of the FIFO; the
// uncommit's stop and reset alone.
TEST_F(tImmediateDMATest, ADisarmOrAReleaseAfterADisarmDisarmsNothingAgain) {
  using tCall = nQoSim::tSimSchedulerAction::tCall;
  nQoSim::tSimSchedulerAction action;
  transfer->setSchedulerAction(&action, status);
  committed();
  action.clear();
  transfer->arm(status);
  transfer->disarm(status);
  windows.clearLog();
  transfer->disarm(status);
  EXPECT_EQ(windows.writes(), tLog{}) << "a second disarm switched off again";
  transfer->releaseDMAChannel(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(action.calls(), (std::vector<tCall>{{tCall::kArmed, 0}, {tCall::kDisarmed, 0}}));
  tLog commands;
  for (const tAccess& access : windows.writes())
    if (access.offset == (access.window == vesk ? 0x00u : 0x09u)) commands.push_back(access);
  EXPECT_EQ(commands,
            (tLog{{vesk, 0x00, 32, 4, W::kWrite}, {vesk, 0x00, 32, 0x80000000, W::kWrite}}));
}

// The destruction of an armed transfer (a board's teardown under an armed
// task) stops its channel and disconnects the FIFO before the buffer and the
// ring go, and tells the action, which may be gone, nothing; after a disarm
// it stops nothing again.
TEST_F(tImmediateDMATest, DestroyingAnArmedTransferStopsItsChannelBeforeItsBufferAndRingGo) {
  for (const bool disarmed : {false, true}) {
    SCOPED_TRACE(disarmed ? "4100, 4101" : "4100");
    nQoSim::tSimSchedulerAction action;
    transfer = std::make_unique<tAIImmediateDMATransferPrimitive>(
        &bus, &deviceInfo, frontEnd.get(), converter, timing, smallFIFO.get(), map, channels.data(),
        8, status);
    transfer->setSchedulerAction(&action, status);
    committed();
    transfer->arm(status);
    if (disarmed) transfer->disarm(status);
    ASSERT_EQ(status.code, 0);
    std::vector<int> blocksAtStop;
    windows.setWriteCallback(vesk, 0x00, [&](unsigned, uint32_t value) {
      if (value == 4) blocksAtStop.push_back(nQoSim::liveMemBlocks());
    });
    action.clear();
    transfer.reset();
    windows.setWriteCallback(vesk, 0x00, {});
    EXPECT_EQ(blocksAtStop, disarmed ? std::vector<int>{} : std::vector<int>{2});
    EXPECT_EQ(map->Write_0009.getRegister() & 0x0F, 0u) << "the FIFO left routed";
    EXPECT_TRUE(action.calls().empty());
  }
}

// A channel-committed transfer that is destroyed takes its records out of the
// lists of the converter, the FIFO and the timing controller: the converter's
// overrun handler then notifies the live observer alone.
TEST_F(tImmediateDMATest, DestroyingAChannelCommittedTransferLeavesNoRecordBehind) {
  tOverrunCounter live;
  converter->addObserver(&live, status);
  bus.setDMAChannelNumber(4);
  transfer->reserveDMAChannel(status);
  transfer->commitChannel(status);
  smallFIFO->commit(status);
  ASSERT_TRUE(converter->commit(status));
  ASSERT_EQ(status.code, 0);
  transfer.reset();
  ASSERT_EQ(smallFIFO->state().getState(), 1u) << "a removed record asks for a new commit";
  EXPECT_EQ(dispatcher->primaryHandlers[2].load()->handleInterrupt(), 1u);
  EXPECT_EQ(live.calls, 1u);
  EXPECT_EQ(bus.reservedDMAChannels(), 0);
  converter->uncommit(status);
  smallFIFO->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

// A second channel commit adds no record: the destroyed transfer leaves none
// behind, and the converter's overrun handler reaches the live observer alone.
TEST_F(tImmediateDMATest, ASecondChannelCommitAddsNoRecord) {
  tOverrunCounter live;
  converter->addObserver(&live, status);
  bus.setDMAChannelNumber(4);
  transfer->reserveDMAChannel(status);
  transfer->commitChannel(status);
  transfer->commitChannel(status);
  EXPECT_EQ(transfer->transferState(), 3u);
  ASSERT_TRUE(converter->commit(status));
  ASSERT_EQ(status.code, 0);
  transfer.reset();
  EXPECT_EQ(dispatcher->primaryHandlers[2].load()->handleInterrupt(), 1u);
  EXPECT_EQ(live.calls, 1u);
  converter->uncommit(status);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tImmediateDMATest, ResolveAcknowledgesOnlyItsOwnInterruptAndWakesTheClient) {
  transfer->deployHeaderWords({.word12 = 1});
  transfer->setListenerKey(kKey);
  committed();
  EXPECT_EQ(transfer->resolver(), nullptr) << "no event named yet";
  EXPECT_EQ(ask(3, request(0x0000'00CD'0000'00ABull)), 0);
  ASSERT_NE(transfer->resolver(), nullptr);
  const iSync* event = namedEvent();
  ASSERT_NE(event, nullptr);

  windows.setRead(vesk, 0x3C, 32, 0);
  windows.clearLog();
  EXPECT_EQ(transfer->resolver()->resolve(), 0u);
  EXPECT_TRUE(windows.writes().empty());
  windows.setRead(vesk, 0x3C, 32, 0x80000);
  const unsigned sets = nQoSim::syncSets(event);
  EXPECT_EQ(transfer->resolver()->resolve(), 2u);
  EXPECT_EQ(windows.writes(), (tLog{{vesk, 0x00, 32, 0x20, W::kWrite}}));
  EXPECT_EQ(nQoSim::syncSets(event), sets + 1);
}

// Another key and no client event given after the commit reach the next
// commit only: the client with the commit's key names its event and gets
// the resolver that wakes it; after the next commit that key is refused.
TEST_F(tImmediateDMATest, TheClientsQueriesGoByTheCommitsKeyAndHeaderUntilTheNextOne) {
  transfer->deployHeaderWords({.word12 = 1});
  transfer->setListenerKey(kKey);
  committed();
  transfer->deployHeaderWords({});
  transfer->setListenerKey(kKey + 1);
  EXPECT_EQ(ask(3, request(0x0000'00CD'0000'00ABull)), 0);
  EXPECT_NE(transfer->resolver(), nullptr);
  EXPECT_NE(namedEvent(), nullptr);
  transfer->commit(status);
  EXPECT_EQ(ask(1, request()), -223749);
}

TEST_F(tImmediateDMATest, WithoutClientEventTheScheduleResolverRunsTheActionWithItsCount) {
  nQoSim::tSimSchedulerAction action;
  transfer->setSchedulerAction(&action, status);
  committed();
  ASSERT_NE(transfer->resolver(), nullptr);
  transfer->arm(status);
  windows.setRead(vesk, 0x3C, 32, 0x80000);
  EXPECT_EQ(transfer->resolver()->resolve(), 2u);
  EXPECT_EQ(transfer->resolver()->resolve(), 2u);
  transfer->disarm(status);
  using C = nQoSim::tSimSchedulerAction::tCall;
  EXPECT_EQ(action.calls(),
            (std::vector<C>{{C::kArmed, 0}, {C::kRun, 0}, {C::kRun, 1}, {C::kDisarmed, 0}}));
  EXPECT_EQ(status.code, 0);
}

TEST_F(tImmediateDMATest, TheKernelFlagEndsTheTransferOnceWhateverTheClientWrites) {
  bus.setDMAChannelNumber(3);
  transfer->reserveDMAChannel(status);
  transfer->commitChannel(status);
  transfer->commit(status);
  windows.clearLog();
  transfer->arm(status);
  ASSERT_EQ(status.code, 0);
  EXPECT_EQ(map->Write_0009.getRegister() & 0x0F, 8u) << "channel 3 selects code 8";
  EXPECT_EQ(word(0), 0u);
  setWord(0, 1);  // the client claims the end
  tStatus2 pass;
  EXPECT_EQ(transfer->overflowed(smallFIFO.get(), pass), 1u);
  transfer->overflowedSecondary(smallFIFO.get(), pass);
  EXPECT_EQ(static_cast<int32_t>(word(4)), -200010);
  EXPECT_EQ(word(0), 1u);
  setWord(4, 0);
  transfer->handleOverrunSecondary(converter, pass);
  EXPECT_EQ(word(4), 0u) << "ended once";
  transfer->disarm(status);
  EXPECT_EQ(map->Write_0009.getRegister() & 0x0F, 0u);
  EXPECT_EQ(status.code, 0);
}

// A cancel ends the run and reports done also when its caller's status holds
// an error, which stays; only a transfer lock that refuses holds the end back.
// A disarm whose lock refuses still stops the channel and takes the FIFO off
// it, and answers the refusal.
TEST_F(tImmediateDMATest, ACancelEndsTheRunWhateverItsCallerHolds) {
  tHoldingEvent done;
  transfer->setEvent(&done, status);
  committed();
  transfer->arm(status);
  ASSERT_EQ(status.code, 0);
  tStatus2 reason;
  reason.setCode(-200474, "test", "reason", 1);
  tStatus2 held;
  held.setCode(-50103, "test", "caller", 1);
  windows.clearLog();
  transfer->requestCancel(reason, held);
  EXPECT_EQ(word(0), 1u);
  EXPECT_EQ(static_cast<int32_t>(word(4)), -200474);
  EXPECT_EQ(done.codes, (std::vector<int>{-200474, -200474}));
  EXPECT_TRUE(wroteTheChannel()) << "the channel is reset";
  EXPECT_EQ(held.code, -50103);
  transfer->requestCancel(reason, held);
  EXPECT_EQ(done.codes.size(), 2u) << "ended once";

  transfer->disarm(status);
  transfer->arm(status);
  ASSERT_EQ(status.code, 0);
  nQoSim::clearStatusLog();
  nQoSim::failNextAcquire(-50001);
  transfer->requestCancel(reason, held);
  EXPECT_EQ(word(0), 0u) << "nothing ends without the lock";
  EXPECT_EQ(done.codes.size(), 2u);
  EXPECT_EQ(held.code, -50103);
  EXPECT_TRUE(loggedAt(-50001, "qomiop/ai/tBaseAIImmediateDMATransferPrimitive", 1100));
  transfer->requestCancel(tStatus2{}, status);
  EXPECT_EQ(word(0), 1u);
  EXPECT_EQ(done.codes, (std::vector<int>{-200474, -200474, 0}));
  windows.clearLog();
  nQoSim::refuseNextAcquire();
  tStatus2 disarmed;
  transfer->disarm(disarmed);
  EXPECT_EQ(disarmed.code, -50150);
  EXPECT_FALSE(transfer->holdsArm());
  const tLog writes = windows.writes();
  ASSERT_FALSE(writes.empty()) << "nothing switched off";
  EXPECT_EQ(writes.front(), (tAccess{vesk, 0x00, 32, 4, W::kWrite})) << "not stopped";
  EXPECT_EQ(map->Write_0009.getRegister() & 0x0F, 0u) << "the FIFO left routed";
  transfer->releaseDMAChannel(status);
  transfer->setEvent(nullptr, status);
  EXPECT_EQ(status.code, 0);
}

TEST_F(tImmediateDMATest, MappingsAreUndoneBeforeTheyAreReplacedOrTheBufferFreed) {
  transfer->setListenerKey(kKey);
  committed();
  EXPECT_EQ(nQoSim::findSocketListener("{11223344-5566-7788-99AA-BBCCDDEEFF00}::"
                                       "tBaseAIImmediateDMATransferPrimitive::tLibSocketListener"),
            &transfer->listener());
  uint8_t reply[16];
  EXPECT_EQ(ask(1, request(), reply), 0);
  uint64_t first;
  std::memcpy(&first, reply, 8);
  uint32_t size;
  std::memcpy(&size, reply + 8, 4);
  EXPECT_EQ(size, 79u);
  EXPECT_EQ(ask(1, request(), reply), 0);
  EXPECT_EQ(ask(2, request(first, 78)), -223749) << "wrong size";
  EXPECT_EQ(ask(2, request(first + 1, 79)), -223749) << "wrong address";
  transfer->commit(status);  // a new buffer: the old mapping is undone first
  transfer->uncommit(status);
  std::vector<nQoSim::tUserMapping::tOperation> operations;
  for (const auto& record : nQoSim::userMappingLog()) operations.push_back(record.operation);
  using M = nQoSim::tUserMapping;
  EXPECT_EQ(operations, (std::vector<M::tOperation>{M::kMap, M::kUnmap, M::kMap, M::kUnmap}));
  EXPECT_EQ(ask(7, request()), -223749);
  tStatus2 start;
  transfer->start(start);
  EXPECT_TRUE(loggedAt(-50256, "qomiop/ai/tBaseAIImmediateDMATransferPrimitive", 891));
}

TEST_F(tImmediateDMATest, EachCommitRegistersTheListenerAnewUnderTheNameItIsGiven) {
  const std::string standard =
      "{11223344-5566-7788-99AA-BBCCDDEEFF00}::tBaseAIImmediateDMATransferPrimitive::"
      "tLibSocketListener";
  transfer->setListenerKey(kKey);
  bus.setDMAChannelNumber(4);
  transfer->reserveDMAChannel(status);
  transfer->commitChannel(status);
  transfer->commit(status, "client::listener");
  ASSERT_EQ(status.code, 0);
  EXPECT_EQ(nQoSim::findSocketListener("client::listener"), &transfer->listener());
  EXPECT_EQ(nQoSim::findSocketListener(standard), nullptr);
  EXPECT_EQ(nQoSim::registeredSocketListeners(), 1);
  transfer->uncommit(status);
  EXPECT_EQ(status.code, 0);
  // A later commit registers anew, under its own name or the standard one.
  transfer->commit(status, "client::second");
  EXPECT_EQ(nQoSim::findSocketListener("client::second"), &transfer->listener());
  EXPECT_EQ(nQoSim::findSocketListener("client::listener"), nullptr);
  transfer->uncommit(status);
  transfer->commit(status);
  EXPECT_EQ(nQoSim::findSocketListener(standard), &transfer->listener());
  EXPECT_EQ(nQoSim::registeredSocketListeners(), 1);
  // Without a key since, the next commit leaves none registered.
  transfer->setListenerKey(0);
  transfer->commit(status);
  EXPECT_EQ(nQoSim::registeredSocketListeners(), 0);
  transfer->setListenerKey(kKey);
  transfer->uncommit(status);
  // A registration the platform refuses fails the commit and leaves none.
  nQoSim::failNextSocketRegistration(-50352);
  transfer->commit(status, "client::third");
  EXPECT_EQ(status.code, -50352);
  EXPECT_EQ(nQoSim::registeredSocketListeners(), 0);
  status.clear();
  transfer.reset();
  EXPECT_EQ(nQoSim::registeredSocketListeners(), 0);
}

// A disarm leaves its run to the end: a cancel after it, or the second pass of
// a notification whose first pass saw the run, resets the channel, wakes the
// client, posts is-done and marks the header, once; a later end finds the run
// over. A disarm that meets an end under way stops the channel after it.
TEST_F(tImmediateDMATest, ACancelOrASecondPassEndsADisarmedRunOnce) {
  enum tEnd { kCancel, kSecondPass, kCancelUnderWay };
  for (const tEnd end : {kCancel, kSecondPass, kCancelUnderWay}) {
    SCOPED_TRACE(end);
    tHoldingEvent done;
    done.holds = end == kCancelUnderWay;
    transfer->setEvent(&done, status);
    const iSync* event = armedWithANamedEvent();
    ASSERT_NE(event, nullptr);
    const unsigned sets = nQoSim::syncSets(event);
    windows.clearLog();
    tStatus2 pass;
    if (end == kCancelUnderWay) {
      std::thread canceller([&] { transfer->requestCancel(tStatus2{}, pass); });
      ASSERT_TRUE(done.held.waitUntilInside());
      transfer->disarm(status);
      done.held.letGo();
      canceller.join();
      EXPECT_TRUE(done.held.expired()) << "the disarm waited for the end";
    } else {
      if (end == kSecondPass) {
        EXPECT_EQ(transfer->handleOverrun(converter, pass), 1u);
      }
      transfer->disarm(status);
      EXPECT_EQ(word(0), 0u) << "the disarm leaves the run running";
      if (end == kCancel) transfer->requestCancel(tStatus2{}, pass);
    }
    ASSERT_EQ(status.code, 0);
    transfer->handleOverrunSecondary(converter, pass);
    transfer->requestCancel(tStatus2{}, pass);
    EXPECT_EQ(pass.code, 0);
    EXPECT_EQ(word(0), 1u);
    EXPECT_EQ(static_cast<int32_t>(word(4)), end == kSecondPass ? -200019 : 0);
    const std::vector<int> posted =
        end == kSecondPass ? std::vector<int>{-200019, -200019} : std::vector<int>{0};
    EXPECT_EQ(done.codes, posted);
    EXPECT_EQ(nQoSim::syncSets(event), sets + 1);
    // The stop, the control's bits 30
    // (self-clearing) and 18, and the reset, in the order they came; a reset
    // first reads the control back as 0.
    using tWrites = std::vector<std::pair<uint32_t, uint32_t>>;
    tWrites channelWrites;
    for (const tAccess& access : windows.writes())
      if (access.window == vesk) channelWrites.emplace_back(access.offset, access.value);
    const tWrites expected =
        end == kCancelUnderWay
            ? tWrites{{0x00, 0x80000000}, {0x00, 4}, {0x04, 0x40000000}, {0x04, 0x00040000}}
            : tWrites{{0x00, 4}, {0x04, 0x4000800C}, {0x04, 0x0004800C}, {0x00, 0x80000000}};
    EXPECT_EQ(channelWrites, expected);
    transfer->uncommit(status);
    transfer->releaseDMAChannel(status);
    transfer->setEvent(nullptr, status);
    ASSERT_EQ(status.code, 0);
  }
}

// A second pass of a run that was disarmed, uncommitted or whose channel went
// back ends no later run: held before the transfer's record, it finds its run
// closed when let go; held inside the end, the uncommit waits for it before
// the buffer goes. The new run's header stays clean, the channel untouched.
TEST_F(tImmediateDMATest, ALateSecondPassOfAnEndedRunWritesNothingIntoALaterRun) {
  enum tStep { kDisarmArm, kRecommitArm, kReleaseReserve, kHeldInsideTheEnd };
  for (const tStep step : {kDisarmArm, kRecommitArm, kReleaseReserve, kHeldInsideTheEnd}) {
    SCOPED_TRACE(step);
    tHoldingOverrunObserver holder;
    tHoldingEvent done;
    done.holds = step == kHeldInsideTheEnd;
    if (step != kHeldInsideTheEnd) converter->addObserver(&holder, status);
    transfer->setEvent(&done, status);
    committed();
    transfer->arm(status);
    ASSERT_TRUE(converter->commit(status));
    ASSERT_EQ(status.code, 0);
    std::thread pass = overrun();
    tHeldCall& held = step == kHeldInsideTheEnd ? done.held : holder.held;
    ASSERT_TRUE(held.waitUntilInside());
    if (step == kDisarmArm) {
      transfer->disarm(status);
    } else if (step == kReleaseReserve) {
      transfer->releaseDMAChannel(status);
      transfer->reserveDMAChannel(status);
      transfer->commitChannel(status);
      transfer->commit(status);
    } else {
      transfer->uncommit(status);
      transfer->commit(status);
    }
    transfer->arm(status);
    ASSERT_EQ(status.code, 0);
    windows.clearLog();
    held.letGo();
    pass.join();
    EXPECT_EQ(word(0), 0u) << "the new run is not done";
    EXPECT_EQ(word(4), 0u);
    if (step == kHeldInsideTheEnd) {
      EXPECT_TRUE(held.expired()) << "the uncommit waited for the end";
      EXPECT_EQ(done.codes, (std::vector<int>{-200019, -200019}));
    } else {
      EXPECT_FALSE(held.expired()) << "the step waited for a pass held before the record";
      EXPECT_FALSE(wroteTheChannel());
      EXPECT_TRUE(done.codes.empty());
    }
    transfer->disarm(status);
    transfer->releaseDMAChannel(status);
    converter->uncommit(status);
    if (step != kHeldInsideTheEnd) converter->removeObserver(&holder, status);
    transfer->setEvent(nullptr, status);
    ASSERT_EQ(status.code, 0);
  }
}

// The uncommit closes the run: a late second pass of it before the next
// commit ends nothing, and the next commit's run starts clean.
TEST_F(tImmediateDMATest, ASecondPassAfterTheUncommitEndsNothing) {
  tHoldingEvent done;
  transfer->setEvent(&done, status);
  committed();
  transfer->arm(status);
  tStatus2 pass;
  EXPECT_EQ(transfer->handleOverrun(converter, pass), 1u);
  transfer->disarm(status);
  transfer->uncommit(status);
  ASSERT_EQ(status.code, 0);
  windows.clearLog();
  transfer->handleOverrunSecondary(converter, pass);
  EXPECT_FALSE(wroteTheChannel());
  EXPECT_TRUE(done.codes.empty());
  transfer->commit(status);
  transfer->arm(status);
  ASSERT_EQ(status.code, 0);
  EXPECT_EQ(word(0), 0u);
  EXPECT_EQ(word(4), 0u);
  transfer->requestCancel(tStatus2{}, pass);
  EXPECT_EQ(done.codes, std::vector<int>{0}) << "the new run ends once";
  transfer->disarm(status);
  transfer->releaseDMAChannel(status);
  transfer->setEvent(nullptr, status);
  EXPECT_EQ(status.code, 0);
}

// Each notification's second pass ends only the run its first pass saw: an
// overflow, an overrun or a last conversion whose first pass came in one run
// and whose second pass comes after a disarm and an arm began the next ends
// nothing of that run (its header stays clean, its channel untouched, no
// done report); the next run then ends once, by its own cancel.
TEST_F(tImmediateDMATest, EachSecondPassEndsOnlyTheRunItsFirstPassSaw) {
  using tTransfer = nQoUdP100::tBaseAIImmediateDMATransferPrimitive;
  const struct {
    const char* name;
    std::function<uint32_t(tTransfer&, tStatus2&)> first;
    std::function<void(tTransfer&, tStatus2&)> second;
  } sources[] = {
      {"overflow", [&](tTransfer& t, tStatus2& s) { return t.overflowed(fifo, s); },
       [&](tTransfer& t, tStatus2& s) { t.overflowedSecondary(fifo, s); }},
      {"overrun", [&](tTransfer& t, tStatus2& s) { return t.handleOverrun(converter, s); },
       [&](tTransfer& t, tStatus2& s) { t.handleOverrunSecondary(converter, s); }},
      {"last conversion", [&](tTransfer& t, tStatus2& s) { return t.lastConverted(timing, s); },
       [&](tTransfer& t, tStatus2& s) { t.lastConvertedSecondary(timing, s); }},
  };
  tHoldingEvent done;
  transfer->setEvent(&done, status);
  committed();
  for (const auto& source : sources) {
    SCOPED_TRACE(source.name);
    transfer->arm(status);
    tStatus2 pass;
    EXPECT_EQ(source.first(*transfer, pass), 1u);
    transfer->disarm(status);
    transfer->arm(status);
    ASSERT_EQ(status.code, 0);
    windows.clearLog();
    source.second(*transfer, pass);
    EXPECT_FALSE(wroteTheChannel());
    EXPECT_TRUE(done.codes.empty()) << "the second pass ended the next run";
    EXPECT_EQ(word(0), 0u);
    EXPECT_EQ(word(4), 0u);
    transfer->requestCancel(tStatus2{}, pass);
    EXPECT_EQ(done.codes, std::vector<int>{0}) << "the next run ends once";
    EXPECT_EQ(word(0), 1u);
    done.codes.clear();
    transfer->disarm(status);
  }
  transfer->releaseDMAChannel(status);
  transfer->setEvent(nullptr, status);
  EXPECT_EQ(status.code, 0);
}

// The client's event that a cancel (or a second pass) is setting is closed by
// an uncommit, a release of the channel or the destruction only once the set
// has left.
TEST_F(tImmediateDMATest, TheClientEventIsClosedOnlyOnceASetUnderWayHasLeft) {
  enum tRemoval { kUncommit, kRelease, kDestroy, kDestroyUnderASecondPass };
  for (const tRemoval removal : {kUncommit, kRelease, kDestroy, kDestroyUnderASecondPass}) {
    SCOPED_TRACE(removal);
    if (transfer == nullptr)
      transfer = std::make_unique<tAIImmediateDMATransferPrimitive>(
          &bus, &deviceInfo, frontEnd.get(), converter, timing, smallFIFO.get(), map,
          channels.data(), 8, status);
    const iSync* event = armedWithANamedEvent();
    ASSERT_NE(event, nullptr);
    ASSERT_TRUE(converter->commit(status));
    ASSERT_EQ(status.code, 0);

    tHeldCall held;
    std::atomic<bool> setLeft{false};
    struct tUnhook {
      ~tUnhook() { nQoSim::onSyncSet(nullptr); }
    } unhook;
    nQoSim::onSyncSet([&](const iSync* object, bool set) {
      if (object != event) return;
      if (!set) held.hold();
      if (set) setLeft = true;
    });
    std::thread setter;
    if (removal == kDestroyUnderASecondPass) {
      setter = overrun();
    } else {
      setter = std::thread([&] {
        tStatus2 cancel;
        transfer->requestCancel(tStatus2{}, cancel);
      });
    }
    ASSERT_TRUE(held.waitUntilInside());
    if (removal == kUncommit) transfer->uncommit(status);
    if (removal == kRelease) transfer->releaseDMAChannel(status);
    if (removal >= kDestroy) transfer.reset();
    EXPECT_TRUE(setLeft) << "closed under the set";
    EXPECT_TRUE(held.expired());
    held.letGo();
    setter.join();
    nQoSim::onSyncSet(nullptr);
    EXPECT_EQ(status.code, 0);
    bool closed = false;
    for (const auto& record : nQoSim::syncLog())
      closed =
          closed || (record.operation == nQoSim::tSyncRecord::kClose && record.object == event);
    EXPECT_TRUE(closed);
    converter->uncommit(status);
    if (transfer != nullptr) transfer->releaseDMAChannel(status);
    ASSERT_EQ(status.code, 0);
  }
}

// Each commit sizes its run's buffer by the scan as the configurations then
// give it: a deploy of 2 channels of 4 samples between the channel commit
// and code 1 reaches the run's header, sample area and ring; a deploy of 3
// under the armed run changes none of them, and the next commit takes it.
// A strobe of 1 given to the engine with no engine commit reaches neither:
// the board strobes 4 samples a channel.
TEST_F(tImmediateDMATest, EachCommitTakesTheScanAndADeployUnderTheRunWaitsForTheNext) {
  const auto deploy = [&](int channelCount) {
    nQoUdP100::tAIScanningFrontEndPrimitiveConfig config;
    for (int k = 0; k < channelCount; ++k)
      config.channels.append(nQoUdP100::tAIScanningFrontEndConfig{});
    commitChannels(*frontEnd, config);
  };
  // Blocks and samples per scan from the header, the sample area's size,
  // and each descriptor's bytes and offset into the buffer.
  const auto shape = [&] {
    uint32_t ring[6];
    std::memcpy(ring, transfer->linkChain(), sizeof ring);
    const auto phys = static_cast<uint32_t>(transfer->bufferPhysical());
    uint32_t area = 0;
    while (44 + area < transfer->bufferSize() && transfer->buffer()[44 + area] == 0xAA) ++area;
    return std::vector<uint32_t>{word(36),       word(40), area,          ring[0],
                                 ring[1] - phys, ring[3],  ring[4] - phys};
  };
  bus.setDMAChannelNumber(4);
  transfer->reserveDMAChannel(status);
  transfer->commitChannel(status);
  ASSERT_EQ(transfer->samplesPerScan(), 4u);
  deploy(2);
  nQoUdP100::tAITimingControllerPrimitiveConfig strobeOne = timing->programmed().configuration;
  strobeOne.timing.strobeLoadValue = 1;
  timing->setConfiguration(strobeOne, status);
  transfer->commit(status);
  transfer->arm(status);
  ASSERT_EQ(status.code, 0);
  const std::vector<uint32_t> twoChannels{2, 8, 64, 32, 44, 32, 76};
  EXPECT_EQ(shape(), twoChannels);
  deploy(3);
  EXPECT_EQ(shape(), twoChannels) << "a deploy under the run";
  EXPECT_EQ(transfer->samplesPerScan(), 8u);
  transfer->disarm(status);
  transfer->commit(status);
  ASSERT_EQ(status.code, 0);
  EXPECT_EQ(shape(), (std::vector<uint32_t>{2, 12, 96, 48, 44, 48, 92}));
  transfer->releaseDMAChannel(status);
  EXPECT_EQ(status.code, 0);
}

// Samples per scan are summed wide: three channels of 0x55555556 samples are
// refused, and the transfer keeps what it had. A FIFO whose ring of blocks
// would pass 32 bits is refused before anything is allocated.
TEST_F(tImmediateDMATest, ScanAndRingSizesAbove32BitsAreRefusedAndChangeNothing) {
  bus.setDMAChannelNumber(4);
  transfer->reserveDMAChannel(status);
  ASSERT_EQ(status.code, 0);
  nQoUdP100::tAITimingControllerPrimitiveConfig config;
  config.timing.timingMode = 2;
  config.timing.strobeLoadValue = 0x55555556;
  config.hasRouting = 1;
  config.routing.words[7] = 19;
  commitTiming(config);
  nQoUdP100::tAIScanningFrontEndPrimitiveConfig three;
  for (int k = 0; k < 3; ++k) three.channels.append(nQoUdP100::tAIScanningFrontEndConfig{});
  commitChannels(*frontEnd, three);
  ASSERT_EQ(status.code, 0);
  nQoSim::clearStatusLog();
  tStatus2 refused;
  transfer->commitChannel(refused);
  EXPECT_EQ(refused.code, -50175);
  EXPECT_TRUE(loggedAt(-50175, "qomiop/ai/tBaseAIImmediateDMATransferPrimitive", 430));
  EXPECT_EQ(transfer->samplesPerScan(), 0u);
  EXPECT_EQ(transfer->transferState(), 2u);
  EXPECT_EQ(timing->findLastConvertObserver(transfer.get()), nullptr);
  EXPECT_FALSE(converter->commit(status)) << "no record in the converter's list";

  // Two channels of 0x7FFFFFFF fit: a sum that stays a sum, then refused anew.
  config.timing.strobeLoadValue = 0x7FFFFFFF;
  commitTiming(config);
  nQoUdP100::tAIScanningFrontEndPrimitiveConfig two;
  for (int k = 0; k < 2; ++k) two.channels.append(nQoUdP100::tAIScanningFrontEndConfig{});
  commitChannels(*frontEnd, two);
  transfer->commitChannel(status);
  ASSERT_EQ(status.code, 0);
  EXPECT_EQ(transfer->samplesPerScan(), 0xFFFFFFFEu);
  config.timing.strobeLoadValue = 0x55555556;
  commitTiming(config);
  commitChannels(*frontEnd, three);
  transfer->commitChannel(refused.clear());
  EXPECT_EQ(refused.code, -50175);
  EXPECT_EQ(transfer->samplesPerScan(), 0xFFFFFFFEu) << "kept";
  EXPECT_EQ(transfer->transferState(), 3u);
  transfer->uncommitChannel(status);

  // One sample per scan over a FIFO of 0x15555556 samples: 1.3 GiB of data
  // fits, its ring of 12-byte descriptors does not.
  nQoUdP100::tAIFIFODescription deep{0x15555556, 4, 4};
  nQoUdP100::tAIDeviceFIFOPrimitive deepFIFO(&deep, map, dispatcher, status);
  tAIImmediateDMATransferPrimitive other(&bus, &deviceInfo, frontEnd.get(), converter, timing,
                                         &deepFIFO, map, channels.data(), 8, status);
  config.timing.timingMode = 1;
  commitTiming(config);
  transfer->releaseDMAChannel(status);
  other.reserveDMAChannel(status);
  other.commitChannel(status);
  ASSERT_EQ(status.code, 0);
  windows.clearLog();
  nQoSim::clearStatusLog();
  other.commit(refused.clear());
  EXPECT_EQ(refused.code, -50175);
  EXPECT_TRUE(loggedAt(-50175, "qomiop/ai/tBaseAIImmediateDMATransferPrimitive", 570));
  EXPECT_EQ(nQoSim::liveMemBlocks(), 0);
  EXPECT_EQ(windows.writes(),
            (tLog{{vesk, 0x00, 32, 4, W::kWrite}, {vesk, 0x00, 32, 0x80000000, W::kWrite}}))
      << "the channel is not programmed; the undo stops and resets it";
  EXPECT_EQ(other.transferState(), 3u);
  other.uncommitChannel(status);
  other.releaseDMAChannel(status);
  EXPECT_EQ(status.code, 0);
}

// A client's query runs on its own thread, shut out of commit, uncommit and
// destruction: a naming held while it attaches the resolver is waited for by
// an uncommit or a destruction, which then detach that resolver and close the
// event; the bus keeps no registration. A query whose lock is refused reports
// the lock's code and maps nothing.
TEST_F(tImmediateDMATest, AClientQueryUnderWayIsWaitedForBeforeTheTransferLetsGo) {
  enum tRemoval { kUncommit, kDestroy };
  for (const tRemoval removal : {kUncommit, kDestroy}) {
    SCOPED_TRACE(removal);
    tHoldingBus holdingBus(windows);
    transfer = std::make_unique<tAIImmediateDMATransferPrimitive>(
        &holdingBus, &deviceInfo, frontEnd.get(), converter, timing, smallFIFO.get(), map,
        channels.data(), 8, status);
    transfer->deployHeaderWords({.word12 = 1});
    transfer->setListenerKey(kKey);
    holdingBus.setDMAChannelNumber(4);
    transfer->reserveDMAChannel(status);
    transfer->commitChannel(status);
    transfer->commit(status, "client::dma");
    ASSERT_EQ(status.code, 0);
    ASSERT_EQ(transfer->resolver(), nullptr);
    nQoSim::clearSyncLog();

    holdingBus.holds = true;
    std::atomic<int> queryCode{1};
    std::thread client([&] {
      const std::vector<uint8_t> naming = request(0x0000'00CD'0000'00ABull);
      uint8_t reply[16];
      uint32_t replySize = 0;
      tStatus2 local;
      EXPECT_TRUE(nQoSim::sendSocketRequest("client::dma", naming.data(), 24, reply, 16, &replySize,
                                            3, 0, local));
      queryCode = local.code;
    });
    ASSERT_TRUE(holdingBus.held.waitUntilInside());
    if (removal == kUncommit) transfer->uncommit(status);
    if (removal == kDestroy) transfer.reset();
    EXPECT_TRUE(holdingBus.held.expired()) << "returned with the query inside";
    holdingBus.held.letGo();
    client.join();
    EXPECT_EQ(queryCode, 0);
    EXPECT_EQ(holdingBus.registrations(), 0) << "the query's resolver stays registered";
    const iSync* event = nullptr;
    bool closed = false;
    for (const auto& record : nQoSim::syncLog()) {
      if (record.operation == nQoSim::tSyncRecord::kOpen && record.option == 46)
        event = record.object;
      closed = closed || (event != nullptr && record.operation == nQoSim::tSyncRecord::kClose &&
                          record.object == event);
    }
    EXPECT_NE(event, nullptr);
    EXPECT_TRUE(closed) << "the client's event outlives the removal";
    if (transfer != nullptr) {
      EXPECT_EQ(transfer->resolver(), nullptr);
      EXPECT_EQ(transfer->transferState(), 3u);
      // A map after the uncommit finds no buffer: refused, nothing mapped.
      uint8_t reply[16];
      uint32_t replySize = 0;
      tStatus2 late;
      const std::vector<uint8_t> mapping = request();
      EXPECT_TRUE(nQoSim::sendSocketRequest("client::dma", mapping.data(), 24, reply, 16,
                                            &replySize, 1, 0, late));
      EXPECT_EQ(late.code, -223749);
      EXPECT_EQ(replySize, 0u);
      transfer->uncommitChannel(status);
      transfer->releaseDMAChannel(status);
      transfer.reset();
    }
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(nQoSim::liveUserMappings(), 0);
    EXPECT_EQ(nQoSim::registeredSocketListeners(), 0);
  }

  // The lock refused: the query answers the lock's code and maps nothing.
  transfer = std::make_unique<tAIImmediateDMATransferPrimitive>(&bus, &deviceInfo, frontEnd.get(),
                                                                converter, timing, smallFIFO.get(),
                                                                map, channels.data(), 8, status);
  transfer->setListenerKey(kKey);
  committed();
  nQoSim::clearUserMappingLog();
  nQoSim::clearStatusLog();
  nQoSim::failNextAcquire(-50404);
  uint8_t reply[16] = {};
  uint32_t replySize = 0;
  tStatus2 refused;
  const std::vector<uint8_t> mapping = request();
  ASSERT_TRUE(nQoSim::sendSocketRequest(
      "{11223344-5566-7788-99AA-BBCCDDEEFF00}::tBaseAIImmediateDMATransferPrimitive::"
      "tLibSocketListener",
      mapping.data(), 24, reply, 16, &replySize, 1, 0, refused));
  EXPECT_EQ(refused.code, -50404);
  EXPECT_TRUE(loggedAt(-50404, "qomiop/ai/tBaseAIImmediateDMATransferPrimitive", 1390));
  EXPECT_EQ(replySize, 0u);
  EXPECT_TRUE(nQoSim::userMappingLog().empty());
}

}  // namespace
}  // namespace nQoTest
