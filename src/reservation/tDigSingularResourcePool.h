// The platform's exclusive pool of a digital timing or routing primitive: the
// singular pool's body under the platform's class identity.
#pragma once

#include "mrl/tPlatformPoolIdentity.h"
#include "reservation/tExclusiveResourcePool.h"

namespace nQoCDR120 {

template <class P>
class tDigSingularResourcePool
    : public nQoUdR100::tExclusiveResourcePool<
          P, tDigSingularResourcePool<P>,
          nQoMRL100::tPlatformPoolIdentity<tDigSingularResourcePool<P>>> {
 public:
  using nQoUdR100::tExclusiveResourcePool<
      P, tDigSingularResourcePool<P>,
      nQoMRL100::tPlatformPoolIdentity<tDigSingularResourcePool<P>>>::tExclusiveResourcePool;
};

}  // namespace nQoCDR120
