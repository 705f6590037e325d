// The singular reserver against the platform's resource broker.
#include <gtest/gtest.h>

#include <optional>

#include "mrl/tGUIDIdentifier.h"
#include "mrl/tGeneralIdentifier.h"
#include "primitives/ai/tBaseAI_DMATransferPrimitive.h"
#include "reservation/poolInstantiations.h"
#include "reservation/reserverInstantiations.h"
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

  // The broker saw count releases and nothing else, each with the reserver's
  // identifier and facade.
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

TEST_F(ReserverTest, BrokerHandsTheSubIdentifierToThePoolAndNamesFailSticky) {
  class tSeenPool : public nQoUdR100::tInfiniteResourcePool<void*> {
   public:
    tSeenPool() : tInfiniteResourcePool(nullptr) {}
    uint32_t reserve(const nQoMRL100::iResourceIdentifier* id, tStatus2&) override {
      seen = id;
      return 1;
    }
    const nQoMRL100::iResourceIdentifier* seen = nullptr;
  } pool;
  nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(setup);
  broker->registerPool(&*identifier, &pool, setup);
  nQoMRL100::tGeneralIdentifier asked;
  asked.setDeviceGUID({7, 9});
  asked.setString("AI_DMA", setup);
  const nQoMRL100::tGUIDIdentifier sub(nQoORB100::tGUID{1, 1});
  tStatus2 status, named, sticky;
  EXPECT_EQ(broker->reserve(&asked, &facade, status), &pool);
  EXPECT_EQ(pool.seen, &asked);
  asked.setSubIdentifier(&sub);
  broker->reserve(&asked, &facade, status);
  EXPECT_EQ(pool.seen, &sub);
  broker->unregisterPool(&pool, status);
  EXPECT_EQ(broker->reserve(&*identifier, &facade, status), nullptr);
  EXPECT_EQ(status.code, nQoMRL100::kUnknownResource);

  nQoSim::failAllocation(1);
  asked.setString("a longer name than before", named);
  EXPECT_TRUE(nQoTest::loggedAt(-50352, "qomrl/tStringIdentifier", 129));
  EXPECT_STREQ(asked.getString(), "AI_DMA");
  asked.setString(asked.getString(), sticky);
  EXPECT_EQ(sticky.code, -50352);
}

}  // namespace
