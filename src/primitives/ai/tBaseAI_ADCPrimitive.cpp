#include "primitives/ai/tBaseAI_ADCPrimitive.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdP100 {

namespace {
constexpr const char kFile[] = "source/qomiop/ai/tBaseAI_ADCPrimitive";
}  // namespace

nQoMRTB100::iInterruptHandler::tAnswer tBaseAI_ADCPrimitive::tAIOverrunHandler::handleInterrupt() {
  nQoMDBG100::tStatus2 local;
  const bool pending = _converter->_observers.notifyAll(
      [&](iObserver* observer) { return observer->handleOverrun(_converter, local); });
  if (!pending) return kHandled;
  _converter->disableOverrunInterrupt(&local);
  return kHandledWantsSecondary;
}

uint32_t tBaseAI_ADCPrimitive::tAIOverrunHandler::handleSecondaryInterrupt() {
  nQoMDBG100::tStatus2 local;
  _converter->_observers.notifyPending(
      [&](iObserver* observer) { observer->handleOverrunSecondary(_converter, local); });
  // The enable looks at the arm's record inside its atomic run: a disarm
  // since the primary pass leaves the source off.
  _converter->enableOverrunInterrupt(local);
  return static_cast<uint32_t>(local.code);
}

tBaseAI_ADCPrimitive::tBaseAI_ADCPrimitive(const tAIFirstEntry* owner) : _owner(owner) {}

void* tBaseAI_ADCPrimitive::___CPPKRLDynamicCast(void* const* classID) {
  return classID == &___classID ? this : nullptr;
}

const void* tBaseAI_ADCPrimitive::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tBaseAI_ADCPrimitive*>(this)->___CPPKRLDynamicCast(classID);
}

void tBaseAI_ADCPrimitive::start(nQoMDBG100::tStatus2& status) {
  nQoUdR100::setCode(status, nQoUdR100::kNotSupported, {kFile, 139});
}

void tBaseAI_ADCPrimitive::stop(nQoMDBG100::tStatus2& status) {
  nQoUdR100::setCode(status, nQoUdR100::kNotSupported, {kFile, 147});
}

void tBaseAI_ADCPrimitive::addObserver(iObserver* observer, nQoMDBG100::tStatus2& status) {
  _observers.add({observer}, status, {"tBaseAI_ADCPrimitive", 60});
}

void tBaseAI_ADCPrimitive::removeObserver(iObserver* observer, nQoMDBG100::tStatus2& status) {
  _observers.remove(observer, status);
}

void tBaseAI_ADCPrimitive::setConfiguration(const tAI_ADCPrimitiveConfig& configuration,
                                            nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  _configuration.deploy(configuration);
  _configuration.deploying().checkStatus(status);
}

}  // namespace nQoUdP100
