// A short register sequence on the Tavik map that the map's bus runs with the
// board's interrupt service held off. A sequence derives from it and gives its
// steps as a static operate(map, status):
//
//   struct tAtomicOp final : tTavikAtomicOperation<tAtomicOp> {
//     using tTavikAtomicOperation::tTavikAtomicOperation;
//     static void operate(nTavik::tTavik& map, nQoMDBG100::tStatus2* status) { ... }
//   };
//   tAtomicOp(map, status).run();
//
// It goes to the bus also when the status holds an error: its steps then touch
// nothing, and it answers the stored code, which the bus stores back.
#pragma once

#include <cstdint>

#include "bus/iBusAtomicOperation.h"
#include "mdbg/tStatus2.h"
#include "registers/registerStatus.h"
#include "tavik/tTavik.h"

namespace nQoUdRLP100 {

template <class tSteps>
class tTavikAtomicOperation : public iBusAtomicOperation {
 public:
  tTavikAtomicOperation(nTavik::tTavik* map, nQoMDBG100::tStatus2* status)
      : _map(map), _status(status) {}

  void run() { _map->space().bus()->runAtomically(this, codeOf(_status)); }

  // The status code, or 0 without status.
  int32_t operateAtomically() override {
    tSteps::operate(*_map, _status);
    return _status != nullptr ? _status->code : 0;
  }

 private:
  nTavik::tTavik* _map;
  nQoMDBG100::tStatus2* _status;
};

}  // namespace nQoUdRLP100
