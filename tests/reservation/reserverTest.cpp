// The singular reserver against the platform's resource broker, and the
// event, scheduler action and DMA linkers against scripted partners.
#include <gtest/gtest.h>

#include <optional>

#include "device/poolInstantiations.h"
#include "device/reserverInstantiations.h"
#include "mrl/tGeneralIdentifier.h"
#include "primitives/ai/tBaseAIImmediateTransferPrimitive.h"
#include "primitives/ai/tBaseAITimingControllerPrimitive.h"
#include "primitives/ai/tBaseAI_DMATransferPrimitive.h"
#include "sim/simAllocator.h"
#include "sim/simResourceBroker.h"
#include "support/moduleFixture.h"
#include "support/reservationDoubles.h"
#include "support/statusRecords.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoUdP100::tBaseAI_DMATransferPrimitive;
using tDMAPool = nQoUdR100::tSingularResourcePool<tBaseAI_DMATransferPrimitive*>;
using tWrappedDMAPool =
    nQoUdR100::tRefCountingResourcePoolWrapper<tDMAPool, tBaseAI_DMATransferPrimitive*>;
using tDMAReserver = nQoMRTB100::tSingularReserver<tBaseAI_DMATransferPrimitive, tDMAPool>;

class ReserverTest : public nQoTest::tLeakCheckedTest {
 protected:
  void SetUp() override {
    nQoTest::tLeakCheckedTest::SetUp();
    nQoSim::resetResourceBroker();
    identifier.emplace();
    identifier->setDeviceGUID({7, 9});
    identifier->setString("AI_DMA", setup);
    reserver.setIdentifier(&*identifier);
    reserver.setRuntimeFacade(&facade);
  }
  void TearDown() override {
    nQoSim::resetResourceBroker();
    identifier.reset();
    nQoTest::tLeakCheckedTest::TearDown();
  }

  // The broker saw count releases, each with the reserver's identifier and facade.
  void expectReleases(std::size_t count) {
    std::size_t releases = 0;
    for (const nQoSim::tBrokerCall& call : nQoSim::brokerLog()) {
      if (call.operation != 7) continue;
      ++releases;
      EXPECT_EQ(call.identifier, &*identifier);
      EXPECT_EQ(call.facade, &facade);
    }
    EXPECT_EQ(releases, count);
  }

  tStatus2 setup;
  nQoTest::tCallLog log;
  nQoTest::tScriptedFacade facade{log, "facade"};
  nQoTest::tScriptedEvent event{log, "event"};
  nQoTest::tScriptedSupervisorMap map{log, "map"};
  std::optional<nQoMRL100::tGeneralIdentifier> identifier;
  tSyncAtomicU32 inUse;
  tBaseAI_DMATransferPrimitive primitive;
  tDMAReserver reserver;
};

TEST_F(ReserverTest, ReservesThePrimitiveOfTheRegisteredPoolAndGivesItBack) {
  tWrappedDMAPool pool(&inUse, &primitive);
  nQoMRL100::getResourceBroker(setup)->registerPool(&*identifier, &pool, setup);
  tStatus2 status, refused, warned(3);
  reserver.reserveResource(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(reserver.getPrimitive(), &primitive);
  EXPECT_EQ(inUse.get(), 1u);
  ASSERT_EQ(nQoSim::brokerLog().size(), 1u);
  EXPECT_EQ(nQoSim::brokerLog()[0].operation, 6);
  EXPECT_EQ(nQoSim::brokerLog()[0].identifier, &*identifier);
  EXPECT_EQ(nQoSim::brokerLog()[0].facade, &facade);
  tDMAReserver second;
  second.setIdentifier(&*identifier);
  second.reserveResource(refused);
  EXPECT_EQ(refused.code, -50103);
  EXPECT_EQ(second.getPrimitive(), nullptr);

  reserver.releaseResource(status);
  EXPECT_EQ(reserver.getPrimitive(), nullptr);
  EXPECT_EQ(inUse.get(), 0u);
  expectReleases(1);
  reserver.reserveResource(status);
  nQoSim::resetResourceBroker();
  reserver.releaseResource(warned);
  EXPECT_EQ(warned.code, nQoMRL100::kUnknownResource);
  EXPECT_EQ(status.code, 0);
}

// A release that the broker refuses, or that finds no broker, still
// forgets the primitive, and the reserver reserves anew afterwards.
TEST_F(ReserverTest, AFailedReleaseStillForgetsThePrimitive) {
  tWrappedDMAPool pool(&inUse, &primitive);
  nQoMRL100::getResourceBroker(setup)->registerPool(&*identifier, &pool, setup);
  tStatus2 status, refused, absent;
  reserver.reserveResource(status);
  ASSERT_EQ(reserver.getPrimitive(), &primitive);
  nQoSim::resetResourceBroker();
  reserver.releaseResource(refused);
  EXPECT_EQ(refused.code, nQoMRL100::kUnknownResource);
  EXPECT_EQ(reserver.getPrimitive(), nullptr);

  nQoSim::scriptBrokerReserve(&pool);
  reserver.reserveResource(status);
  ASSERT_EQ(reserver.getPrimitive(), &primitive);
  nQoSim::setResourceBrokerPresent(false);
  reserver.releaseResource(absent);
  EXPECT_EQ(absent.code, 0);
  EXPECT_EQ(reserver.getPrimitive(), nullptr);
  nQoSim::setResourceBrokerPresent(true);
  EXPECT_EQ(status.code, 0);
}

TEST_F(ReserverTest, APoolOfAnotherClassOrWithoutPrimitiveIsHandedBackOnce) {
  nQoUdR100::tEEPROMResourcePool<nQoUdP100::tEEPROM*> other(nullptr);
  tWrappedDMAPool empty(&inUse, nullptr);
  nQoSim::scriptBrokerReserve(&other);
  tStatus2 status(5), none;
  reserver.reserveResource(status);
  EXPECT_EQ(status.code, -89000);
  EXPECT_TRUE(nQoTest::loggedAt(-89000, "tSingularReserver", 107));
  EXPECT_EQ(reserver.getPrimitive(), nullptr);
  expectReleases(1);
  nQoMRL100::getResourceBroker(setup)->registerPool(&*identifier, &empty, setup);
  reserver.reserveResource(none);
  EXPECT_EQ(none.code, -1);
  EXPECT_TRUE(nQoTest::loggedAt(-1, "tSingularReserver", 94));
  expectReleases(2);
  EXPECT_EQ(inUse.get(), 0u);
}

TEST_F(ReserverTest, WithoutBrokerOrGrantNothingIsHeldAndALaterLinkRefuses) {
  nQoSim::setResourceBrokerPresent(false);
  tStatus2 status, quiet, failed(-3);
  reserver.reserveResource(status);
  EXPECT_EQ(status.code, 0);
  EXPECT_EQ(reserver.getPrimitive(), nullptr);
  EXPECT_TRUE(nQoSim::brokerLog().empty());
  nQoMRTB100::tDoneAndErrorEventRegistrarAndLinker<tBaseAI_DMATransferPrimitive> events;
  events.setPrimitive(reserver.getPrimitive());
  events.linkResource(status);
  EXPECT_EQ(status.code, -50004);

  nQoSim::setResourceBrokerPresent(true);
  nQoSim::scriptBrokerReserve(nullptr);
  reserver.reserveResource(quiet);
  reserver.releaseResource(quiet);
  reserver.reserveResource(failed);
  EXPECT_EQ(quiet.code, 0);
  EXPECT_EQ(reserver.getPrimitive(), nullptr);
  EXPECT_EQ(nQoSim::brokerLog().size(), 1u);
  expectReleases(0);
}

TEST_F(ReserverTest, EventLinkerRegistersBothKindsInOrderAndNeedsEveryObject) {
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
  EXPECT_EQ(primitive.getDoneTarget(), &event);
  linker.reserveResource(status);
  EXPECT_EQ(status.code, -5);
  linker.releaseResource(release);
  EXPECT_EQ(release.code, -6);
  EXPECT_EQ(log.operations(),
            "facade.getEventObject, event.registerEvent 1, event.registerEvent 2, "
            "event.unregisterEvent 1, event.unregisterEvent 2");
  EXPECT_EQ(log.calls[4].incoming, 0);
  linker.unlinkResource(unlink);
  EXPECT_EQ(primitive.getDoneTarget(), nullptr);

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

TEST_F(ReserverTest, SchedulerLinkerGivesTheSupervisorsActionToThePrimitive) {
  nQoTest::tScriptedSchedulerSupervisor scheduler(log, "scheduler");
  map.entries[4] = &scheduler;
  nQoTest::tTimingControllerStub timing;
  nQoMRTB100::tSchedulerActionLinker<nQoUdP100::tBaseAITimingControllerPrimitive> linker;
  linker.setPrimitive(&timing);
  tStatus2 status, refused, missing;
  linker.link(map, status);
  linker.linkResource(status);
  EXPECT_TRUE(log.calls.empty()) << "no key";
  linker.setKey(4);
  linker.link(map, status);
  linker.linkResource(status);
  EXPECT_EQ(log.operations(), "map.lookup 4, scheduler.getSchedulerAction");
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
}

TEST_F(ReserverTest, DMALinkerGivesThePrimitiveTheChannelAndThePartnersEndpoint) {
  nQoTest::tScriptedDMAChannel channel{log, "channel"};
  nQoTest::tScriptedDMATransfer partner{log, "partner"};
  nQoUdP100::tBaseAI_DMATransferPrimitive transfer;
  nQoMRTB100::tDMALinker<nQoUdP100::tBaseAI_DMATransferPrimitive> linker;
  channel.channelNumber = 3;
  map.entries = {{10, &channel}, {11, &partner}};
  linker.setChannelKey(10);
  linker.setPartnerKey(11);
  linker.setPrimitive(&transfer);
  tStatus2 status;
  linker.link(map, status);
  linker.linkResource(status);
  EXPECT_EQ(log.operations(),
            "map.lookup 10, map.lookup 11, channel.getEndpoint, partner.getEndpoint, "
            "channel.getChannelNumber");
  EXPECT_EQ(transfer.getDMAChannelNumber(), 3u);
  EXPECT_EQ(transfer.getDoneSink(), &partner.endpoint);
  linker.unlinkResource(status);
  EXPECT_EQ(transfer.getDoneSink(), nullptr);
  EXPECT_EQ(status.code, 0);
  linker.setPrimitive(nullptr);
  log.clear();
  tStatus2 linkNone, unlinkNone;
  linker.linkResource(linkNone);
  linker.unlinkResource(unlinkNone);
  EXPECT_EQ(linkNone.code, -50004);
  EXPECT_EQ(unlinkNone.code, -50004);
  EXPECT_TRUE(log.calls.empty());

  linker.setPrimitive(&transfer);
  map.entries[10] = nullptr;
  log.clear();
  tStatus2 lookup, link;
  linker.link(map, lookup);
  EXPECT_EQ(lookup.code, -89000);
  EXPECT_EQ(log.operations(), "map.lookup 10, map.lookup 11");
  linker.linkResource(link);
  EXPECT_EQ(link.code, -50004);
  EXPECT_EQ(log.calls.size(), 2u);
}

}  // namespace
