#include "primitives/cdio/tTavikCDIOSubsystem.h"

#include <type_traits>

#include "primitives/cdio/ownedPart.h"

namespace nQoUdP100 {

tTavikCDIOSubsystem::tTavikCDIOSubsystem(const tCDIODescription* description,
                                         nQoUdRLP100::nTavik::tTavik* map,
                                         nQoUdRLP100::tTavikInterruptDispatcher* board,
                                         const nQoORB100::tGUID* identity,
                                         const tDeviceInfo* deviceInfo,
                                         nQoMDBG100::tStatus2& status) {
  // Each step runs only while the status is clean, so the first failure ends the build.
  auto build = [&status](auto*& part, auto&&... arguments) {
    using tPart = std::remove_reference_t<decltype(*part)>;
    if (status.isNotFatal()) part = buildPart<tPart>(status, arguments...);
  };
  build(_dispatcher, board);
  build(_cdiFIFO, _dispatcher, description, map, status);
  build(_cdiInterrupt, deviceInfo, description, _cdiFIFO, status);
  build(_cdiImmediate, deviceInfo, description, _cdiFIFO, identity, status);
  build(_cdiDMA, deviceInfo, _cdiFIFO, identity, status);
  build(_cdoFIFO, _dispatcher, description, map, status);
  build(_cdoInterrupt, deviceInfo, description, _cdoFIFO, status);
  build(_cdoDMA, deviceInfo, _cdoFIFO, identity, status);
  build(_cdoImmediate, deviceInfo, description, _cdoFIFO, identity, status);
  build(_redirector, _cdoFIFO, status);
}

tTavikCDIOSubsystem::~tTavikCDIOSubsystem() {
  destroyPart(_redirector);
  destroyPart(_cdoImmediate);
  destroyPart(_cdoDMA);
  destroyPart(_cdoInterrupt);
  destroyPart(_cdoFIFO);
  destroyPart(_cdiDMA);
  destroyPart(_cdiImmediate);
  destroyPart(_cdiInterrupt);
  destroyPart(_cdiFIFO);
  destroyPart(_dispatcher);
}

bool tTavikCDIOSubsystem::isComplete() const {
  return _dispatcher != nullptr && _cdiFIFO != nullptr && _cdiInterrupt != nullptr &&
         _cdiImmediate != nullptr && _cdiDMA != nullptr && _cdoFIFO != nullptr &&
         _cdoInterrupt != nullptr && _cdoDMA != nullptr && _cdoImmediate != nullptr;
}

}  // namespace nQoUdP100
