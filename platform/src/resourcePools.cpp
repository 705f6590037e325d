// The platform's pool and strategy classes, the identities of its pool
// classes and of the runtime interfaces that linkers cast to.
#include "mrl/iDMAChannelSupervisor.h"
#include "mrl/iDMATransferSupervisor.h"
#include "mrl/iEvent.h"
#include "mrl/iInterruptTransferSupervisor.h"
#include "mrl/iLeafResourcePool.h"
#include "mrl/iSchedulerActionSupervisor.h"
#include "mrl/tDigMaskedReservationStrategy.h"
#include "mrl/tExclusiveReservationStrategy.h"
#include "mrl/tImmedDigResource.h"
#include "mrl/tPlatformPoolIdentity.h"
#include "mrl/tTESKMaskedIdentifier.h"
#include "msrl/iInterruptTransfer.h"
#include "orb/castToClass.h"

namespace {
constexpr const char kComponent[] = "qomrl";
}

namespace nQoMRL100 {

void* iLeafResourcePool::___classID = nullptr;

void* iLeafResourcePool::___CPPKRLDynamicCast(void* const* classID) {
  return classID == &___classID ? this : nullptr;
}
const void* iLeafResourcePool::___CPPKRLDynamicCast(void* const* classID) const {
  return classID == &___classID ? this : nullptr;
}

uint32_t tExclusiveReservationStrategy::reserve(const iResourceIdentifier*,
                                                nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return 0;
  if (_state.exchange(1) != 0) {
    status.setCode(-50103, kComponent, "tExclusiveReservationStrategy", 40);
    return 0;
  }
  return 1;
}

void tExclusiveReservationStrategy::release(const iResourceIdentifier*, nQoMDBG100::tStatus2&) {
  _state.set(0);
}

template <>
void* tPlatformPoolIdentity<
    nQoCDR120::tDigSingularResourcePool<nQoCDP100::iTESK_HWTimingController*>>::___classID =
    nullptr;
template <>
void* tPlatformPoolIdentity<
    nQoCDR120::tDigSingularResourcePool<nQoCDP100::iTESK_SWTimingController*>>::___classID =
    nullptr;
template <>
void* tPlatformPoolIdentity<
    nQoCDR120::tDigSingularResourcePool<nQoCDP100::iTESKCommRoutingPrim*>>::___classID = nullptr;
template <>
void* tPlatformPoolIdentity<nQoSDR000::tGenericResourcePool<
    nQoSDR000::tProgPowerupReservationStrategy, nQoSDR000::iProgPowerupPrim>>::___classID = nullptr;

}  // namespace nQoMRL100

namespace nQoMRL110 {
void* iEvent::___classID = nullptr;
}

namespace nQoLMSDR100 {
void* iDMAChannelSupervisor::___classID = nullptr;
void* iDMATransferSupervisor::___classID = nullptr;
void* iInterruptTransferSupervisor::___classID = nullptr;
}  // namespace nQoLMSDR100

namespace nQoMSRL100 {
void* iInputInterruptTransfer::___classID = nullptr;
void* iOutputInterruptTransfer::___classID = nullptr;
}  // namespace nQoMSRL100

namespace nQoMAS100 {
void* iSchedulerActionSupervisor::___classID = nullptr;
}

namespace nQoCDR110 {

namespace {
const nQoCDR100::tTESKMaskedIdentifier* maskedLines(
    const nQoMRL100::iResourceIdentifier* identifier) {
  if (identifier == nullptr) return nullptr;
  return static_cast<const nQoCDR100::tTESKMaskedIdentifier*>(
      identifier->___CPPKRLDynamicCast(&nQoCDR100::tTESKMaskedIdentifier::___classID));
}
}  // namespace

uint32_t tDigMaskedReservationStrategy::reserve(const nQoMRL100::iResourceIdentifier* identifier,
                                                nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return 0;
  const nQoCDR100::tTESKMaskedIdentifier* lines = maskedLines(identifier);
  if (lines == nullptr) {
    status.setCode(-89000, kComponent, "tDigMaskedReservationStrategy", 30);
    return 0;
  }
  if ((_taken[0] & lines->getLines(0)) != 0 || (_taken[1] & lines->getLines(1)) != 0) {
    status.setCode(-50103, kComponent, "tDigMaskedReservationStrategy", 34);
    return 0;
  }
  _taken[0] |= lines->getLines(0);
  _taken[1] |= lines->getLines(1);
  return 1;
}

void tDigMaskedReservationStrategy::release(const nQoMRL100::iResourceIdentifier* identifier,
                                            nQoMDBG100::tStatus2&) {
  const nQoCDR100::tTESKMaskedIdentifier* lines = maskedLines(identifier);
  if (lines == nullptr) return;
  _taken[0] &= ~lines->getLines(0);
  _taken[1] &= ~lines->getLines(1);
}

void* tImmedDigResource::___classID = nullptr;

void* tImmedDigResource::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tImmedDigResource, nQoMRL100::iLeafResourcePool>(this, classID);
}
const void* tImmedDigResource::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tImmedDigResource*>(this)->___CPPKRLDynamicCast(classID);
}

bool tImmedDigResource::isPartiallyReserved(nQoMDBG100::tStatus2&) const {
  return _strategy.getState() != 0;
}

uint32_t tImmedDigResource::reserve(const nQoMRL100::iResourceIdentifier* identifier,
                                    nQoMDBG100::tStatus2& status) {
  return _strategy.reserve(identifier, status);
}

void tImmedDigResource::release(const nQoMRL100::iResourceIdentifier* identifier,
                                nQoMDBG100::tStatus2& status) {
  _strategy.release(identifier, status);
}

}  // namespace nQoCDR110
