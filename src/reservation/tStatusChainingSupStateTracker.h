// A state tracker that also refuses an event that the current state and the
// control-enable flags do not allow: kRefused on the status.
#pragma once

#include "reservation/tSupStateTracker.h"

namespace nQoMRTB100 {

class tStatusChainingSupStateTracker : public tSupStateTracker {
 public:
  ~tStatusChainingSupStateTracker() override = default;
  // Does not look at the status first: the guard calls it only on a status
  // without error.
  void validateEvent(int32_t event, nQoMDBG100::tStatus2& status) override;
};

}  // namespace nQoMRTB100
