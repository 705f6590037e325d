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
using nQoTest::tCallLog;
using tOps = std::vector<std::string>;

class LinkerTest : public nQoTest::tLeakCheckedTest {
 protected:
  tCallLog log;
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
  }
  nQoUdP100::tBaseAIImmediateTransferPrimitive primitive;
  nQoMRTB100::tDoneAndErrorEventRegistrarAndLinker<nQoUdP100::tBaseAIImmediateTransferPrimitive>
      linker;
};

TEST_F(EventLinkerTest, LinksTheFacadesEventObjectIntoThePrimitive) {
  tStatus2 status;
  linker.link(map, status);
  EXPECT_EQ(linker.getEvent(), &event);
  EXPECT_EQ(log.operations(), tOps{"facade.getEventObject"}) << "the map is not used";
  linker.linkResource(status);
  EXPECT_EQ(primitive.getEvent(), &event);
  linker.unlinkResource(status);
  EXPECT_EQ(primitive.getEvent(), nullptr);
  linker.unlink(status);
  EXPECT_EQ(linker.getEvent(), nullptr);
  EXPECT_EQ(status.code, 0);
}

TEST_F(EventLinkerTest, RegistersDoneThenErrorEvenAfterAFailureAndUnregistersOnFreshStatuses) {
  tStatus2 status;
  linker.link(map, status);
  linker.setRegisterDone(1);
  linker.setRegisterError(1);
  event.answers["registerEvent 1"] = -5;
  log.clear();
  linker.reserveResource(status);
  EXPECT_EQ(log.operations(), (tOps{"event.registerEvent 1", "event.registerEvent 2"}));
  EXPECT_EQ(log.calls[1].status, &status);
  EXPECT_EQ(status.code, -5);

  log.clear();
  event.answers["unregisterEvent 1"] = -6;
  tStatus2 release(4);
  linker.releaseResource(release);
  EXPECT_EQ(log.operations(), (tOps{"event.unregisterEvent 1", "event.unregisterEvent 2"}));
  for (const nQoTest::tCall& call : log.calls) {
    EXPECT_NE(call.status, &release);
    EXPECT_EQ(call.incoming, 0);
  }
  EXPECT_EQ(release.code, -6);

  log.clear();
  linker.setRegisterDone(0);
  linker.setRegisterError(0);
  tStatus2 none;
  linker.reserveResource(none);
  linker.releaseResource(none);
  EXPECT_TRUE(log.calls.empty());
}

TEST_F(EventLinkerTest, LinkWithoutAUsableEventObjectFailsAndLaterStepsMakeNoCall) {
  facade.eventObject = nullptr;
  tStatus2 status;
  linker.link(map, status);
  EXPECT_EQ(status.code, -89000);
  EXPECT_EQ(linker.getEvent(), nullptr);

  nQoTest::tScriptedSupervisor notAnEvent(log, "other");
  facade.eventObject = &notAnEvent;
  tStatus2 wrongClass;
  linker.link(map, wrongClass);
  EXPECT_EQ(wrongClass.code, -89000);
  EXPECT_EQ(linker.getEvent(), nullptr);

  log.clear();
  linker.setRegisterDone(1);
  tStatus2 reserve;
  linker.reserveResource(reserve);
  EXPECT_EQ(reserve.code, -50004);
  tStatus2 release;
  linker.releaseResource(release);
  EXPECT_EQ(release.code, -50004);
  EXPECT_TRUE(log.calls.empty());

  nQoMRTB100::tDoneAndErrorEventRegistrarAndLinker<nQoUdP100::tBaseAI_DMATransferPrimitive> alone;
  tStatus2 noFacade;
  alone.link(map, noFacade);
  EXPECT_EQ(noFacade.code, -50004);
  EXPECT_TRUE(log.calls.empty());
}

TEST_F(EventLinkerTest, LinkResourceAndUnlinkResourceNeedThePrimitive) {
  nQoMRTB100::tDoneAndErrorEventRegistrarAndLinker<nQoUdP100::tBaseAI_DMATransferPrimitive> empty;
  tStatus2 link;
  empty.linkResource(link);
  EXPECT_EQ(link.code, -50004);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tDoneAndErrorEventRegistrarAndLinker", 82));
  tStatus2 unlink;
  empty.unlinkResource(unlink);
  EXPECT_TRUE(nQoTest::loggedAt(-50004, "tDoneAndErrorEventRegistrarAndLinker", 101));

  tStatus2 failed(-2);  // a stored error: the primitive is not touched
  tStatus2 status;
  linker.link(map, status);
  linker.linkResource(failed);
  EXPECT_EQ(primitive.getEvent(), nullptr);
}

TEST_F(LinkerTest, SchedulerLinkerGivesTheSupervisorsActionToThePrimitive) {
  nQoTest::tScriptedSchedulerSupervisor scheduler(log, "scheduler");
  map.entries[4] = &scheduler;
  nQoUdP100::tBaseAITimingControllerPrimitive timing;
  nQoMRTB100::tSchedulerActionLinker<nQoUdP100::tBaseAITimingControllerPrimitive> linker;
  linker.setPrimitive(&timing);
  tStatus2 status;
  linker.link(map, status);  // no key yet: nothing
  linker.linkResource(status);
  EXPECT_TRUE(log.calls.empty());
  EXPECT_EQ(timing.getSchedulerAction(), nullptr);

  linker.setKey(4);
  linker.link(map, status);
  linker.linkResource(status);
  EXPECT_EQ(log.operations(), (tOps{"map.lookup 4", "scheduler.getSchedulerAction"}));
  EXPECT_EQ(timing.getSchedulerAction(), &scheduler.action);
  linker.unlinkResource(status);
  EXPECT_EQ(timing.getSchedulerAction(), nullptr);
  EXPECT_EQ(linker.getSchedulerAction(), nullptr);
  EXPECT_EQ(status.code, 0);

  linker.setPrimitive(nullptr);  // a supervisor but no primitive: refused, no call
  log.clear();
  tStatus2 refused;
  linker.linkResource(refused);
  EXPECT_EQ(refused.code, -50004);
  EXPECT_TRUE(log.calls.empty());

  linker.setKey(5);  // nothing under the key
  tStatus2 missing;
  linker.link(map, missing);
  EXPECT_EQ(missing.code, -89000);
  tStatus2 quiet;  // no supervisor and no primitive: nothing at all
  linker.linkResource(quiet);
  linker.unlinkResource(quiet);
  EXPECT_EQ(quiet.code, 0);
}

TEST_F(LinkerTest, ImmediateDMASchedulerActionIsStoredOnlyOnAGoodStatus) {
  nQoTest::tScriptedSchedulerSupervisor scheduler(log, "scheduler");
  scheduler.answers["getSchedulerAction"] = -12;
  map.entries[1] = &scheduler;
  nQoUdP100::tBaseAIImmediateDMATransferPrimitive transfer;
  nQoMRTB100::tSchedulerActionLinker<nQoUdP100::tBaseAIImmediateDMATransferPrimitive> linker;
  linker.setKey(1);
  linker.setPrimitive(&transfer);
  tStatus2 status;
  linker.link(map, status);
  linker.linkResource(status);
  EXPECT_EQ(status.code, -12);
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
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(log.operations(), (tOps{"map.lookup 10", "map.lookup 11", "channel.getEndpoint",
                                    "partner.getEndpoint", "channel.getChannelNumber"}));
  EXPECT_EQ(transfer.getDMAChannelNumber(), 3u);
  EXPECT_EQ(transfer.getDoneSink(), &partner.endpoint);

  linker.unlinkResource(status);
  EXPECT_EQ(transfer.getDMAChannelNumber(), 0xFFFFFFFFu);
  EXPECT_EQ(transfer.getDoneSink(), nullptr);
  linker.unlink(status);
  log.clear();
  tStatus2 unlinked;  // the partners are forgotten
  linker.linkResource(unlinked);
  EXPECT_EQ(unlinked.code, -50004);
  EXPECT_TRUE(log.calls.empty());
}

TEST_F(DMALinkerTest, AMissingChannelStillLooksUpThePartnerAndLinksNothing) {
  map.entries.erase(10);
  tStatus2 status;
  linker.link(map, status);
  EXPECT_EQ(status.code, -89000);
  EXPECT_EQ(log.operations(), (tOps{"map.lookup 10", "map.lookup 11"}));

  log.clear();
  tStatus2 link;
  linker.linkResource(link);
  EXPECT_EQ(link.code, -50004);
  EXPECT_TRUE(log.calls.empty());
  EXPECT_EQ(transfer.getDMAChannelNumber(), 0xFFFFFFFFu);

  map.entries[10] = &partner;  // a partner where the channel belongs: wrong class
  tStatus2 wrongClass;
  linker.link(map, wrongClass);
  EXPECT_EQ(wrongClass.code, -89000);
}

TEST_F(DMALinkerTest, AFailedChannelNumberUndoesTheLink) {
  tStatus2 status;
  linker.link(map, status);
  transfer.setDMAChannelNumber(8);
  transfer.setDoneSink(&channel.endpoint);
  channel.answers["getChannelNumber"] = -14;
  linker.linkResource(status);
  EXPECT_EQ(status.code, -14);
  EXPECT_EQ(transfer.getDMAChannelNumber(), 0xFFFFFFFFu);
  EXPECT_EQ(transfer.getDoneSink(), nullptr);
}

TEST_F(DMALinkerTest, WithoutPrimitiveNothingIsAskedOrWritten) {
  linker.setPrimitive(nullptr);
  tStatus2 status;
  linker.link(map, status);
  log.clear();
  linker.linkResource(status);
  EXPECT_EQ(status.code, -50004);
  tStatus2 unlink;
  linker.unlinkResource(unlink);
  EXPECT_EQ(unlink.code, -50004);
  EXPECT_TRUE(log.calls.empty());
}

}  // namespace
