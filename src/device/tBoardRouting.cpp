#include "device/tBoardRouting.h"

#include "device/boardParts.h"
#include "device/routableChoice.h"
#include "device/tDummyRoutable.h"
#include "device/tPLLRoutable.h"
#include "device/tUdSeriesDevice.h"
#include "supervisors/ai/tAIRoutable.h"
#include "supervisors/ao/tBaseAO_DACTransferSupervisor.h"
#include "tior/tTIOCtrRoutable.h"

namespace nQoUdR100 {

namespace {

// Allocates a routable; kOutOfMemory when it cannot.
template <class T, class... Args>
nQoMRU210::iRoutableResource* make(nQoMDBG100::tStatus2& status, Args... arguments) {
  if (status.isFatal()) return nullptr;
  return new (status) T(arguments...);
}

template <class T>
void destroyOne(T*& object) {
  delete object;
  object = nullptr;
}

}  // namespace

tBoardRouting::~tBoardRouting() {
  nQoMDBG100::tStatus2 dropped;
  destroy(dropped);
}

void tBoardRouting::create(const nQoUdP100::tUdSeriesDevice& board,
                           const tTavikTIOCompositeContainer* counters,
                           nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  const tProductDescriptor& record = *board.record();
  const char* registrarName =
      record.routing != nullptr ? record.routing->registrarClassName : nullptr;
  auto* map = board.bus()->map();
  _routable = uses37PinWrapper(registrarName) ? new (status)
                                                    tTavikWrapperFor37PinUdSeriesRoutable(map)
                                              : new (status) tTavikRoutable(map);
  if (registrarName != nullptr && registrarName[0] != '\0')
    _registrar = newRoutableRegistrar(registrarName, status);
  if (board.pll() != nullptr) _pll = make<tPLLRoutable>(status, board.pll());
  if (board.aiSubsystem() != nullptr)
    _ai = make<tAIRoutable>(status, board.aiSubsystem()->timing());
  if (board.aoSubsystem() != nullptr)
    _ao = make<tAORoutable>(status, board.aoSubsystem()->timingController());
  else
    _ao = make<tDummyRoutable>(status);
  if (counters != nullptr)
    _counters = make<tModuleOwned<nQoTIOR100::tTIOCtrRoutable>>(status, counters);
}

void tBoardRouting::addNode(const void* owner, const nQoUdP100::tUdSeriesDevice& board,
                            const char* const* groups, bool simulated,
                            nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  if (_registrar != nullptr) {
    const auto pass = [simulated](nQoMRU210::iRoutableResource* routable) {
      return simulated ? nullptr : routable;
    };
    _registrar->addRoutingDevice(owner, board.node(), pass(_routable), nullptr, pass(_ai),
                                 pass(_ao), pass(_pll), pass(_counters), groups, status);
  }
  if (_routable != nullptr) _routable->commit(status);
}

void tBoardRouting::destroy(nQoMDBG100::tStatus2& status) {
  destroyOne(_counters);
  destroyOne(_ao);
  destroyOne(_ai);
  deleteRoutableRegistrar(_registrar, status);
  _registrar = nullptr;
  destroyOne(_pll);
  destroyOne(_routable);
}

}  // namespace nQoUdR100
