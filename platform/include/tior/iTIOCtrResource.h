// A counter of a board as the platform's counter library hands it out: a
// pool with one holder at a time that counts its holds in the driver's in-use
// count. The library builds one per counter over the board's counter helper,
// counter interrupt dispatcher and DMA path:
//
//   nQoTIOR100::iTIOCtrResource* counter =
//       nQoTIOR100::createTIOCtrResource(&inUse, 0, &helper, &dispatcher, &dma, status);
//   nQoTIOR100::destroyTIOCtrResource(counter);
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "mrl/iLeafResourcePool.h"
#include "sync/tSyncAtomicU32.h"
#include "tior/iTIODMATap.h"

namespace nQoTIO100 {
class tTIOCtrHelper;
class tTIOCtrInterruptDispatcher;
}  // namespace nQoTIO100

namespace nQoTIOR100 {

class iTIOCtrResource : public nQoMRL100::iLeafResourcePool {
 public:
  virtual uint32_t number() const = 0;
  virtual nQoTIO100::tTIOCtrHelper* helper() const = 0;
  virtual nQoTIO100::tTIOCtrInterruptDispatcher* dispatcher() const = 0;
  virtual iTIODMATap* dma() const = 0;
};

// Nothing (null) when the status holds an error; null with -50352 when out of
// memory.
iTIOCtrResource* createTIOCtrResource(tSyncAtomicU32* inUse, uint32_t number,
                                      nQoTIO100::tTIOCtrHelper* helper,
                                      nQoTIO100::tTIOCtrInterruptDispatcher* dispatcher,
                                      iTIODMATap* dma, nQoMDBG100::tStatus2& status);
void destroyTIOCtrResource(iTIOCtrResource* counter);

}  // namespace nQoTIOR100
