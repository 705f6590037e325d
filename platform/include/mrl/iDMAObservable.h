// The observable side of a platform DMA channel: primitives register for its
// data-loaded event (kind 4) and are told through signalDataLoaded.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoLMSDR100 {

class iDMAObserver {
 public:
  virtual ~iDMAObserver() = default;
  virtual void signalDataLoaded() = 0;
};

class iDMAObservable {
 public:
  static constexpr uint32_t kDataLoaded = 4;
  virtual ~iDMAObservable() = default;
  virtual void registerObserver(uint32_t kind, iDMAObserver* observer,
                                nQoMDBG100::tStatus2& status) = 0;
  virtual void unregisterObserver(uint32_t kind, iDMAObserver* observer,
                                  nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoLMSDR100
