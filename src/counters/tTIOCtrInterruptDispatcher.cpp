#include "counters/tTIOCtrInterruptDispatcher.h"

#include "bus/iBusAtomicOperation.h"
#include "frame/statusCodes.h"
#include "registers/registerId.h"

namespace nQoTIO100 {

// Copies the four request words into a snapshot and clears them, excluded
// from the interrupt routine that sets them.
class tTIOCtrInterruptDispatcher::tAtomicPendingSnapshotDispatcher : public iBusAtomicOperation {
 public:
  tAtomicPendingSnapshotDispatcher(uint32_t (&requests)[kKindCount],
                                   uint32_t (&snapshot)[kKindCount])
      : _requests(requests), _snapshot(snapshot) {}

  int32_t operateAtomically() override {
    for (uint32_t kind = 0; kind < kKindCount; ++kind) {
      _snapshot[kind] = _requests[kind];
      _requests[kind] = 0;
    }
    return 0;
  }

 private:
  uint32_t (&_requests)[kKindCount];
  uint32_t (&_snapshot)[kKindCount];
};

tTIOCtrInterruptDispatcher::tTIOCtrInterruptDispatcher(iTIOCtrInterruptTap* owner,
                                                       tTIOCtrHelper* helper)
    : _bus(helper->pair()->space().bus()),
      _owner(owner),
      _pair(helper->pair()),
      _helper(helper),
      _pending{placeOf(0, tTIOCtrHelper::kPrimaryPending),
               placeOf(1, tTIOCtrHelper::kPrimaryPending)},
      _acknowledge{placeOf(0, tTIOCtrHelper::kPrimaryAck), placeOf(1, tTIOCtrHelper::kPrimaryAck)} {
}

tTIOCtrInterruptDispatcher::tPlace tTIOCtrInterruptDispatcher::placeOf(uint32_t counter,
                                                                       uint32_t entry) const {
  const tCtrPair::tId id = _helper->id(counter, entry);
  return {_pair->registerObject(id), nQoUdRLP100::fieldIdentifier(id)};
}

void tTIOCtrInterruptDispatcher::enablePrimary(uint32_t counter, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  _enabled[primary(counter)] = 1;
  writeEntry(counter, tTIOCtrHelper::kPrimaryEnable, 1, status);
}

void tTIOCtrInterruptDispatcher::enableSecondary(uint32_t counter, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  _enabled[secondary(counter)] = 1;
  writeEntry(counter, tTIOCtrHelper::kDMAEnable, 1, status);
  writeEntry(counter, tTIOCtrHelper::kDMASecondEnable, 1, status);
  writeEntry(counter, tTIOCtrHelper::kSecondaryEnable, 0, status);
}

void tTIOCtrInterruptDispatcher::disablePrimary(uint32_t counter, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  writeEntry(counter, tTIOCtrHelper::kPrimaryEnable, 0, status);
  _enabled[primary(counter)] = 0;
  _requests[primary(counter)] = 0;
}

void tTIOCtrInterruptDispatcher::disableSecondary(uint32_t counter, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  writeEntry(counter, tTIOCtrHelper::kDMAEnable, 0, status);
  writeEntry(counter, tTIOCtrHelper::kDMASecondEnable, 0, status);
  writeEntry(counter, tTIOCtrHelper::kSecondaryEnable, 0, status);
  _enabled[secondary(counter)] = 0;
  _requests[secondary(counter)] = 0;
}

void tTIOCtrInterruptDispatcher::writeEntry(uint32_t counter, uint32_t entry, uint32_t value,
                                            nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  const tPlace place = placeOf(counter, entry);
  if (place.target != nullptr)
    place.target->writeField(place.field, value, &status, 0);
  else
    nQoUdR100::setCode(status, nQoUdR100::kBadIndex, ctrPairSite(kNoEntryWriteLine));
}

uint32_t tTIOCtrInterruptDispatcher::readPending(uint32_t counter, nQoMDBG100::tStatus2& status) {
  const tPlace& pending = _pending[counter];
  if (pending.target != nullptr) return pending.target->readField(pending.field, &status);
  nQoUdR100::setCode(status, nQoUdR100::kBadIndex, ctrPairSite(kNoEntryReadLine));
  return 1;
}

void tTIOCtrInterruptDispatcher::acknowledge(uint32_t counter, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  const tPlace& ack = _acknowledge[counter];
  if (ack.target != nullptr)
    ack.target->writeField(ack.field, 1, &status, 0);
  else
    nQoUdR100::setCode(status, nQoUdR100::kBadIndex, ctrPairSite(kNoEntryWriteLine));
}

uint32_t tTIOCtrInterruptDispatcher::callTap(iTIOCtrInterruptTap* tap, tKind kind) {
  const uint32_t answer = tap->handle();
  _requests[kind] = answer == iTIOCtrInterruptTap::kAcknowledgeAndSecondPass ? 1 : 0;
  return answer;
}

uint32_t tTIOCtrInterruptDispatcher::service(uint32_t counter) {
  counter %= 2;
  nQoMDBG100::tStatus2 local;
  iTIOCtrInterruptTap* primaryTap = _primaryTaps[counter];
  // An entry that names no register leaves the pending read unanswered; the
  // tap is then called anyway.
  if (primaryTap != nullptr && _enabled[primary(counter)] != 0 &&
      readPending(counter, local) != 0) {
    const uint32_t answer = callTap(primaryTap, primary(counter));
    if (answer == iTIOCtrInterruptTap::kNothingToAcknowledge) return kNoSecondPass;
    acknowledge(counter, local);
    return answer == iTIOCtrInterruptTap::kAcknowledgeAndSecondPass ? kWantsSecondPass
                                                                    : kNoSecondPass;
  }
  iTIOCtrInterruptTap* secondaryTap = _secondaryTaps[counter];
  if (secondaryTap == nullptr) return kNoSecondPass;
  return callTap(secondaryTap, secondary(counter)) == iTIOCtrInterruptTap::kAcknowledgeAndSecondPass
             ? kWantsSecondPass
             : kNoSecondPass;
}

uint32_t tTIOCtrInterruptDispatcher::resolveSecondaryInterrupts() {
  uint32_t snapshot[kKindCount] = {};
  tAtomicPendingSnapshotDispatcher take(_requests, snapshot);
  _bus->runAtomically(&take, nullptr);
  for (uint32_t kind = 0; kind < kKindCount; ++kind)
    if (snapshot[kind] != 0 && _receivers[kind] != nullptr) _receivers[kind]->handle();
  return kSecondPassDone;
}

}  // namespace nQoTIO100
