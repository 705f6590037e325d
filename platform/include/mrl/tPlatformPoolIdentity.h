// The class-identity objects of the platform's pool classes whose bodies the
// module instantiates: the digital singular pools and the member-strategy
// pool. Only the listed classes have one; a pool class of the platform
// compares tPlatformPoolIdentity<itself>::___classID.
#pragma once

#include "mrl/tProgPowerupReservationStrategy.h"

namespace nQoCDP100 {
class iTESK_HWTimingController;
class iTESK_SWTimingController;
class iTESKCommRoutingPrim;
}  // namespace nQoCDP100

namespace nQoCDR120 {
template <class P>
class tDigSingularResourcePool;
}

namespace nQoSDR000 {
template <class S, class P>
class tGenericResourcePool;
}

namespace nQoMRL100 {

template <class Pool>
struct tPlatformPoolIdentity {
  static void* ___classID;
};

template <>
void* tPlatformPoolIdentity<
    nQoCDR120::tDigSingularResourcePool<nQoCDP100::iTESK_HWTimingController*>>::___classID;
template <>
void* tPlatformPoolIdentity<
    nQoCDR120::tDigSingularResourcePool<nQoCDP100::iTESK_SWTimingController*>>::___classID;
template <>
void* tPlatformPoolIdentity<
    nQoCDR120::tDigSingularResourcePool<nQoCDP100::iTESKCommRoutingPrim*>>::___classID;
template <>
void* tPlatformPoolIdentity<nQoSDR000::tGenericResourcePool<
    nQoSDR000::tProgPowerupReservationStrategy, nQoSDR000::iProgPowerupPrim>>::___classID;

}  // namespace nQoMRL100
