// The pool that stands for a device whose driver failed to load: it refuses
// every reservation with the stored failure code. Its casts are the
// platform's.
#pragma once

#include <cstdint>

#include "mrl/iLeafResourcePool.h"

namespace nQoUdR100 {

class tDriverLoadFailureResourcePool : public nQoMRL100::iLeafResourcePool {
 public:
  // Keeps the code of the status that holds the failure.
  explicit tDriverLoadFailureResourcePool(const nQoMDBG100::tStatus2& failure)
      : _failureCode(failure.code) {}

  // Reports the stored code (line 101) and answers true.
  bool isPartiallyReserved(nQoMDBG100::tStatus2& status) const override;
  // Reports the stored code (line 83) and answers 0.
  uint32_t reserve(const nQoMRL100::iResourceIdentifier* identifier,
                   nQoMDBG100::tStatus2& status) override;
  void release(const nQoMRL100::iResourceIdentifier* identifier,
               nQoMDBG100::tStatus2& status) override;

 private:
  // The stored code by the merge rule; nothing when it is 0.
  void report(nQoMDBG100::tStatus2& status, unsigned line) const;

  int32_t _failureCode;
};

}  // namespace nQoUdR100
