// The routing objects of one board, built at bring-up from its capability
// record and its board object: the Tavik routable (the 37-pin wrapper for the
// 37-pin registrars), the registrar the record names, and the routables of the
// further terminal groups: analog input over the AI timing controller, analog
// output over the AO timing controller (a dummy without AO part), the PLL
// routable on a board with a PLL, and the counter routable over the counter
// container. Adding the node hands the registrar the board's terminal groups
// and the routables, then commits the Tavik routable.
//
//   tBoardRouting routing;
//   routing.create(board, counters, status);
//   routing.addNode(driver, board, groups, simulated, status);
//   ...
//   routing.destroy(status);   // the registrar through its class
#pragma once

#include <cstdint>

#include "counters/tTavikTIOCompositeContainer.h"
#include "device/routableInterfaces.h"
#include "device/tTavikRoutable.h"
#include "mdbg/tStatus2.h"
#include "mru/iRoutableResource.h"

namespace nQoUdP100 {
class tUdSeriesDevice;
}

namespace nQoUdR100 {

class tBoardRouting {
 public:
  tBoardRouting() = default;
  ~tBoardRouting();
  tBoardRouting(const tBoardRouting&) = delete;
  tBoardRouting& operator=(const tBoardRouting&) = delete;

  // The Tavik routable and the registrar (kOutOfMemory, or kCastFailed for a
  // registrar class that makes no registrar); then, as the board has them,
  // the PLL, AI, AO and counter routables. Nothing when the status holds an
  // error.
  void create(const nQoUdP100::tUdSeriesDevice& board, const tTavikTIOCompositeContainer* counters,
              nQoMDBG100::tStatus2& status);
  // Registers the routing node with the terminal groups (a null-ended list),
  // only with a registrar; on a simulated board every routable is passed as
  // null. Then commits the Tavik routable.
  void addNode(const void* owner, const nQoUdP100::tUdSeriesDevice& board,
               const char* const* groups, bool simulated, nQoMDBG100::tStatus2& status);
  // Destroys the routables and the registrar (through its class, the status
  // merged into the caller's).
  void destroy(nQoMDBG100::tStatus2& status);

  iUdSeriesRoutableRegistrar* registrar() const { return _registrar; }
  tTavikRoutable* routable() const { return _routable; }

 private:
  tTavikRoutable* _routable = nullptr;
  iUdSeriesRoutableRegistrar* _registrar = nullptr;
  nQoMRU210::iRoutableResource* _pll = nullptr;
  nQoMRU210::iRoutableResource* _ai = nullptr;
  nQoMRU210::iRoutableResource* _ao = nullptr;
  nQoMRU210::iRoutableResource* _counters = nullptr;
};

}  // namespace nQoUdR100
