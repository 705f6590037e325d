// A pool offered at the simulated broker under an identifier named by a
// device GUID and a text, as a board's registration offers it.
//
//   offerPool(settings.record<0>().identifier, {3, 4}, "CalPWM", &pool, status);
//
// expectOnlyTheGrantHandedBack runs a supervisor through two deploys that
// name other pools while it holds one.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>

#include "mdbg/tStatus2.h"
#include "mrl/iPrimitiveSupervisorMap.h"
#include "mrl/iResourceBroker.h"
#include "mrl/iRuntimeFacade.h"
#include "mrl/tGeneralIdentifier.h"
#include "orb/tGUID.h"
#include "sim/simResourceBroker.h"

namespace nQoTest {

inline void offerPool(nQoMRL100::tGeneralIdentifier& identifier, const nQoORB100::tGUID& guid,
                      const char* name, nQoMRL100::iLeafResourcePool* pool,
                      nQoMDBG100::tStatus2& status) {
  identifier.setDeviceGUID(guid);
  identifier.setString(name, status);
  nQoMRL100::getResourceBroker(status)->registerPool(&identifier, pool, status);
}

// The releases in the broker's log.
inline std::size_t brokerReleases() {
  std::size_t count = 0;
  for (const nQoSim::tBrokerCall& call : nQoSim::brokerLog()) count += call.operation == 7;
  return count;
}

// Pools a, b and c are offered and free, and the supervisor is constructed.
// Another task holds c; the supervisor, initialized with settings naming a,
// reserves a, is deployed with settings naming b and then c, and releases: a
// can be reserved again, b was never asked for and c is still refused
// (-50103). A second release hands back nothing; the next reservation asks
// for c and, refused, holds nothing to hand back.
template <class Supervisor, class Settings>
void expectOnlyTheGrantHandedBack(Supervisor& supervisor, const Settings& namingA,
                                  const Settings& namingB, const Settings& namingC,
                                  const nQoMRL100::tGeneralIdentifier& a,
                                  const nQoMRL100::tGeneralIdentifier& b,
                                  const nQoMRL100::tGeneralIdentifier& c,
                                  nQoMRL100::iRuntimeFacade* facade,
                                  nQoMRL100::iPrimitiveSupervisorMap& map) {
  nQoMDBG100::tStatus2 held;
  ASSERT_NE(nQoSim::holdPoolAsTask(c, held), nullptr);
  nQoMDBG100::tStatus2 status;
  supervisor.initialize(namingA, facade, status);
  supervisor.link(map, status);
  supervisor.reserveResource(status);
  ASSERT_EQ(status.code, 0);
  nQoMDBG100::tStatus2 reserved;
  ASSERT_EQ(nQoSim::holdPoolAsTask(a, reserved), nullptr);
  ASSERT_EQ(reserved.code, -50103);
  supervisor.deploy(namingB, status);
  supervisor.deploy(namingC, status);
  supervisor.releaseResource(status);
  ASSERT_EQ(status.code, 0);

  for (const nQoMRL100::tGeneralIdentifier* free : {&a, &b}) {
    nQoMDBG100::tStatus2 taken;
    EXPECT_NE(nQoSim::holdPoolAsTask(*free, taken), nullptr);
    EXPECT_EQ(taken.code, 0);
    nQoSim::releasePoolAsTask(*free, taken);
  }
  nQoMDBG100::tStatus2 refused;
  EXPECT_EQ(nQoSim::holdPoolAsTask(c, refused), nullptr);
  EXPECT_EQ(refused.code, -50103);

  const std::size_t releases = brokerReleases();
  supervisor.releaseResource(status);
  EXPECT_EQ(brokerReleases(), releases);

  // The next reservation asks for c, which the other task holds.
  nQoMDBG100::tStatus2 busy;
  supervisor.reserveResource(busy);
  EXPECT_EQ(busy.code, -50103);
  nQoMDBG100::tStatus2 after;
  supervisor.releaseResource(after);
  EXPECT_EQ(brokerReleases(), releases);
  nQoMDBG100::tStatus2 still;
  EXPECT_EQ(nQoSim::holdPoolAsTask(c, still), nullptr);
  EXPECT_EQ(still.code, -50103);
  for (const nQoMRL100::tGeneralIdentifier* free : {&a, &b}) {
    nQoMDBG100::tStatus2 untouched;
    EXPECT_NE(nQoSim::holdPoolAsTask(*free, untouched), nullptr) << "nothing asked for it";
    nQoSim::releasePoolAsTask(*free, untouched);
  }
  nQoSim::releasePoolAsTask(c, held);
}

}  // namespace nQoTest
