// The software clocking of the TESK link: selects the software clock while
// hardware timing is off (-223748 while it runs).
#pragma once

#include <cstdint>

#include "cdp/iTESK_SWTimingController.h"
#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "tavik/tTavik.h"

namespace nQoUdP100 {

class tTavikSWTimingControllerPrimitive : public nQoCDP100::iTESK_SWTimingController,
                                          public nQoUdR100::tModuleObject {
 public:
  explicit tTavikSWTimingControllerPrimitive(nQoUdRLP100::nTavik::tTavik& map) : _map(map) {}

  void setSoftwareClock(int32_t on, nQoMDBG100::tStatus2& status) override;

 private:
  nQoUdRLP100::nTavik::tTavik& _map;
};

}  // namespace nQoUdP100
