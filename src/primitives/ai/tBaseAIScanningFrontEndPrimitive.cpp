#include "primitives/ai/tBaseAIScanningFrontEndPrimitive.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdP100 {

namespace {
constexpr const char kFile[] = "source/qomiop/ai/tBaseAIScanningFrontEndPrimitive";
using nQoMDBG100::tStatus2;
}  // namespace

tBaseAIScanningFrontEndPrimitive::tBaseAIScanningFrontEndPrimitive(
    const tAIFrontEndDescription* description, tStatus2& status)
    : _description(description) {
  if (status.isFatal()) return;
  _fields.programmed().checkStatus(status);
  _state.setUncommitted();
}

void* tBaseAIScanningFrontEndPrimitive::___CPPKRLDynamicCast(void* const* classID) {
  return classID == &___classID ? this : nullptr;
}

const void* tBaseAIScanningFrontEndPrimitive::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tBaseAIScanningFrontEndPrimitive*>(this)->___CPPKRLDynamicCast(classID);
}

void tBaseAIScanningFrontEndPrimitive::setConfiguration(
    const tAIScanningFrontEndPrimitiveConfig& configuration, tStatus2& status) {
  tAIScanningFrontEndPrimitiveConfig& deployed = _fields.deploying();
  if (deployed.channels.allocationFailed() || configuration.channels.allocationFailed())
    nQoUdR100::setCode(status, nQoUdR100::kOutOfMemory, {kFile, 80});
  if (!(deployed.channels == configuration.channels)) _changed = 1;
  deployed = configuration;
  deployed.checkStatus(status);
  _state.setUncommitted();
}

void tBaseAIScanningFrontEndPrimitive::arm(uint32_t timingFlag, tStatus2& status) {
  if (timingFlag == 0 && status.isNotFatal()) programChannels(status);
}

void tBaseAIScanningFrontEndPrimitive::reserved9(tStatus2& status) {
  nQoUdR100::setCode(status, nQoUdR100::kNotSupported, {kFile, 63});
}

void tBaseAIScanningFrontEndPrimitive::reserved10(tStatus2& status) {
  nQoUdR100::setCode(status, nQoUdR100::kNotSupported, {kFile, 68});
}

void tBaseAIScanningFrontEndPrimitive::reserved15(tStatus2& status) {
  nQoUdR100::setCode(status, nQoUdR100::kNotSupported, {kFile, 99});
}

void tBaseAIScanningFrontEndPrimitive::bringDown() {
  tStatus2 uncommitted;
  if (_state.isCommitted()) uncommit(uncommitted);
  _fields.forget();
}

bool tBaseAIScanningFrontEndPrimitive::isReady() const {
  return _state.isInUse() && _description != nullptr;
}

tAIScanningFrontEndConfig* tBaseAIScanningFrontEndPrimitive::entryAt(uint32_t index,
                                                                     tStatus2& status,
                                                                     unsigned line) {
  if (status.isFatal()) return nullptr;
  auto& channels = _fields.deploying().channels;
  if (channels.allocationFailed()) {
    nQoUdR100::setCode(status, nQoUdR100::kOutOfMemory, {kFile, line + 1});
    return nullptr;
  }
  if (index >= channels.size()) {
    nQoUdR100::setCode(status, nQoUdR100::kRefused, {kFile, line});
    return nullptr;
  }
  return &channels[index];
}

void tBaseAIScanningFrontEndPrimitive::setChannelRange(uint32_t index,
                                                       const nQoUdRLP100::tInterval& range,
                                                       tStatus2& status) {
  if (tAIScanningFrontEndConfig* entry = entryAt(index, status, 111)) {
    entry->rangeLow = range.lower;
    entry->rangeHigh = range.upper;
    _changed = 1;
  }
}

void tBaseAIScanningFrontEndPrimitive::setChannelParameters(uint32_t index, int32_t positiveInput,
                                                            int32_t reference, tStatus2& status) {
  if (tAIScanningFrontEndConfig* entry = entryAt(index, status, 131)) {
    entry->positiveInputCode = positiveInput;
    entry->referenceCode = reference;
    _changed = 1;
  }
}

}  // namespace nQoUdP100
