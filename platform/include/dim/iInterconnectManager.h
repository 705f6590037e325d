// The platform's interconnect manager: reserves sets of interconnect lines for
// an owner and releases the reservations again.
//
//   int code = 0;
//   iInterconnectManager* manager = getInterconnectManager(code);
//   nQoDIM_1_4::iReservation* held = manager->reserve("owner", endpoint, intent, code, lines);
//   ...
//   manager->release(held, code);
#pragma once

#include "dim/iReservation.h"
#include "dim/tLineSet.h"

namespace nQoDIM100 {

class iInterconnectBusEndpoint;
class iIntent;

class iInterconnectManager {
 public:
  virtual ~iInterconnectManager() = default;
  // Null, with the status set, when the lines cannot be reserved. Nothing
  // when the status holds an error.
  virtual nQoDIM_1_4::iReservation* reserve(const char* owner, iInterconnectBusEndpoint* endpoint,
                                            iIntent* intent, int& status,
                                            const tLineSet& lines) = 0;
  // Gives the lines of the reservation back and frees it. Nothing when the
  // status holds an error.
  virtual void release(nQoDIM_1_4::iReservation* reservation, int& status) = 0;
};

// Null, with the status set, when there is no manager.
iInterconnectManager* getInterconnectManager(int& status);

}  // namespace nQoDIM100
