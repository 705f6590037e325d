// The event, scheduler action and DMA linkers against scripted partners.
#include <gtest/gtest.h>

#include "primitives/ai/tBaseAIImmediateDMATransferPrimitive.h"
#include "primitives/ai/tBaseAIImmediateTransferPrimitive.h"
#include "primitives/ai/tBaseAITimingControllerPrimitive.h"
#include "primitives/ai/tBaseAI_DMATransferPrimitive.h"
#include "reservation/reserverInstantiations.h"
#include "support/moduleFixture.h"
#include "support/reservationDoubles.h"
#include "support/statusRecords.h"

namespace {

using nQoMDBG100::tStatus2;
using tOps = std::vector<std::string>;

class LinkerTest : public nQoTest::tLeakCheckedTest {
 protected:
  nQoTest::tCallLog log;
  nQoTest::tScriptedFacade facade{log, "facade"};
  nQoTest::tScriptedEvent event{log, "event"};
  nQoTest::tScriptedSupervisorMap map{log, "map"};
};

TEST_F(LinkerTest, EventLinkerRegistersBothKindsInOrderAndNeedsEveryObject) {
  nQoUdP100::tBaseAIImmediateTransferPrimitive primitive;
  nQoMRTB100::tDoneAndErrorEventRegistrarAndLinker<nQoUdP100::tBaseAIImmediateTransferPrimitive>
      linker;
  linker.setRuntimeFacade(&facade);
  linker.setPrimitive(&primitive);
  linker.setRegisterDone(1);
  linker.setRegisterError(1);
  facade.eventObject = &event;
  event.answers = {{"registerEvent 1", -5}, {"unregisterEvent 1", -6}};
  tStatus2 status, release(4), unlink;
  linker.link(map, status);
  linker.linkResource(status);
  EXPECT_EQ(primitive.getEvent(), &event);
  linker.reserveResource(status);
  EXPECT_EQ(status.code, -5);
  linker.releaseResource(release);
  EXPECT_EQ(release.code, -6);
  EXPECT_EQ(log.operations(),
            (tOps{"facade.getEventObject", "event.registerEvent 1", "event.registerEvent 2",
                  "event.unregisterEvent 1", "event.unregisterEvent 2"}));
  EXPECT_EQ(log.calls[4].incoming, 0);
  linker.unlinkResource(unlink);
  EXPECT_EQ(primitive.getEvent(), nullptr);

  nQoTest::tScriptedSupervisor notAnEvent(log, "other");
  facade.eventObject = &notAnEvent;
  tStatus2 foreign, reserve;
  linker.link(map, foreign);
  EXPECT_EQ(foreign.code, -89000);
  EXPECT_EQ(linker.getEvent(), nullptr);
  log.clear();
  linker.reserveResource(reserve);
  EXPECT_EQ(reserve.code, -50004);

  nQoMRTB100::tDoneAndErrorEventRegistrarAndLinker<nQoUdP100::tBaseAI_DMATransferPrimitive> empty;
  tStatus2 link, linkResource, unlinkResource;
  empty.link(map, link);
  EXPECT_EQ(link.code, -50004);
  empty.linkResource(linkResource);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tDoneAndErrorEventRegistrarAndLinker", 82));
  empty.unlinkResource(unlinkResource);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tDoneAndErrorEventRegistrarAndLinker", 101));
  EXPECT_TRUE(log.calls.empty());
}

TEST_F(LinkerTest, SchedulerLinkerGivesTheSupervisorsActionToThePrimitive) {
  nQoTest::tScriptedSchedulerSupervisor scheduler(log, "scheduler");
  map.entries[4] = &scheduler;
  nQoUdP100::tBaseAITimingControllerPrimitive timing;
  nQoMRTB100::tSchedulerActionLinker<nQoUdP100::tBaseAITimingControllerPrimitive> linker;
  linker.setPrimitive(&timing);
  tStatus2 status, refused, missing;
  linker.link(map, status);
  linker.linkResource(status);
  EXPECT_TRUE(log.calls.empty()) << "no key";
  linker.setKey(4);
  linker.link(map, status);
  linker.linkResource(status);
  EXPECT_EQ(log.operations(), (tOps{"map.lookup 4", "scheduler.getSchedulerAction"}));
  EXPECT_EQ(timing.getSchedulerAction(), &scheduler.action);
  linker.unlinkResource(status);
  EXPECT_EQ(timing.getSchedulerAction(), nullptr);
  EXPECT_EQ(status.code, 0);
  linker.setPrimitive(nullptr);
  log.clear();
  linker.linkResource(refused);
  EXPECT_EQ(refused.code, -50004);
  EXPECT_TRUE(log.calls.empty());
  linker.setKey(5);
  linker.link(map, missing);
  EXPECT_EQ(missing.code, -89000);
  linker.linkResource(status);
  EXPECT_EQ(status.code, 0) << "no supervisor and no primitive";

  nQoUdP100::tBaseAIImmediateDMATransferPrimitive transfer;
  nQoMRTB100::tSchedulerActionLinker<nQoUdP100::tBaseAIImmediateDMATransferPrimitive> dma;
  dma.setKey(4);
  dma.setPrimitive(&transfer);
  scheduler.answers["getSchedulerAction"] = -12;
  tStatus2 failed;
  dma.link(map, failed);
  dma.linkResource(failed);
  EXPECT_EQ(failed.code, -12);
  EXPECT_EQ(transfer.getSchedulerAction(), nullptr);
}

TEST_F(LinkerTest, DMALinkerGivesThePrimitiveTheChannelAndThePartnersEndpoint) {
  nQoTest::tScriptedDMAChannel channel{log, "channel"};
  nQoTest::tScriptedDMATransfer partner{log, "partner"};
  nQoUdP100::tBaseAI_DMATransferPrimitive transfer;
  nQoMRTB100::tDMALinker<nQoUdP100::tBaseAI_DMATransferPrimitive> linker;
  channel.channelNumber = 3;
  map.entries = {{10, &channel}, {11, &partner}};
  linker.setChannelKey(10);
  linker.setPartnerKey(11);
  linker.setPrimitive(&transfer);
  tStatus2 status, failed;
  linker.link(map, status);
  linker.linkResource(status);
  EXPECT_EQ(log.operations(), (tOps{"map.lookup 10", "map.lookup 11", "channel.getEndpoint",
                                    "partner.getEndpoint", "channel.getChannelNumber"}));
  EXPECT_EQ(transfer.getDMAChannelNumber(), 3u);
  EXPECT_EQ(transfer.getDoneSink(), &partner.endpoint);
  linker.unlinkResource(status);
  EXPECT_EQ(transfer.getDoneSink(), nullptr);
  EXPECT_EQ(status.code, 0);
  channel.answers["getChannelNumber"] = -14;
  linker.linkResource(failed);
  EXPECT_EQ(failed.code, -14);
  EXPECT_EQ(transfer.getDMAChannelNumber(), 0xFFFFFFFFu);
  EXPECT_EQ(transfer.getDoneSink(), nullptr);
  linker.setPrimitive(nullptr);
  log.clear();
  tStatus2 linkNone, unlinkNone;
  linker.linkResource(linkNone);
  linker.unlinkResource(unlinkNone);
  EXPECT_EQ(linkNone.code, -50004);
  EXPECT_EQ(unlinkNone.code, -50004);
  EXPECT_TRUE(log.calls.empty());

  linker.setPrimitive(&transfer);
  for (nQoMRL100::iPrimitiveSupervisor* answer :
       {static_cast<nQoMRL100::iPrimitiveSupervisor*>(nullptr),
        static_cast<nQoMRL100::iPrimitiveSupervisor*>(&partner)}) {
    map.entries[10] = answer;
    log.clear();
    tStatus2 lookup, link;
    linker.link(map, lookup);
    EXPECT_EQ(lookup.code, -89000);
    EXPECT_EQ(log.operations(), (tOps{"map.lookup 10", "map.lookup 11"}));
    linker.linkResource(link);
    EXPECT_EQ(link.code, -50004);
    EXPECT_EQ(log.calls.size(), 2u);
  }
}

}  // namespace
