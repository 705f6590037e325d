#include "supervisors/ao/tBaseAO_DACSupervisor.h"

#include "settings/copyCheck.h"

namespace nQoUdR100 {

void tBaseAO_DACSupervisor::initialize(const nQoMRL100::iPrimitiveSettings& settings,
                                       nQoMRL100::iRuntimeFacade* facade,
                                       nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  keepFacade(facade);
  deploy(settings, status);
  if (status.isNotFatal()) _state = kPlainInitialized;
}

void tBaseAO_DACSupervisor::deploy(const nQoMRL100::iPrimitiveSettings& settings,
                                   nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  const tAO_DACSettings* own = castSettings(settings, status);
  if (own == nullptr) return;
  _identifier = own->record<0>().identifier;
  _settings = *own;
  checkCopy(status, {kFile, 125}, _identifier, _settings);
  applySettings(status);
}

// Words 2 to 7 into the DAC's six fields, in order.
void tBaseAO_DACSupervisor::applySettings(nQoMDBG100::tStatus2& status) {
  nQoUdP100::tBaseAO_DACPrimitive* dac = getPrimitive();
  if (dac == nullptr || status.isFatal()) return;
  const tAO_DACFields& words = _settings.record<0>();
  dac->fields.updateMode = static_cast<uint32_t>(words.word2);
  dac->fields.configBit7 = static_cast<uint32_t>(words.word3);
  dac->fields.spareField = static_cast<uint32_t>(words.word4);
  dac->fields.configSelectA = static_cast<uint32_t>(words.word5);
  dac->fields.configSelectB = static_cast<uint32_t>(words.word6);
  dac->fields.waitForSerialUpdate = words.word7;
}

// A DAC that refuses its reserve is handed back; the state stays.
void tBaseAO_DACSupervisor::reserveResource(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  if (nQoUdP100::tBaseAO_DACPrimitive* dac = reservePrimitive(status)) {
    applySettings(status);
    dac->reserve(status);
    if (status.isFatal()) {
      nQoMDBG100::tStatus2 dropped;
      handBack(dropped);
      return;
    }
  }
  if (status.isNotFatal()) _state = kPlainReserved;
}

void tBaseAO_DACSupervisor::releaseResource(nQoMDBG100::tStatus2& status) {
  if (nQoUdP100::tBaseAO_DACPrimitive* dac = getPrimitive()) {
    nQoMDBG100::tStatus2 local;
    dac->unreserve(local);
    status.assign(local);
  }
  handBack(status);
  _state = kPlainLinked;
}

void tBaseAO_DACSupervisor::control(uint32_t code, nQoMRL100::iControlParameterBlock*,
                                    nQoMRL100::iControlParameterBlock*,
                                    nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  nQoUdP100::tBaseAO_DACPrimitive* dac = getPrimitive();
  if (dac == nullptr) {
    setCode(status, kNullPointer, {kFile, 248});
    return;
  }
  if (code == 1) {
    dac->commit(status);
    if (status.isNotFatal()) _state = kPlainCommitted;
  } else if (code == 4) {
    dac->uncommit(status);
    _state = kPlainResourcesLinked;
  } else {
    setCode(status, kNotSupported, {kFile, 286});
  }
}

void tBaseAO_DACSupervisor::commitCancel(nQoMDBG100::tStatus2& status) {
  if (_state <= kPlainResourcesLinked) return;
  if (nQoUdP100::tBaseAO_DACPrimitive* dac = getPrimitive()) {
    nQoMDBG100::tStatus2 local;
    dac->uncommit(local);
    status.assign(local);
  }
  _state = kPlainResourcesLinked;
}

uint32_t tBaseAO_DACSupervisor::write(uint32_t count, uint32_t, const void* buffer, const void*,
                                      nQoMDBG100::tStatus2& status) {
  const auto* source = static_cast<const int16_t*>(buffer);
  if (status.isFatal()) return 0;
  nQoUdP100::tBaseAO_DACPrimitive* dac = getPrimitive();
  if (dac == nullptr) {
    setCode(status, kNullPointer, {kFile, 390});
    return 0;
  }
  if (count != 1) return dac->writeValues(source, count, status);
  dac->writeValue(source, status);
  return 1;
}

void tBaseAOGroundRefSupervisor::initialize(const nQoMRL100::iPrimitiveSettings& settings,
                                            nQoMRL100::iRuntimeFacade* facade,
                                            nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  keepFacade(facade);
  deploy(settings, status);
  if (status.isNotFatal()) _state = kPlainInitialized;
}

void tBaseAOGroundRefSupervisor::deploy(const nQoMRL100::iPrimitiveSettings& settings,
                                        nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  const tAOGroundRefSettings* own = castSettings(settings, status);
  if (own == nullptr) return;
  _identifier = own->record<0>().identifier;
  _settings = *own;
  checkCopy(status, {kFile, 125}, _identifier, _settings);
}

void tBaseAOGroundRefSupervisor::reserveResource(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  reservePrimitive(status);
  if (status.isNotFatal()) _state = kPlainReserved;
}

void tBaseAOGroundRefSupervisor::releaseResource(nQoMDBG100::tStatus2& status) {
  handBack(status);
  _state = kPlainLinked;
}

void tBaseAOGroundRefSupervisor::control(uint32_t code, nQoMRL100::iControlParameterBlock*,
                                         nQoMRL100::iControlParameterBlock* out,
                                         nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  nQoUdP100::tBaseAOGroundRefPrimitive* groundRef = getPrimitive();
  switch (code) {
    case 1: _state = kPlainCommitted; return;
    case 4: _state = kPlainResourcesLinked; return;
    case kConnect:
    case kDisconnect:
      if (skip()) return;
      if (groundRef == nullptr) {
        setCode(status, kNullPointer, {kFile, code == kConnect ? 276u : 299u});
        return;
      }
      if (code == kConnect)
        groundRef->enable(status);
      else
        groundRef->disable(status);
      return;
    case kIsConnected: reportConnected(out, status); return;
    default: setCode(status, kNotSupported, {kFile, 337});
  }
}

void tBaseAOGroundRefSupervisor::reportConnected(nQoMRL100::iControlParameterBlock* out,
                                                 nQoMDBG100::tStatus2& status) {
  tParameterBlockValidateHelper::checkNotNull(out, status);
  if (status.isFatal()) return;
  nQoUdP100::tBaseAOGroundRefPrimitive* groundRef = getPrimitive();
  if (!skip() && groundRef == nullptr) {
    setCode(status, kNullPointer, {kFile, 318});
    return;
  }
  answer(out, skip() ? 0 : groundRef->isEnabled(), status);
}

void tBaseAOGroundRefSupervisor::commitCancel(nQoMDBG100::tStatus2&) {
  if (_state > kPlainResourcesLinked) _state = kPlainResourcesLinked;
}

}  // namespace nQoUdR100
