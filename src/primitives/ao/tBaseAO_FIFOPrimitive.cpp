#include "primitives/ao/tBaseAO_FIFOPrimitive.h"

#include "apal/nQoAPALMemory.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdP100 {

namespace {

constexpr const char kFile[] = "tBaseAO_FIFOPrimitive";
constexpr uint32_t kDataLoadedKind = 2;
constexpr uint32_t kDataLoadedOption = 12;

}  // namespace

tBaseAO_FIFOPrimitive::tBaseAO_FIFOPrimitive(const tAODescription* description, tStatus2& status)
    : _description(description),
      _fifoDepth(description->fifoDepth),
      _halfFIFODepth(description->fifoDepth != 0 ? description->fifoDepth / 2 : 1),
      _bit13RefillChunk(description->refillChunk),
      _maxChannels(description->maxChannels) {
  // Without an output FIFO the FIFO mode is 2 and each refill one sample.
  if (_fifoDepth == 0) _fields.deploy({.fifoMode = 2, .refillChunk = 1});
  if (status.isFatal()) return;
  if (_maxChannels != 0) {
    _channelOrder =
        static_cast<uint32_t*>(_memNewUsingCRT(sizeof(uint32_t) * _maxChannels, 0, &status));
    if (_channelOrder == nullptr) return;
    for (uint32_t k = 0; k < _maxChannels; ++k) _channelOrder[k] = k;
  }
  iSync::tParam param;
  param.kind = kDataLoadedKind;
  param.option = kDataLoadedOption;
  _dataLoaded = syncOpen(param, &status.code);
  if (status.isNotFatal()) _state.setUncommitted();
}

tBaseAO_FIFOPrimitive::~tBaseAO_FIFOPrimitive() {
  tStatus2 fresh;
  unregisterDataLoadedObserver(fresh);
  _memDelete(_channelOrder);
  if (_dataLoaded != nullptr) syncClose(_dataLoaded);
}

void tBaseAO_FIFOPrimitive::signalDataLoaded() {
  if (_dataLoaded != nullptr) _dataLoaded->releaseOrSet(nullptr);
}

void tBaseAO_FIFOPrimitive::resetDataLoaded() {
  int code = 0;
  if (_dataLoaded != nullptr) _dataLoaded->reset(&code);
}

void tBaseAO_FIFOPrimitive::setRegenerateFromFIFO(uint32_t value, tStatus2& status) {
  if (status.isFatal()) return;
  if (value == 1 && _fifoDepth == 0) {
    nQoUdR100::setCode(status, nQoUdR100::kBadArgument, {kFile, 274});
    return;
  }
  _fields.deploying().regenerateFromFIFO = value;
}

void tBaseAO_FIFOPrimitive::deploySettings(const tAOFIFOFields& settings) {
  tAOFIFOFields& deployed = _fields.deploying();
  const bool hasFIFO = _fifoDepth != 0;
  deployed = {.transferMechanism = settings.transferMechanism,
              .regenerateFromFIFO = deployed.regenerateFromFIFO,
              .pulseBeforeWrite = settings.pulseBeforeWrite,
              .channelCount = settings.channelCount,
              .fifoMode = hasFIFO ? settings.fifoMode : 2,
              .refillChunk = hasFIFO ? settings.refillChunk : 1,
              .totalSamples = settings.totalSamples,
              .dmaChannel = deployed.dmaChannel};
}

void tBaseAO_FIFOPrimitive::registerDataLoadedObserver(tStatus2& status) {
  nQoLMSDR100::iDMAObservable* const observable = _dmaObservable;
  if (status.isFatal() || observable == nullptr || _observed != nullptr) return;
  observable->registerObserver(nQoLMSDR100::iDMAObservable::kDataLoaded, this, status);
  if (status.isNotFatal()) _observed = observable;
}

void tBaseAO_FIFOPrimitive::unregisterDataLoadedObserver(tStatus2& status) {
  if (status.isFatal() || _observed == nullptr) return;
  _observed->unregisterObserver(nQoLMSDR100::iDMAObservable::kDataLoaded, this, status);
  if (status.isNotFatal()) _observed = nullptr;
}

void tBaseAO_FIFOPrimitive::waitForDataLoaded(tStatus2& status) {
  if (status.isFatal() || _dataLoaded == nullptr) return;
  int waitStatus = 0;
  if (_dataLoaded->waitOrAcquire(kDataLoadedTimeout, &waitStatus) == 0)
    nQoUdR100::setCode(status, nQoUdR100::kBoardTimeout, {kFile, 90});
}

}  // namespace nQoUdP100
