// The wait of a Tavik board's AI transfers for the last conversion to leave
// the converter: bit 15 of tJoint_Status_1 (0x136) clears within a time-out in
// milliseconds, else kBoardTimeout at the owner's site. Every wait times
// itself, so that passes waiting at once on one object keep their own
// time-outs.
//
//   tLastConversionWait wait(map, 30, {kFile, 270});
//   wait.wait(local);
#pragma once

#include <cstdint>

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "frame/tTimerTimeout.h"
#include "mdbg/tStatus2.h"
#include "tavik/tTavik.h"
#include "time/tTimerTimeWaster.h"
#include "time/tTimerTimebase.h"

namespace nQoUdP100 {

class tLastConversionWait {
 public:
  static constexpr uint32_t kConverting = 0x8000;

  tLastConversionWait(nQoUdRLP100::nTavik::tTavik* map, uint32_t milliseconds,
                      nQoUdR100::tStatusSite site)
      : _map(map), _milliseconds(milliseconds), _site(site) {}

  void wait(nQoMDBG100::tStatus2& status) const {
    nQoUdR100::tTimerTimeout<tTimerTimeWasterSpin, tTimerTimebasePrecise> timeout(
        _milliseconds, kTimerTimeUnitMillisecond, 0, nullptr);
    timeout.start(&status.code);
    while (status.isNotFatal()) {
      if ((_map->Joint_Status_1.refresh(&status) & kConverting) == 0) return;
      if (timeout.isTimeout(&status.code) != 0) break;
    }
    nQoUdR100::setCode(status, nQoUdR100::kBoardTimeout, _site);
  }

 private:
  nQoUdRLP100::nTavik::tTavik* _map;
  uint32_t _milliseconds;
  nQoUdR100::tStatusSite _site;
};

}  // namespace nQoUdP100
