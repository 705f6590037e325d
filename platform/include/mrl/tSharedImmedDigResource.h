// The platform's shared pool of a digital port's lines: it stands in front of
// a pool of the port and passes every call on to it.
//
//   nQoSDR000::tSharedImmedDigResource shared(&portPool);
//   broker->registerPool(&identifier, &shared, status);
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "mrl/iLeafResourcePool.h"
#include "mrl/iResourceIdentifier.h"

namespace nQoSDR000 {

class tSharedImmedDigResource : public nQoMRL100::iLeafResourcePool {
 public:
  explicit tSharedImmedDigResource(nQoMRL100::iLeafResourcePool* pool) : _pool(pool) {}

  bool isPartiallyReserved(nQoMDBG100::tStatus2& status) const override {
    return _pool->isPartiallyReserved(status);
  }
  uint32_t reserve(const nQoMRL100::iResourceIdentifier* identifier,
                   nQoMDBG100::tStatus2& status) override {
    return _pool->reserve(identifier, status);
  }
  void release(const nQoMRL100::iResourceIdentifier* identifier,
               nQoMDBG100::tStatus2& status) override {
    _pool->release(identifier, status);
  }
  nQoMRL100::iLeafResourcePool* pool() const { return _pool; }

 private:
  nQoMRL100::iLeafResourcePool* _pool;
};

}  // namespace nQoSDR000
