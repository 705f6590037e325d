#include "primitives/dio/tDIOSubsystem.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "primitives/dio/tTavikFixedInputImmedDigPrimitive.h"
#include "primitives/dio/tTavikFixedOutputImmedDigPrimitive.h"
#include "primitives/dio/tTavikImmedDigPrimitive.h"
#include "primitives/dio/tTavikPFIImmedDigPrimitive.h"

namespace nQoUdP100 {

tDIOSubsystem::tDIOSubsystem(nQoUdRLP100::nTavik::tTavik& map, const tDIODescription& description,
                             nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  for (int i = 0; i < 2; ++i) {
    _immedDigPrimitives.append(nullptr);
    _latchingPrimitives.append(nullptr);
  }
  _immedDigPrimitives.checkAllocation(status, {"tDIOSubsystem", 60});
  _latchingPrimitives.checkAllocation(status, {"tDIOSubsystem", 61});
  if (status.isFatal()) return;
  const bool fixedDirection = description.isFixedDirection();
  buildLines(map, fixedDirection, status);
  if (description.timing == 0 || status.isFatal()) return;
  _hwTimingController = new (status) tTavikHWTimingControllerPrimitive(map, status);
  if (status.isFatal()) return;
  _swTimingController = new (status) tTavikSWTimingControllerPrimitive(map);
  if (status.isFatal()) return;
  auto* portLines =
      fixedDirection ? nullptr : static_cast<tTavikImmedDigPrimitive*>(_immedDigPrimitives[0]);
  _commRouting = new (status) tTavikCommRoutingPrimitive(map, portLines, status);
  if (status.isFatal()) return;
  _teskLines = new (status) tTavikTESKImmedDigPrimitive(map, status);
}

void tDIOSubsystem::buildLines(nQoUdRLP100::nTavik::tTavik& map, bool fixedDirection,
                               nQoMDBG100::tStatus2& status) {
  iImmedDigPrimitive* lines[2] = {};
  if (fixedDirection) {
    lines[0] = new (status) tTavikFixedInputImmedDigPrimitive(map);
    if (status.isNotFatal())
      lines[1] = new (status) tTavikFixedOutputImmedDigPrimitive(map, status);
  } else {
    lines[0] = new (status) tTavikImmedDigPrimitive(map, status);
    if (status.isNotFatal()) lines[1] = new (status) tTavikPFIImmedDigPrimitive(map, status);
  }
  for (int i = 0; i < 2; ++i) _immedDigPrimitives[i] = lines[i];
  for (int i = 0; i < 2 && status.isNotFatal(); ++i)
    _latchingPrimitives[i] = new (status) tImmedDigLatchingPrimitive(lines[i]);
}

tDIOSubsystem::~tDIOSubsystem() {
  delete _swTimingController;
  delete _hwTimingController;
  delete _teskLines;
  delete _commRouting;
  for (size_t i = _latchingPrimitives.size(); i > 0; --i) delete _latchingPrimitives[i - 1];
  for (size_t i = _immedDigPrimitives.size(); i > 0; --i) delete _immedDigPrimitives[i - 1];
}

uint32_t tDIOSubsystem::unsupportedOperation(nQoMDBG100::tStatus2& status) {
  if (status.isNotFatal())
    nQoUdR100::setCode(status, nQoUdR100::kNotSupported, {"tDIOSubsystem", 101});
  return 0;
}

}  // namespace nQoUdP100
