// Reserves one step for the life of a scope and releases it again when the
// operation fails (or always, when asked):
//
//   tScopedReservation reservation(reserver, status, 0);
//   ...  // a later failure in the status releases the reservation
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "reservation/iReserver.h"

namespace nQoMRTB100 {

class tScopedReservation {
 public:
  tScopedReservation(iReserver& reserver, nQoMDBG100::tStatus2& status, uint32_t releaseAlways)
      : _reserver(&reserver), _status(&status), _releaseAlways(releaseAlways) {
    if (status.isFatal()) return;
    reserver.reserveResource(status);
    _succeeded = status.isNotFatal() ? 1 : 0;
  }

  // Releases on a fresh status, dropped, when the reservation succeeded and
  // the caller's status now holds an error or release-always is set.
  ~tScopedReservation() {
    if (_succeeded == 0 || (_status->isNotFatal() && _releaseAlways == 0)) return;
    nQoMDBG100::tStatus2 local;
    _reserver->releaseResource(local);
  }

  tScopedReservation(const tScopedReservation&) = delete;
  tScopedReservation& operator=(const tScopedReservation&) = delete;

 private:
  iReserver* _reserver;
  nQoMDBG100::tStatus2* _status;
  uint32_t _succeeded = 0;
  uint32_t _releaseAlways;
};

}  // namespace nQoMRTB100
