// The done and error event linker, the scheduler action linker and the DMA
// linker against scripted facades, event objects, supervisor maps and
// partners.
#include <gtest/gtest.h>

#include "primitives/ai/tBaseAIImmediateDMATransferPrimitive.h"
#include "primitives/ai/tBaseAIImmediateTransferPrimitive.h"
#include "primitives/ai/tBaseAITimingControllerPrimitive.h"
#include "primitives/ai/tBaseAI_DMATransferPrimitive.h"
#include "reservation/reserverInstantiations.h"
#include "support/moduleFixture.h"
#include "support/runtimeDoubles.h"
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

class EventLinkerTest : public LinkerTest {
 protected:
  void SetUp() override {
    LinkerTest::SetUp();
    facade.eventObject = &event;
    linker.setRuntimeFacade(&facade);
    linker.setPrimitive(&primitive);
    linker.setRegisterDone(1);
    linker.setRegisterError(1);
  }
  nQoUdP100::tBaseAIImmediateTransferPrimitive primitive;
  nQoMRTB100::tDoneAndErrorEventRegistrarAndLinker<nQoUdP100::tBaseAIImmediateTransferPrimitive>
      linker;
};

TEST_F(EventLinkerTest, LinksRegistersAndUndoesEveryStepInOrder) {
  tStatus2 status;
  linker.link(map, status);
  linker.linkResource(status);
  EXPECT_EQ(primitive.getEvent(), &event);
  event.answers["registerEvent 1"] = -5;
  linker.reserveResource(status);  // the error kind is registered after done failed
  EXPECT_EQ(status.code, -5);
  EXPECT_EQ(log.operations(),
            (tOps{"facade.getEventObject", "event.registerEvent 1", "event.registerEvent 2"}));

  log.clear();
  event.answers["unregisterEvent 1"] = -6;
  tStatus2 release(4);
  linker.releaseResource(release);
  EXPECT_EQ(log.operations(), (tOps{"event.unregisterEvent 1", "event.unregisterEvent 2"}));
  for (const nQoTest::tCall& call : log.calls) EXPECT_EQ(call.incoming, 0) << "fresh statuses";
  EXPECT_EQ(release.code, -6);

  tStatus2 unlink;
  linker.unlinkResource(unlink);
  EXPECT_EQ(primitive.getEvent(), nullptr);
  linker.unlink(unlink);
  EXPECT_EQ(linker.getEvent(), nullptr);
}

TEST_F(EventLinkerTest, WithoutFacadeEventObjectOrPrimitiveNothingIsCalled) {
  nQoTest::tScriptedSupervisor notAnEvent(log, "other");
  for (nQoORB100::tObject* answer : {static_cast<nQoORB100::tObject*>(nullptr),
                                     static_cast<nQoORB100::tObject*>(&notAnEvent)}) {
    facade.eventObject = answer;
    tStatus2 status;
    linker.link(map, status);
    EXPECT_EQ(status.code, -89000);
    EXPECT_EQ(linker.getEvent(), nullptr);
  }
  log.clear();
  tStatus2 reserve, release;  // after the failed link no event object is used
  linker.reserveResource(reserve);
  linker.releaseResource(release);
  EXPECT_EQ(reserve.code, -50004);
  EXPECT_EQ(release.code, -50004);

  nQoMRTB100::tDoneAndErrorEventRegistrarAndLinker<nQoUdP100::tBaseAI_DMATransferPrimitive> empty;
  tStatus2 link, linkResource, unlinkResource;
  empty.link(map, link);
  EXPECT_EQ(link.code, -50004) << "no facade";
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
  tStatus2 status;
  linker.link(map, status);  // no key: no map call and nothing to link
  linker.linkResource(status);
  EXPECT_TRUE(log.calls.empty());

  linker.setKey(4);
  linker.link(map, status);
  linker.linkResource(status);
  EXPECT_EQ(log.operations(), (tOps{"map.lookup 4", "scheduler.getSchedulerAction"}));
  EXPECT_EQ(timing.getSchedulerAction(), &scheduler.action);
  linker.unlinkResource(status);
  EXPECT_EQ(timing.getSchedulerAction(), nullptr);
  EXPECT_EQ(status.code, 0);

  linker.setPrimitive(nullptr);  // a supervisor but no primitive: refused, no call
  log.clear();
  tStatus2 refused;
  linker.linkResource(refused);
  EXPECT_EQ(refused.code, -50004);
  EXPECT_TRUE(log.calls.empty());

  linker.setKey(5);  // nothing under the key; then no supervisor and no primitive: nothing
  tStatus2 missing, quiet;
  linker.link(map, missing);
  EXPECT_EQ(missing.code, -89000);
  linker.linkResource(quiet);
  linker.unlinkResource(quiet);
  EXPECT_EQ(quiet.code, 0);

  nQoUdP100::tBaseAIImmediateDMATransferPrimitive transfer;  // stores only on a good status
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

class DMALinkerTest : public LinkerTest {
 protected:
  void SetUp() override {
    LinkerTest::SetUp();
    channel.channelNumber = 3;
    map.entries[10] = &channel;
    map.entries[11] = &partner;
    linker.setChannelKey(10);
    linker.setPartnerKey(11);
    linker.setPrimitive(&transfer);
  }
  nQoTest::tScriptedDMAChannel channel{log, "channel"};
  nQoTest::tScriptedDMATransfer partner{log, "partner"};
  nQoUdP100::tBaseAI_DMATransferPrimitive transfer;
  nQoMRTB100::tDMALinker<nQoUdP100::tBaseAI_DMATransferPrimitive> linker;
};

TEST_F(DMALinkerTest, GivesThePrimitiveTheChannelNumberAndThePartnersEndpoint) {
  tStatus2 status;
  linker.link(map, status);
  linker.linkResource(status);
  EXPECT_EQ(log.operations(), (tOps{"map.lookup 10", "map.lookup 11", "channel.getEndpoint",
                                    "partner.getEndpoint", "channel.getChannelNumber"}));
  EXPECT_EQ(transfer.getDMAChannelNumber(), 3u);
  EXPECT_EQ(transfer.getDoneSink(), &partner.endpoint);
  linker.unlinkResource(status);
  EXPECT_EQ(transfer.getDMAChannelNumber(), 0xFFFFFFFFu);
  EXPECT_EQ(transfer.getDoneSink(), nullptr);
  EXPECT_EQ(status.code, 0);

  linker.linkResource(status);  // a failed channel number undoes the link
  channel.answers["getChannelNumber"] = -14;
  tStatus2 failed;
  linker.linkResource(failed);
  EXPECT_EQ(failed.code, -14);
  EXPECT_EQ(transfer.getDMAChannelNumber(), 0xFFFFFFFFu);
  EXPECT_EQ(transfer.getDoneSink(), nullptr);

  linker.setPrimitive(nullptr);  // without primitive nothing is asked or written
  log.clear();
  tStatus2 link, unlink;
  linker.linkResource(link);
  linker.unlinkResource(unlink);
  EXPECT_EQ(link.code, -50004);
  EXPECT_EQ(unlink.code, -50004);
  EXPECT_TRUE(log.calls.empty());
}

TEST_F(DMALinkerTest, AMissingOrForeignChannelStillLooksUpThePartnerAndLinksNothing) {
  for (nQoMRL100::iPrimitiveSupervisor* answer :
       {static_cast<nQoMRL100::iPrimitiveSupervisor*>(nullptr),
        static_cast<nQoMRL100::iPrimitiveSupervisor*>(&partner)}) {
    map.entries[10] = answer;
    log.clear();
    tStatus2 status;
    linker.link(map, status);
    EXPECT_EQ(status.code, -89000);
    EXPECT_EQ(log.operations(), (tOps{"map.lookup 10", "map.lookup 11"}));
  }
  log.clear();
  tStatus2 link;
  linker.linkResource(link);
  EXPECT_EQ(link.code, -50004);
  EXPECT_TRUE(log.calls.empty());
  EXPECT_EQ(transfer.getDMAChannelNumber(), 0xFFFFFFFFu);
}

}  // namespace
