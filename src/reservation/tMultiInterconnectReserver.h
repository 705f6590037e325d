// Reserves interconnect lines as one reserving step: one reservation at the
// interconnect manager per line of its line set, lowest line first, all given
// back again when one fails. It owns clones of the endpoint and the intent it
// is given; reservations outlive it unless released.
//
//   tMultiInterconnectReserver lines;
//   lines.setName("owner", status);
//   lines.setEndpoint(endpoint, status);
//   lines.setIntent(intent, status);
//   lines.setLines(set, status);
//   lines.reserveResource(status);
#pragma once

#include "dim/iIntent.h"
#include "dim/iInterconnectBusEndpoint.h"
#include "dim/iReservation.h"
#include "dim/tLineSet.h"
#include "frame/tBasicString.h"
#include "frame/tGrowableArray.h"
#include "reservation/iReserver.h"

namespace nQoMRTB100 {

class tMultiInterconnectReserver : public iReserver {
 public:
  tMultiInterconnectReserver() = default;
  ~tMultiInterconnectReserver() override;
  tMultiInterconnectReserver(const tMultiInterconnectReserver&) = delete;
  tMultiInterconnectReserver& operator=(const tMultiInterconnectReserver&) = delete;

  // Each setter does nothing when the status holds an error.
  void setName(const char* name, nQoMDBG100::tStatus2& status);
  void setLines(const nQoDIM100::tLineSet& lines, nQoMDBG100::tStatus2& status);
  // Destroys the endpoint held and holds a clone of the object, which must be
  // a cloneable endpoint (else kCastFailed and none is held).
  void setEndpoint(nQoORB100::tObject* endpoint, nQoMDBG100::tStatus2& status);
  // The same for the intent.
  void setIntent(nQoORB100::tObject* intent, nQoMDBG100::tStatus2& status);
  // kOutOfMemory when the name or the reservation list could not be allocated.
  void checkAllocation(nQoMDBG100::tStatus2& status) const;

  void reserveResource(nQoMDBG100::tStatus2& status) override;
  // Releases every reservation held, the newest first, and forgets them.
  void releaseResource(nQoMDBG100::tStatus2& status) override;

 private:
  nQoUdR100::tString _name;
  nQoDIM100::iInterconnectBusEndpoint* _endpoint = nullptr;
  nQoDIM100::iIntent* _intent = nullptr;
  nQoDIM100::tLineSet _lines;
  nQoUdR100::tGrowableArray<nQoDIM_1_4::iReservation*> _reservations;
};

}  // namespace nQoMRTB100
