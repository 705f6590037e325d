#include "primitives/ao/tTavikAOSubsystem.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "primitives/ao/tTavikAO_DACPrimitive.h"

namespace nQoUdP100 {

namespace {

constexpr const char kFile[] = "tTavikAOSubsystem";

template <class T>
void destroy(T*& object) {
  delete object;
  object = nullptr;
}

}  // namespace

tTavikAOSubsystem::tTavikAOSubsystem(const tAODescription* description,
                                     const tAOResources& resources, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  if (description == nullptr) {
    nQoUdR100::setCode(status, nQoUdR100::kRefused, {kFile, 30});
    return;
  }
  _fifo = new (status) tTavikAO_FIFOPrimitive(description, resources, status);
  _timing = new (status) tTavikAOTimingControllerPrimitive(description, resources, _fifo, status);
  if (status.isNotFatal()) _fifo->setUp(status);
  if (!_dacs.reserve(description->channelCount)) {
    nQoUdR100::setCode(status, nQoUdR100::kOutOfMemory, {kFile, 40});
  } else {
    for (uint32_t channel = 0; channel < description->channelCount; ++channel) {
      tBaseAO_DACPrimitive* dac = nullptr;
      if (description->pwmDACs != 0)
        dac = new (status) tTavikAO_PWM_DACPrimitive(resources, channel, status);
      else
        dac = new (status) tTavikAO_DACPrimitive(resources, channel, description->hasSecondRegister,
                                                 description->configBit7 != 0, status);
      if (dac != nullptr && !_dacs.append(dac)) delete dac;
    }
  }
  _groundReference = new (status) tTavikAOGroundRefPrimitive(resources, status);
  if (status.isNotFatal()) _fifo->setTimingController(_timing);
}

tTavikAOSubsystem::~tTavikAOSubsystem() {
  // The FIFO's second pass disarms the timing controller: the FIFO lets go of
  // it, after a pass under way, before it goes.
  if (_fifo != nullptr) _fifo->setTimingController(nullptr);
  destroy(_groundReference);
  for (size_t n = _dacs.size(); n > 0; --n) destroy(_dacs[n - 1]);
  destroy(_timing);
  destroy(_fifo);
}

}  // namespace nQoUdP100
