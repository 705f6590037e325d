// The AI DMA and interrupt transfer supervisors over logging partners and a
// FIFO double: which events are registered, what the endpoints read through
// the streams they get, what each undo step clears, and the failures of
// missing objects and allocations.
#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <functional>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "sim/simAllocator.h"
#include "sim/simResourceBroker.h"
#include "sim/simSync.h"
#include "supervisors/ai/aiTransferSupervisors.h"
#include "supervisors/ai/tAIRoutable.h"
#include "support/aiTransferDoubles.h"
#include "support/heldCall.h"
#include "support/heldCancel.h"
#include "support/heldPass.h"
#include "support/moduleFixture.h"
#include "support/reservationDoubles.h"
#include "support/statusRecords.h"
#include "support/unorderedCall.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoUdR100::tBaseAI_DMATransferSupervisor;
using nQoUdR100::tBaseAIInterruptTransferSupervisor;

class tIdleInterruptTransfer : public nQoUdP100::tBaseAIInterruptTransferPrimitive {
 public:
  tIdleInterruptTransfer(const nQoUdP100::tAIDescription* description, tStatus2& status)
      : tBaseAIInterruptTransferPrimitive(description, nullptr, nullptr, nullptr, {},
                                          {"tIdleInterruptTransfer", 1}, status) {}
  void waitForLastConversion(tStatus2&) override {}
};

// The FIFO supervisor (key 1, not reserved), the DMA channel (2), the DMA
// partner (3), the interrupt partner (4); the DMA primitive's pool is offered
// under "DMA", the FIFO's under "FIFO".
class AITransferSupervisorsTest : public nQoTest::tLeakCheckedTest {
 protected:
  void SetUp() override {
    nQoTest::tLeakCheckedTest::SetUp();
    nQoSim::resetResourceBroker();
    fifo.emplace(log, &fifoDescription, setup);
    fifo->data = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    fifoPool.emplace(&*fifo);
    offer("FIFO", &*fifoPool);
    offer("DMA", &dmaPool);
    nQoUdR100::tAIDeviceFIFOSettings fifoSettings;
    fifoSettings.supervisorRecord().identifier = identifiers[0];
    fifoSupervisor.emplace();
    fifoSupervisor->initialize(fifoSettings, &facade, setup);
    map.entries = {{1, &*fifoSupervisor}, {2, &channel}, {3, &partner}, {4, &interruptPartner}};
    facade.eventObject = &event;
    ASSERT_EQ(setup.code, 0);
  }
  void TearDown() override {
    nQoSim::resetResourceBroker();
    fifoSupervisor.reset();
    fifoPool.reset();
    fifo.reset();
    identifiers.clear();
    nQoTest::tLeakCheckedTest::TearDown();
  }
  void offer(const char* name, nQoMRL100::iLeafResourcePool* pool) {
    identifiers.emplace_back().setString(name, setup);
    nQoMRL100::getResourceBroker(setup)->registerPool(&identifiers.back(), pool, setup);
  }
  nQoUdR100::tAI_DMATransferSettings dmaSettings(uint32_t readable, uint32_t done,
                                                 uint32_t suppressed) {
    nQoUdR100::tAI_DMATransferSettings settings;
    auto& words = settings.supervisorRecord();
    words.identifier1 = identifiers[1];
    words.word1 = 1;
    words.word2 = 2;
    words.word3 = 3;
    words.word4 = readable;
    words.word5 = done;
    words.word6 = suppressed;
    return settings;
  }
  // initialize and link, then reserveResource and linkResource while `steps` allow.
  template <class tSupervisor, class tSettings>
  int bringUp(tSupervisor& supervisor, const tSettings& settings, int steps = 4) {
    tStatus2 status;
    supervisor.initialize(settings, &facade, status);
    supervisor.link(map, status);
    if (steps > 2) supervisor.reserveResource(status);
    if (steps > 3) supervisor.linkResource(status);
    log.clear();
    return status.code;
  }
  template <class tSupervisor>
  int32_t state(tSupervisor& supervisor) {
    return supervisor.getTracker().getState(setup);
  }

  tStatus2 setup;
  nQoTest::tCallLog log;
  nQoTest::tScriptedFacade facade{log, "facade"};
  nQoTest::tScriptedSupervisorMap map{log, "map"};
  nQoTest::tScriptedEvent event{log, "event"};
  nQoTest::tScriptedDMAChannel channel{log, "channel"};
  nQoTest::tReadingDMATransfer partner{log, "partner"};
  nQoTest::tInterruptPartner interruptPartner{log, "partner"};
  nQoUdP100::tAIFIFODescription fifoDescription{64, 0, 0};  // 16-bit samples
  std::optional<nQoTest::tBytesFIFO> fifo;
  std::optional<nQoUdR100::tBaseAIDeviceFIFOSupervisorRow::tPool> fifoPool;
  nQoUdP100::tBaseAI_DMATransferPrimitive dma;
  nQoUdR100::tBaseAI_DMATransferSupervisorRow::tPool dmaPool{&dma};
  std::deque<nQoMRL100::tGeneralIdentifier> identifiers;
  std::optional<nQoUdR100::tBaseAIDeviceFIFOSupervisor> fifoSupervisor;
};

TEST_F(AITransferSupervisorsTest, DoneEventsAreRegisteredOnlyWhenWantedAndNotSuppressed) {
  struct tCase {
    uint32_t done, suppressed;
    const char* reserved;
    const char* released;
  };
  const tCase cases[] = {
      {1, 0, "event.registerEvent 1", "event.unregisterEvent 1"}, {1, 1, "", ""}, {0, 0, "", ""}};
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.done * 10 + c.suppressed);
    tBaseAI_DMATransferSupervisor supervisor;
    bringUp(supervisor, dmaSettings(0, c.done, c.suppressed), 2);
    tStatus2 status;
    supervisor.reserveResource(status);
    EXPECT_EQ(log.operations(), c.reserved);
    log.clear();
    supervisor.releaseResource(status);
    EXPECT_EQ(log.operations(), c.released);
    EXPECT_EQ(status.code, 0);
  }
}

// A deploy while the transfer is held decides the next reservation's done
// events; the release ends the registration of its own reserve only.
TEST_F(AITransferSupervisorsTest, TheReleaseEndsTheRegistrationOfItsReserveAfterADeploy) {
  struct tCase {
    const char* name;
    uint32_t reservedDone, deployedDone;
    const char* registered;
    const char* released;
  };
  const tCase cases[] = {{"a deploy that drops the done kind", 1, 0, "event.registerEvent 1",
                          "event.unregisterEvent 1"},
                         {"a deploy that adds the done kind", 0, 1, "", ""}};
  for (const tCase& c : cases) {
    SCOPED_TRACE(c.name);
    tBaseAI_DMATransferSupervisor supervisor;
    bringUp(supervisor, dmaSettings(0, c.reservedDone, 0), 2);
    tStatus2 status;
    supervisor.reserveResource(status);
    EXPECT_EQ(log.operations(), c.registered);
    supervisor.deploy(dmaSettings(0, c.deployedDone, 0), status);
    log.clear();
    supervisor.releaseResource(status);
    EXPECT_EQ(log.operations(), c.released);
    EXPECT_EQ(status.code, 0);
  }
}

TEST_F(AITransferSupervisorsTest, TheDMAEndpointReadsWholeSamplesThroughTheReadable) {
  fifoSupervisor->reserveResource(setup);
  tBaseAI_DMATransferSupervisor supervisor;
  ASSERT_EQ(bringUp(supervisor, dmaSettings(1, 0, 0)), 0);
  nQoUdR100::tAIReadable* readable = supervisor.getLinks().getReadable();
  ASSERT_EQ(partner.endpoint.readable, readable);
  EXPECT_EQ(supervisor.getLinks().getDummy(), nullptr);

  // 7 bytes at width 2: 3 samples asked, 3 delivered, 6 bytes.
  tStatus2 status;
  uint8_t bytes[8] = {};
  EXPECT_EQ(readable->read(bytes, 7, status), 6u);
  EXPECT_EQ(log.operations(), "fifo.readSamples 3");
  EXPECT_EQ(bytes[5], 6);
  EXPECT_EQ(bytes[6], 0);
  fifo->deliver = 1;
  EXPECT_EQ(readable->read(bytes, 8, status), 2u);
  EXPECT_EQ(readable->available(status), 2u);

  // A refused hand-back is reported and the linkers are unlinked all the same.
  log.clear();
  partner.endpoint.answers["setReadable null"] = -7;
  supervisor.unlinkResource(status);
  EXPECT_EQ(status.code, -7);
  EXPECT_EQ(log.operations(), "endpoint.setReadable null");
  EXPECT_EQ(dma.getDoneSink(), nullptr);
  status.clear();
  // Unlinked, or at width 0, the readable reads nothing and asks no FIFO.
  log.clear();
  EXPECT_EQ(readable->read(bytes, 8, status), 0u);
  EXPECT_EQ(readable->available(status), 0u);
  readable->setSource(&*fifo, 0);
  EXPECT_EQ(readable->read(bytes, 8, status), 0u);
  EXPECT_EQ(readable->available(status), 0u);
  EXPECT_EQ(log.operations(), "");
  supervisor.releaseResource(status);
  fifoSupervisor->releaseResource(status);
}

// A FIFO whose first read is held on its way in; it serves its bytes without
// logging, so the held read writes nothing the test's thread also writes.
class tHeldFIFO : public nQoTest::tBytesFIFO {
 public:
  using tBytesFIFO::tBytesFIFO;
  uint32_t readSamples(void* buffer, uint32_t count, tStatus2&) override {
    held.hold();
    uint32_t samples = static_cast<uint32_t>(data.size()) / sampleWidth();
    if (samples > count) samples = count;
    std::memcpy(buffer, data.data(), samples * sampleWidth());
    return samples;
  }
  nQoTest::tHeldPass held;
};

// The endpoint's read under way through the readable when unlinkResource
// takes its source away: the endpoint is let go first (it waits for the
// read), so the read ends with the source and width it began with (3 samples
// of 2 bytes).
TEST_F(AITransferSupervisorsTest, UnlinkResourceWaitsForAReadUnderWayThroughTheReadable) {
  tHeldFIFO held(log, &fifoDescription, setup);
  held.data = {1, 2, 3, 4, 5, 6, 7, 8};
  fifoPool.emplace(&held);
  fifoSupervisor->reserveResource(setup);
  ASSERT_EQ(fifoSupervisor->getPrimitive(), &held);
  tBaseAI_DMATransferSupervisor supervisor;
  ASSERT_EQ(bringUp(supervisor, dmaSettings(1, 0, 0)), 0);
  nQoUdR100::tAIReadable* readable = supervisor.getLinks().getReadable();
  ASSERT_EQ(partner.endpoint.readable, readable);

  uint8_t bytes[8] = {};
  uint32_t read = 0;
  tStatus2 reading;
  tStatus2 status;
  held.held.run([&] { read = partner.endpoint.read(bytes, 7, reading); });
  held.held.tearDown([&] { supervisor.unlinkResource(status); });
  EXPECT_TRUE(held.held.teardownWaited()) << "unlinkResource returned under a read";
  EXPECT_EQ(read, 6u);
  EXPECT_EQ(reading.code, 0);
  EXPECT_EQ(bytes[5], 6);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(readable->getSource(), nullptr);
  EXPECT_EQ(readable->read(bytes, 8, reading), 0u);

  supervisor.releaseResource(status);
  fifoSupervisor->releaseResource(status);
  EXPECT_EQ(status.code, 0);
  fifoPool.emplace(&*fifo);
}

// A DMA transfer supervisor destroyed while linked and reserved runs
// unlinkResource and the release first: the endpoint's read under way through
// the readable ends before the readable goes, the endpoint keeps no stream,
// the transfer no channel or done sink, and the transfer goes back to its pool.
TEST_F(AITransferSupervisorsTest, ASupervisorDestroyedWhileLinkedTakesItsStreamBackFirst) {
  tHeldFIFO held(log, &fifoDescription, setup);
  held.data = {1, 2, 3, 4};
  fifoPool.emplace(&held);
  fifoSupervisor->reserveResource(setup);
  auto* supervisor = new tBaseAI_DMATransferSupervisor;
  ASSERT_EQ(bringUp(*supervisor, dmaSettings(1, 0, 0)), 0);
  ASSERT_NE(partner.endpoint.readable, nullptr);
  uint8_t bytes[4] = {};
  uint32_t read = 0;
  tStatus2 reading, status;
  held.held.run([&] { read = partner.endpoint.read(bytes, 4, reading); });
  held.held.tearDown([&] { delete supervisor; });
  EXPECT_TRUE(held.held.teardownWaited()) << "the destructor freed the readable under a read";
  EXPECT_EQ(read, 4u);
  EXPECT_EQ(partner.endpoint.readable, nullptr);
  EXPECT_EQ(dma.getDoneSink(), nullptr);
  EXPECT_EQ(dma.getDMAChannelNumber(), nQoUdP100::tBaseAI_DMATransferPrimitive::kNoChannel);
  EXPECT_EQ(nQoSim::brokerLog().back().operation, 7);

  tBaseAI_DMATransferSupervisor next;
  EXPECT_EQ(bringUp(next, dmaSettings(0, 0, 0)), 0);
  EXPECT_EQ(next.getPrimitive(), &dma);
  next.unlinkResource(status);
  next.releaseResource(status);
  fifoSupervisor->releaseResource(status);
  EXPECT_EQ(status.code, 0);
  fifoPool.emplace(&*fifo);
}

TEST_F(AITransferSupervisorsTest, WithoutAFIFOPrimitiveTheReadableIsRefusedAndTheDummyGiven) {
  tBaseAI_DMATransferSupervisor supervisor;
  ASSERT_EQ(bringUp(supervisor, dmaSettings(1, 0, 0), 3), 0);
  tStatus2 link;
  supervisor.linkResource(link);
  EXPECT_EQ(link.code, -50004);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tBaseAI_DMATransferSupervisor", 470));
  EXPECT_EQ(partner.endpoint.readable, nullptr);
  EXPECT_EQ(dma.getDoneSink(), nullptr);
  EXPECT_EQ(state(supervisor), 30);

  tStatus2 status;
  supervisor.releaseResource(status);
  supervisor.deploy(dmaSettings(0, 0, 0), status);
  supervisor.reserveResource(status);
  supervisor.linkResource(status);
  EXPECT_EQ(status.code, 0);
  ASSERT_NE(supervisor.getLinks().getDummy(), nullptr);
  EXPECT_EQ(partner.endpoint.readable, supervisor.getLinks().getDummy());
  supervisor.unlinkResource(status);
  supervisor.releaseResource(status);
}

// The reservation makes the stream its readable mode asks for, and the link
// gives the partner that stream: a mode deployed in between reaches the next
// reservation only.
TEST_F(AITransferSupervisorsTest, TheLinkGivesTheStreamOfItsReservationWhateverADeployAsksSince) {
  fifoSupervisor->reserveResource(setup);
  for (const uint32_t reserved : {1u, 0u}) {
    SCOPED_TRACE(reserved);
    tBaseAI_DMATransferSupervisor supervisor;
    ASSERT_EQ(bringUp(supervisor, dmaSettings(reserved, 0, 0), 3), 0);
    tStatus2 status;
    supervisor.deploy(dmaSettings(1 - reserved, 0, 0), status);
    supervisor.linkResource(status);
    EXPECT_EQ(status.code, 0);
    EXPECT_EQ(state(supervisor), 40);
    if (reserved != 0)
      EXPECT_EQ(partner.endpoint.readable, supervisor.getLinks().getReadable());
    else
      EXPECT_EQ(partner.endpoint.readable, supervisor.getLinks().getDummy());
    EXPECT_NE(partner.endpoint.readable, nullptr);
    supervisor.unlinkResource(status);
    supervisor.releaseResource(status);
  }
  fifoSupervisor->releaseResource(setup);
}

TEST_F(AITransferSupervisorsTest, AFailedAllocationIsUndoneAndLeavesNothingLive) {
  {
    tBaseAI_DMATransferSupervisor supervisor;
    bringUp(supervisor, dmaSettings(1, 1, 0), 2);
    const int64_t live = nQoSim::liveAllocations();
    nQoSim::failAllocation(1);
    tStatus2 status;
    supervisor.reserveResource(status);
    EXPECT_EQ(status.code, -50352);
    EXPECT_EQ(log.operations(), "event.registerEvent 1, event.unregisterEvent 1");
    const auto calls = nQoSim::brokerLog();
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2].operation, 6);
    EXPECT_EQ(calls.back().operation, 7);
    EXPECT_EQ(supervisor.getPrimitive(), nullptr);
    EXPECT_EQ(state(supervisor), 20);
    EXPECT_EQ(nQoSim::liveAllocations(), live);
  }
  tBaseAIInterruptTransferSupervisor supervisor;
  nQoSim::failAllocation(1);
  tStatus2 status;
  supervisor.initialize(nQoUdR100::tAIInterruptTransferSettings{}, &facade, status);
  EXPECT_EQ(status.code, -50352);
  EXPECT_EQ(supervisor.getLinks().getDestination(), nullptr);
  EXPECT_EQ(state(supervisor), 0);
}

// The interrupt transfer takes part in no code, yet commit and arm still
// reach it: its release puts the run back where linking left it (here: never
// linked), so that the next link registers its observers again.
TEST_F(AITransferSupervisorsTest, TheInterruptTransferReleaseUndoesTheRunOfItsCodes) {
  nQoUdP100::tAISampleDescription samples{2};
  nQoUdP100::tAIDescription description;
  description.fifo = &fifoDescription;
  description.samples = &samples;
  tIdleInterruptTransfer transfer(&description, setup);
  nQoUdR100::tBaseAIInterruptTransferSupervisorRow::tPool pool(&transfer);
  offer("Interrupt", &pool);
  nQoUdR100::tAIInterruptTransferSettings settings;
  settings.supervisorRecord().identifier = identifiers[2];
  settings.supervisorRecord().word1 = 4;
  settings.supervisorRecord().word2 = 1;
  tBaseAIInterruptTransferSupervisor supervisor;
  ASSERT_EQ(bringUp(supervisor, settings, 3), 0);
  tStatus2 code, status;
  supervisor.control(4100, nullptr, nullptr, code);
  EXPECT_EQ(code.code, -50256);
  ASSERT_EQ(transfer.runState(), 5u);
  supervisor.releaseResource(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(transfer.runState(), 1u);
  EXPECT_EQ(transfer.reservation(), 1u);
}

TEST_F(AITransferSupervisorsTest, TheInterruptDestinationFeedsThePartnersEndpoint) {
  fifoSupervisor->reserveResource(setup);
  nQoUdP100::tAISampleDescription samples{2};
  nQoUdP100::tAIDescription description;
  description.fifo = &fifoDescription;
  description.samples = &samples;
  tIdleInterruptTransfer transfer(&description, setup);
  nQoUdR100::tBaseAIInterruptTransferSupervisorRow::tPool pool(&transfer);
  offer("Interrupt", &pool);
  nQoUdR100::tAIInterruptTransferSettings settings;
  settings.supervisorRecord().identifier = identifiers[2];
  settings.supervisorRecord().word1 = 4;
  settings.supervisorRecord().word2 = 1;
  tBaseAIInterruptTransferSupervisor supervisor;
  ASSERT_EQ(bringUp(supervisor, settings, 3), 0);
  EXPECT_EQ(transfer.reservation(), 2u);
  tStatus2 status, moved, ended;
  supervisor.linkResource(status);
  ASSERT_EQ(state(supervisor), 40);
  auto* destination = transfer.getDestination();
  ASSERT_EQ(destination, supervisor.getLinks().getDestination());
  EXPECT_EQ(destination->move(5, moved), 5u);
  destination->notify();
  tStatus2 overflow;
  overflow.setCode(-200010, "qoudrk", "test", 1);
  destination->transferEnded(overflow, ended);
  EXPECT_EQ(moved.code, 0);
  EXPECT_EQ(ended.code, 0);
  EXPECT_EQ(log.operations(),
            "partner.endpointFor, endpoint.data 5, fifo.readSamples 5, endpoint.notify, "
            "endpoint.end -200010");
  EXPECT_EQ(interruptPartner.endpoint.bytes, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  supervisor.unlinkResource(status);
  supervisor.releaseResource(status);
  EXPECT_EQ(transfer.getDestination(), nullptr);
  EXPECT_EQ(transfer.reservation(), 1u);

  // No endpoint handed out: a move reaches nothing, and unlinkResource still
  // clears the primitive's destination.
  interruptPartner.none = true;
  supervisor.reserveResource(status);
  supervisor.linkResource(status);
  ASSERT_EQ(status.code, 0);
  log.clear();
  tStatus2 lost;
  EXPECT_EQ(transfer.getDestination()->move(5, lost), 0u);
  EXPECT_EQ(lost.code, -50004);
  EXPECT_EQ(log.operations(), "");
  supervisor.unlinkResource(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(transfer.getDestination(), nullptr);
  supervisor.releaseResource(status);
  fifoSupervisor->releaseResource(status);

  // A partner key that answers a DMA channel: -89000 at link.
  settings.supervisorRecord().word1 = 2;
  tBaseAIInterruptTransferSupervisor wrong;
  EXPECT_EQ(bringUp(wrong, settings, 2), -89000);
  EXPECT_EQ(state(wrong), 10);
}

// A pass through the primitive's destination on another thread right after
// linkResource, which nothing but the primitive's own slot orders after the
// link: it finds the destination with the partner's endpoint and the FIFO
// already given, and moves the samples.
TEST_F(AITransferSupervisorsTest, APassAfterALinkFindsTheDestinationFilled) {
  fifoSupervisor->reserveResource(setup);
  nQoUdP100::tAISampleDescription samples{2};
  nQoUdP100::tAIDescription description;
  description.fifo = &fifoDescription;
  description.samples = &samples;
  tIdleInterruptTransfer transfer(&description, setup);
  nQoUdR100::tBaseAIInterruptTransferSupervisorRow::tPool pool(&transfer);
  offer("Interrupt", &pool);
  nQoUdR100::tAIInterruptTransferSettings settings;
  settings.supervisorRecord().identifier = identifiers[2];
  settings.supervisorRecord().word1 = 4;
  settings.supervisorRecord().word2 = 1;
  tBaseAIInterruptTransferSupervisor supervisor;
  ASSERT_EQ(bringUp(supervisor, settings, 3), 0);
  tStatus2 status, moved;
  uint32_t count = 0;
  {
    nQoTest::tUnorderedCall pass([&] {
      if (auto* destination = transfer.getDestination()) count = destination->move(5, moved);
    });
    supervisor.linkResource(status);
    ASSERT_TRUE(pass.run());
  }
  EXPECT_EQ(count, 5u);
  EXPECT_EQ(moved.code, 0);
  EXPECT_EQ(interruptPartner.endpoint.bytes, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
  supervisor.unlinkResource(status);
  supervisor.releaseResource(status);
  fifoSupervisor->releaseResource(status);
  EXPECT_EQ(status.code, 0);
}

TEST_F(AITransferSupervisorsTest, TheRoutableSetsTheWordOfEachKnownIndex) {
  nQoTest::tTimingControllerStub timing;
  nQoUdR100::tAIRoutable routable(&timing);
  const nQoMRU210::tRoute pairs[] = {{6, 7}, {15, 9}, {12, 3}};
  tStatus2 status;
  routable.routeList({pairs, pairs + 3}, status);
  nQoUdP100::tAIRoutingConfig expected;
  expected.words[16] = 7;
  expected.words[2] = 3;
  for (uint32_t word = 0; word < nQoUdP100::tAIRoutingConfig::kWordCount; ++word)
    EXPECT_EQ(routable.routing().words[word], expected.words[word]) << word;
  routable.apply(status);
  EXPECT_EQ(status.code, 0);
  timing.commit(status);
  EXPECT_EQ(timing.programmed().configuration.routing.words[16], 7);
  // Every index alone, with a value of its own: exactly its word, and index
  // 15 none.
  const uint32_t wordOf[] = {0, 1, 3, 4, 7, 8, 16, 17, 20, 21, 11, 12, 2, 13, 14};
  const nQoUdP100::tAIRoutingConfig fresh;
  for (uint32_t index = 0; index <= 15; ++index) {
    nQoUdR100::tAIRoutable single(&timing);
    single.route(index, 0x11223300 + index, status);
    for (uint32_t word = 0; word < nQoUdP100::tAIRoutingConfig::kWordCount; ++word)
      EXPECT_EQ(single.routing().words[word], index < 15 && wordOf[index] == word
                                                  ? int32_t(0x11223300 + index)
                                                  : fresh.words[word])
          << "index " << index << " word " << word;
  }
  nQoUdR100::tAIRoutable orphan(nullptr);
  orphan.apply(status);
  EXPECT_EQ(status.code, -50004);
}

}  // namespace

namespace {

// A cancel from the user's thread that is waking the transfer's worker holds
// the release until it has left the primitive; a cancel after the release
// wakes nothing.
TEST_F(AITransferSupervisorsTest, TheDMAReleaseWaitsForACancelUnderWayOnAnotherThread) {
  const nQoUdP100::tDeviceInfo deviceInfo;
  tStatus2 built;
  nQoUdP100::tBaseAI_DMATransferPrimitive worker(nullptr, nullptr, nullptr, deviceInfo, built);
  ASSERT_EQ(built.code, 0);
  nQoUdR100::tBaseAI_DMATransferSupervisorRow::tPool workerPool(&worker);
  offer("DMA with a worker", &workerPool);
  auto settings = dmaSettings(0, 0, 0);
  settings.supervisorRecord().identifier1 = identifiers.back();
  tBaseAI_DMATransferSupervisor supervisor;
  ASSERT_EQ(bringUp(supervisor, settings), 0);
  tStatus2 status;
  supervisor.getTracker().applyEvent(nQoMRTB100::kControlCommit, status);
  ASSERT_EQ(state(supervisor), 50);

  EXPECT_TRUE(
      nQoTest::heldAtASet(nQoTest::cancelOf(supervisor), nQoTest::releaseOf(supervisor, true)));
  EXPECT_EQ(supervisor.getPrimitive(), nullptr);

  nQoSim::clearSyncLog();
  supervisor.requestCancel(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_TRUE(nQoSim::syncLog().empty()) << "a cancel after the release woke the worker";
}

// A DMA transfer whose arm holds between its check of the channel number
// and the select, noting the number at each.
class tHeldSelect : public nQoUdP100::tBaseAI_DMATransferPrimitive {
 public:
  using tBaseAI_DMATransferPrimitive::tBaseAI_DMATransferPrimitive;
  void selectChannel(uint8_t code, tStatus2&) override {
    if (code == 0) return;  // a deselect
    checked = getDMAChannelNumber();
    held.hold();
    leaving = getDMAChannelNumber();
  }
  nQoTest::tHeldCall held;
  uint32_t checked = 0, leaving = 0;
};

// An arm (4100) from another thread is selecting the linked channel when
// unlinkResource runs: the channel number stays the one it checked until the
// arm has left, and is "no channel" after.
TEST_F(AITransferSupervisorsTest, UnlinkResourceLeavesTheChannelNumberOfAnArmUnderWay) {
  const nQoUdP100::tDeviceInfo deviceInfo;
  tStatus2 built;
  tHeldSelect arming(nullptr, nullptr, nullptr, deviceInfo, built);
  nQoUdR100::tBaseAI_DMATransferSupervisorRow::tPool armingPool(&arming);
  offer("DMA that arms", &armingPool);
  auto settings = dmaSettings(0, 0, 0);
  settings.supervisorRecord().identifier1 = identifiers.back();
  channel.channelNumber = 5;
  tBaseAI_DMATransferSupervisor supervisor;
  ASSERT_EQ(bringUp(supervisor, settings), 0);
  tStatus2 status, armed;
  supervisor.getTracker().applyEvent(nQoMRTB100::kControlCommit, status);
  std::thread sender([&] { supervisor.control(4100, nullptr, nullptr, armed); });
  ASSERT_TRUE(arming.held.waitUntilInside());
  supervisor.unlinkResource(status);
  arming.held.letGo();
  sender.join();
  EXPECT_TRUE(arming.held.expired()) << "unlinkResource returned while the arm was inside";
  EXPECT_EQ(arming.checked, 5u);
  EXPECT_EQ(arming.leaving, 5u) << "the channel number changed under the arm";
  EXPECT_EQ(arming.getDMAChannelNumber(), nQoUdP100::tBaseAI_DMATransferPrimitive::kNoChannel);
  EXPECT_EQ(status.code, 0);
  supervisor.releaseResource(status);
}

// An arm (4100) from another thread right after linkResource, which nothing
// but the primitive's own fields orders after the link: it selects the
// channel that the link gave.
TEST_F(AITransferSupervisorsTest, AnArmOnAnotherThreadAfterALinkSelectsTheChannelItGave) {
  const nQoUdP100::tDeviceInfo deviceInfo;
  tStatus2 built;
  tHeldSelect arming(nullptr, nullptr, nullptr, deviceInfo, built);
  arming.held.letGo();
  nQoUdR100::tBaseAI_DMATransferSupervisorRow::tPool armingPool(&arming);
  offer("DMA that arms", &armingPool);
  auto settings = dmaSettings(0, 0, 0);
  settings.supervisorRecord().identifier1 = identifiers.back();
  channel.channelNumber = 5;
  tBaseAI_DMATransferSupervisor supervisor;
  ASSERT_EQ(bringUp(supervisor, settings), 0);
  tStatus2 status, armed;
  supervisor.unlinkResource(status);
  supervisor.getTracker().applyEvent(nQoMRTB100::kControlCommit, status);
  channel.channelNumber = 7;
  {
    nQoTest::tUnorderedCall arm([&] { supervisor.control(4100, nullptr, nullptr, armed); });
    supervisor.linkResource(status);
    ASSERT_TRUE(arm.run());
  }
  EXPECT_EQ(arming.checked, 7u);
  EXPECT_TRUE(arming.isArmed());
  EXPECT_EQ(status.code, 0);
  supervisor.unlinkResource(status);
  supervisor.releaseResource(status);
  EXPECT_FALSE(arming.isArmed());
}

// An arm (4100) from another thread holds between its check of the channel
// number and the select when the partner's endpoint refuses the stream: the
// failed linkResource takes the channel back only once the arm has left, so
// the arm selects the channel it checked; afterwards the transfer is as
// after unlinkResource, and the next linkResource links it again.
TEST_F(AITransferSupervisorsTest, AFailedLinkResourceUndoesOnlyAfterAnArmUnderWay) {
  class tRefusingEndpoint : public nQoTest::tReadingDMAEndpoint {
   public:
    using tReadingDMAEndpoint::tReadingDMAEndpoint;
    void setReadable(nQoMXSL100::iReadable<unsigned char>* r, tStatus2& s) override {
      if (r != nullptr && onStream) std::exchange(onStream, nullptr)();
      tReadingDMAEndpoint::setReadable(r, s);
    }
    std::function<void()> onStream;
  };
  tRefusingEndpoint endpoint{log, "endpoint"};
  struct tRefusingPartner : nQoTest::tScriptedPartner<nQoLMSDR100::iDMATransferSupervisor> {
    using tScriptedPartner::tScriptedPartner;
    nQoLMSDR100::iDMAEndpoint* getEndpoint(tStatus2&) override { return endpoint; }
    nQoLMSDR100::iDMAEndpoint* endpoint = nullptr;
  } refusing{log, "refusing"};
  refusing.endpoint = &endpoint;
  const nQoUdP100::tDeviceInfo deviceInfo;
  tStatus2 built;
  tHeldSelect arming(nullptr, nullptr, nullptr, deviceInfo, built);
  nQoUdR100::tBaseAI_DMATransferSupervisorRow::tPool armingPool(&arming);
  offer("DMA that arms", &armingPool);
  auto settings = dmaSettings(0, 0, 0);
  settings.supervisorRecord().identifier1 = identifiers.back();
  channel.channelNumber = 5;
  map.entries[3] = &refusing;
  tBaseAI_DMATransferSupervisor supervisor;
  ASSERT_EQ(bringUp(supervisor, settings, 3), 0);
  tStatus2 status, armed, link;
  supervisor.getTracker().applyEvent(nQoMRTB100::kControlCommit, status);
  std::thread sender;
  endpoint.answers = {{"setReadable", -50150}};
  endpoint.onStream = [&] {
    sender = std::thread([&] { supervisor.control(4100, nullptr, nullptr, armed); });
    EXPECT_TRUE(arming.held.waitUntilInside());
  };
  supervisor.linkResource(link);
  arming.held.letGo();
  sender.join();
  EXPECT_EQ(link.code, -50150);
  EXPECT_TRUE(arming.held.expired()) << "the failed link undid while the arm was inside";
  EXPECT_EQ(arming.checked, 5u);
  EXPECT_EQ(arming.leaving, 5u) << "the channel number changed under the arm";
  EXPECT_EQ(arming.getDMAChannelNumber(), nQoUdP100::tBaseAI_DMATransferPrimitive::kNoChannel);
  EXPECT_EQ(arming.getDoneSink(), nullptr);

  endpoint.answers.clear();
  supervisor.linkResource(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(arming.getDMAChannelNumber(), 5u);
  EXPECT_EQ(endpoint.readable, supervisor.getLinks().getDummy());
  supervisor.unlinkResource(status);
  supervisor.releaseResource(status);
  EXPECT_EQ(endpoint.readable, nullptr);
}

}  // namespace

namespace {

// A DMA transfer that notes each channel select code (0: deselected).
class tSelectingTransfer : public nQoUdP100::tBaseAI_DMATransferPrimitive {
 public:
  using tBaseAI_DMATransferPrimitive::tBaseAI_DMATransferPrimitive;
  void selectChannel(uint8_t code, tStatus2&) override { selects.push_back(code); }
  std::vector<uint8_t> selects;
};

// A release with no unlinkResource before it, of a task that armed the
// transfer: the run is disarmed (channel deselected, its one clean end
// reported to the partner's endpoint) while the links still give it the
// endpoint, then the links take back the channel, the sink, the event and
// the stream, so the transfer goes back as a fresh reservation finds it.
TEST_F(AITransferSupervisorsTest, AReleaseAloneDisarmsTheRunThenTakesBackWhatTheLinksGave) {
  struct tEndingEndpoint : nQoTest::tReadingDMAEndpoint {
    using tReadingDMAEndpoint::tReadingDMAEndpoint;
    void transferEnded(const tStatus2& reason, tStatus2&) override { ends.push_back(reason.code); }
    std::vector<int> ends;
  } endpoint{log, "endpoint"};
  struct tEndingPartner : nQoTest::tScriptedPartner<nQoLMSDR100::iDMATransferSupervisor> {
    using tScriptedPartner::tScriptedPartner;
    nQoLMSDR100::iDMAEndpoint* getEndpoint(tStatus2&) override { return endpoint; }
    nQoLMSDR100::iDMAEndpoint* endpoint = nullptr;
  } ending{log, "ending"};
  ending.endpoint = &endpoint;
  const nQoUdP100::tDeviceInfo deviceInfo;
  tStatus2 built;
  tSelectingTransfer arming(nullptr, nullptr, nullptr, deviceInfo, built);
  nQoUdR100::tBaseAI_DMATransferSupervisorRow::tPool armingPool(&arming);
  offer("DMA that selects", &armingPool);
  auto settings = dmaSettings(0, 1, 0);
  settings.supervisorRecord().identifier1 = identifiers.back();
  channel.channelNumber = 5;
  map.entries[3] = &ending;
  tBaseAI_DMATransferSupervisor supervisor;
  ASSERT_EQ(bringUp(supervisor, settings), 0);
  ASSERT_EQ(arming.getEvent(), &event);
  ASSERT_NE(endpoint.readable, nullptr);
  tStatus2 status, armed;
  supervisor.getTracker().applyEvent(nQoMRTB100::kControlCommit, status);
  supervisor.control(4100, nullptr, nullptr, armed);
  ASSERT_TRUE(arming.isArmed());
  ASSERT_EQ(arming.selects.size(), 1u);

  supervisor.releaseResource(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(arming.selects, (std::vector<uint8_t>{arming.selects[0], 0}));
  EXPECT_EQ(endpoint.ends, (std::vector<int>{0})) << "the run ended without its done report";
  EXPECT_FALSE(arming.isArmed());
  EXPECT_EQ(arming.getDMAChannelNumber(), nQoUdP100::tBaseAI_DMATransferPrimitive::kNoChannel);
  EXPECT_EQ(arming.getDoneSink(), nullptr);
  EXPECT_EQ(arming.getEvent(), nullptr);
  EXPECT_EQ(endpoint.readable, nullptr);
  EXPECT_EQ(supervisor.getPrimitive(), nullptr);
}

}  // namespace
