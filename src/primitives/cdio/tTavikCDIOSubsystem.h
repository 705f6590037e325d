// The CDIO subsystem of a Tavik board: builds the parts in a fixed order
// (dispatcher; CDI FIFO and its interrupt, immediate and DMA transfers; CDO
// FIFO and its interrupt, DMA and immediate transfers; the redirector on the
// CDO FIFO) and stops at the first failure. The destructor deletes them in
// the reverse order, so every transfer goes before its FIFO and the
// dispatcher last.
//
//   tTavikCDIOSubsystem cdio(&description, map, board, &identity, &deviceInfo, status);
//   if (!cdio.isComplete()) ...
#pragma once

#include "frame/tDeviceInfo.h"
#include "frame/tModuleObject.h"
#include "mdbg/tStatus2.h"
#include "orb/tGUID.h"
#include "primitives/cdio/tBaseCDIOSubsystem.h"
#include "primitives/cdio/tCDIODescription.h"
#include "tavik/tTavik.h"
#include "tavik/tTavikInterruptDispatcher.h"

namespace nQoUdP100 {

class tTavikCDIOSubsystem : public tBaseCDIOSubsystem, public nQoUdR100::tModuleObject {
 public:
  tTavikCDIOSubsystem(const tCDIODescription* description, nQoUdRLP100::nTavik::tTavik* map,
                      nQoUdRLP100::tTavikInterruptDispatcher* board,
                      const nQoORB100::tGUID* identity, const tDeviceInfo* deviceInfo,
                      nQoMDBG100::tStatus2& status);
  ~tTavikCDIOSubsystem() override;
  tTavikCDIOSubsystem(const tTavikCDIOSubsystem&) = delete;
  tTavikCDIOSubsystem& operator=(const tTavikCDIOSubsystem&) = delete;

  bool isComplete() const override;
};

}  // namespace nQoUdP100
