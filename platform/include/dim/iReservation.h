// One interconnect reservation, held until the manager releases it.
#pragma once

namespace nQoDIM_1_4 {

class iReservation {
 public:
  virtual ~iReservation() = default;
};

}  // namespace nQoDIM_1_4
