// Shares the board's line filters among reservations, line by line: a
// reservation is a tTavikLineFilterIdentifier; a line already in use can be
// asked for again only with its current filter setting. Per line it keeps a
// use count and the current setting (0 when built). The broker serialises
// calls on the pool, so nothing is locked.
#pragma once

#include <cstdint>

#include "mrl/iReservationStrategy.h"
#include "orb/tGUID.h"
#include "settings/tTavikLineFilterIdentifier.h"

namespace nQoUdR100 {

class tTavikLineFilterReservationStrategy : public nQoMRL100::iReservationStrategy {
 public:
  using tIdentifier = tTavikLineFilterIdentifier;

  // 1 when every asked line was granted: each asked line's count rises and
  // takes the asked setting. 0 and nothing changed on a conflict
  // (kLineFilterConflict naming the first conflicting line, PFI lines first),
  // with a status that holds an error, or with an identifier that is not a
  // line-filter identifier (kCastFailed).
  uint32_t reserve(const nQoMRL100::iResourceIdentifier* identifier,
                   nQoMDBG100::tStatus2& status) override;
  // Lowers the count of each asked line that is in use; settings stay. Runs
  // whatever the status holds; an identifier that is not a line-filter
  // identifier changes nothing and gives kCastFailed.
  void release(const nQoMRL100::iResourceIdentifier* identifier,
               nQoMDBG100::tStatus2& status) override;

  bool isAnyLineInUse() const;
  // 0 for a line outside its group.
  uint32_t getUseCount(uint32_t group, uint32_t line) const;
  uint32_t getCurrentSetting(uint32_t group, uint32_t line) const;

 private:
  // kLineFilterConflict with a description naming the device, the line and both
  // settings.
  void reportConflict(uint32_t index, uint32_t requested, nQoMDBG100::tStatus2& status) const;

  uint32_t _useCounts[tIdentifier::kLines] = {};
  uint32_t _settings[tIdentifier::kLines] = {};
  nQoORB100::tGUID _deviceGUID;
};

}  // namespace nQoUdR100
