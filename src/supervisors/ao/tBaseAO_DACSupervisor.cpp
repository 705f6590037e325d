#include "supervisors/ao/tBaseAO_DACSupervisor.h"

namespace nQoUdR100 {

namespace {

using nQoUdP100::tBaseAO_DACPrimitive;

constexpr tPlainStep<tBaseAO_DACPrimitive> kSteps[] = {
    {kPlainCommit, &tBaseAO_DACPrimitive::commit, kPlainCommitted},
    {kPlainUncommit, &tBaseAO_DACPrimitive::uncommit, kPlainResourcesLinked, true}};

}  // namespace

void tBaseAO_DACSupervisor::applySettings(nQoMDBG100::tStatus2& status) {
  nQoUdP100::tBaseAO_DACPrimitive* dac = getPrimitive();
  if (dac == nullptr || status.isFatal()) return;
  const tAO_DACFields& words = _settings.deploying().record<0>();
  dac->deploy({.updateMode = static_cast<uint32_t>(words.word2),
               .configBit7 = static_cast<uint32_t>(words.word3),
               .spareField = static_cast<uint32_t>(words.word4),
               .configSelectA = static_cast<uint32_t>(words.word5),
               .configSelectB = static_cast<uint32_t>(words.word6),
               .waitForSerialUpdate = words.word7});
}

// The DAC goes into the slot, where writes and codes from other threads
// reach it, only once it has its settings and is reserved.
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
    hold(dac);
  }
  if (status.isNotFatal()) _state = kPlainReserved;
}

// The writes under way leave the DAC before a commit the codes left is
// undone and it is unreserved.
void tBaseAO_DACSupervisor::releaseResource(nQoMDBG100::tStatus2& status) {
  handBack(status, [&](nQoUdP100::tBaseAO_DACPrimitive* dac) {
    if (dac == nullptr) return;
    nQoMDBG100::tStatus2 local;
    if (dac->state().isCommitted()) dac->uncommit(local);
    status.assign(local);
    local.clear();
    dac->unreserve(local);
    status.assign(local);
  });
  noteReleased();
}

void tBaseAO_DACSupervisor::onControl(nQoUdP100::tBaseAO_DACPrimitive* dac, uint32_t code,
                                      nQoMRL100::iControlParameterBlock*,
                                      nQoMRL100::iControlParameterBlock*,
                                      nQoMDBG100::tStatus2& status) {
  if (!runStep(kSteps, dac, code, status, 248)) setCode(status, kNotSupported, {kFile, 286});
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
  return use([&](nQoUdP100::tBaseAO_DACPrimitive* dac) -> uint32_t {
    if (dac == nullptr) {
      setCode(status, kNullPointer, {kFile, 390});
      return 0;
    }
    if (count != 1) return dac->writeValues(source, count, status);
    dac->writeValue(source, status);
    return 1;
  });
}

void tBaseAOGroundRefSupervisor::releaseResource(nQoMDBG100::tStatus2& status) {
  handBack(status, [&](nQoUdP100::tBaseAOGroundRefPrimitive* groundRef) {
    if (groundRef == nullptr || !_connected.exchange(false)) return;
    nQoMDBG100::tStatus2 local;
    groundRef->disable(local);
    status.assign(local);
  });
  noteReleased();
}

void tBaseAOGroundRefSupervisor::onControl(nQoUdP100::tBaseAOGroundRefPrimitive* groundRef,
                                           uint32_t code, nQoMRL100::iControlParameterBlock*,
                                           nQoMRL100::iControlParameterBlock* out,
                                           nQoMDBG100::tStatus2& status) {
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
      if (code == kConnect) {
        _connected = true;
        groundRef->enable(status);
      } else {
        groundRef->disable(status);
        if (status.isNotFatal()) _connected = false;
      }
      return;
    case kIsConnected: reportConnected(groundRef, out, status); return;
    default: setCode(status, kNotSupported, {kFile, 337});
  }
}

void tBaseAOGroundRefSupervisor::reportConnected(nQoUdP100::tBaseAOGroundRefPrimitive* groundRef,
                                                 nQoMRL100::iControlParameterBlock* out,
                                                 nQoMDBG100::tStatus2& status) {
  tParameterBlockValidateHelper::checkNotNull(out, status);
  if (status.isFatal()) return;
  // Read once: the answer goes by the flag that the check of the primitive saw.
  const bool skipping = skip();
  if (!skipping && groundRef == nullptr) {
    setCode(status, kNullPointer, {kFile, 318});
    return;
  }
  answer(out, skipping ? 0 : groundRef->isEnabled(), status);
}

}  // namespace nQoUdR100
