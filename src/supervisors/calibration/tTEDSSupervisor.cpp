#include "supervisors/calibration/tTEDSSupervisor.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mrl/iControlParameterBlock.h"
#include "orb/castToClass.h"
#include "reservation/supervisorEvents.h"
#include "reservation/tSupStateTransition.h"
#include "settings/copyCheck.h"
#include "settings/tParameterBlockValidateHelper.h"
#include "supervisors/blockBytes.h"
#include "supervisors/controlOperations.h"

namespace nQoUdR100 {

namespace {

using nQoMDBG100::tStatus2;
using nQoMRL100::iControlParameterBlock;
using nQoUdP100::iTEDSCommunicator;
using tHelper = tParameterBlockValidateHelper;

constexpr const char kFile[] = "tTEDSSupervisor";
// Commit and uncommit may be undone and run: flags 0 and 5.
constexpr uint32_t kEnabledFlags = 0x21;
constexpr auto kControls = namedControls<iTEDSCommunicator>();
constexpr uint32_t kIDBytes = 8;

// The TEDS requests 410 to 415; false for any other code.
bool tedsRequest(iTEDSCommunicator& teds, uint32_t code, iControlParameterBlock* in,
                 iControlParameterBlock* out, tStatus2& status) {
  if (code < 410 || code > 415) return false;
  const bool needsOut = code != 411 && code != 414;
  tHelper::checkNotNull(in, status);
  if (needsOut) tHelper::checkNotNull(out, status);
  if (status.isFatal()) return true;
  tStatus2 local;
  const uint32_t a = in->readU32(local.code);
  uint32_t n = 0, c = 0;
  if (code == 410 || code == 411) {
    n = in->readU32(local.code);
    c = in->readU32(local.code);
  }
  tHelper::mergeValidationStatus(local, status);
  if (status.isFatal()) return true;
  auto refuse = [&](unsigned line) { setCode(status, kRefused, {kFile, line}); };
  switch (code) {
    case 410:
      if (n > out->getSize()) return refuse(202), true;
      teds.readEEPROM(a, n, c, dataOf(*out), status);
      break;
    case 411:
      if (!fitsBehind(*in, 12, n)) return refuse(223), true;
      teds.writeEEPROM(a, n, c, dataOf(*in) + 12, status);
      break;
    case 412:
      if (out->getSize() < kIDBytes) return refuse(248), true;
      teds.get8ByteIDBlock(a, dataOf(*out), status);
      break;
    case 413:
      if (out->getSize() < kIDBytes) return refuse(269), true;
      teds.read8BytePROM(a, dataOf(*out), status);
      break;
    case 414:
      if (!fitsBehind(*in, 4, kIDBytes)) return refuse(289), true;
      teds.write8BytePROM(a, dataOf(*in) + 4, status);
      break;
    default: {
      const uint32_t written = teds.isPROMWritten(a, status);
      if (status.isFatal()) break;
      local.clear();
      out->writeU32(written, local.code);
      tHelper::mergeValidationStatus(local, status);
    }
  }
  return true;
}

}  // namespace

void* tTEDSSupervisor::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tTEDSSupervisor, nQoMRL100::iPrimitiveSupervisor>(this, classID);
}
const void* tTEDSSupervisor::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tTEDSSupervisor*>(this)->___CPPKRLDynamicCast(classID);
}
nQoORB100::tClass tTEDSSupervisor::getClass(int& status) const {
  return tClassRegistration<tTEDSSupervisor>::getClass(*this, status);
}

void tTEDSSupervisor::initialize(const nQoMRL100::iPrimitiveSettings& settings,
                                 nQoMRL100::iRuntimeFacade* facade, tStatus2& status) {
  if (status.isFatal()) return;
  _tracker.setFlags(1, kEnabledFlags, status);
  nQoMRTB100::tSupStateTransition transition(_tracker, nQoMRTB100::kEventInitialize, status);
  _reserver.setRuntimeFacade(facade);
  deploy(settings, status);
}

void tTEDSSupervisor::deploy(const nQoMRL100::iPrimitiveSettings& settings, tStatus2& status) {
  if (status.isFatal()) return;
  const auto* own =
      static_cast<const tTEDSSettings*>(settings.___CPPKRLDynamicCast(&tTEDSSettings::___classID));
  if (own == nullptr) {
    setCode(status, kCastFailed, {kFile, 120});
    return;
  }
  own->record<1>().checkStatus(status);
  if (status.isFatal()) return;
  _identifier.deploy(own->record<1>().identifier);
  checkCopy(status, {kFile, 125}, _identifier);
}

// Gone while still holding the communicator: the release first, on a status
// of its own that is dropped.
tTEDSSupervisor::~tTEDSSupervisor() {
  tStatus2 dropped;
  if (_reserver.getPrimitive() != nullptr) tTEDSSupervisor::releaseResource(dropped);
}

void tTEDSSupervisor::link(nQoMRL100::iPrimitiveSupervisorMap&, tStatus2& status) {
  if (status.isFatal()) return;
  nQoMRTB100::tSupStateTransition transition(_tracker, nQoMRTB100::kEventLink, status);
}

void tTEDSSupervisor::reserveResource(tStatus2& status) {
  if (status.isFatal()) return;
  nQoMRTB100::tSupStateTransition transition(_tracker, nQoMRTB100::kEventReserveResource, status);
  _reserver.setIdentifier(&_identifier.next());
  _reserver.reserveResource(status);
  _identifier.hold(_reserver.getPrimitive() != nullptr);
  _reached.set(_reserver.getPrimitive());
}

void tTEDSSupervisor::linkResource(tStatus2& status) {
  if (status.isFatal()) return;
  nQoMRTB100::tSupStateTransition transition(_tracker, nQoMRTB100::kEventLinkResource, status);
}

void tTEDSSupervisor::unlinkResource(tStatus2& status) {
  if (status.isFatal()) return;
  nQoMRTB100::tSupStateTransition transition(_tracker, nQoMRTB100::kEventUnlinkResource, status);
}

void tTEDSSupervisor::releaseResource(tStatus2& status) {
  if (status.isFatal()) return;
  nQoMRTB100::tSupStateTransition transition(_tracker, nQoMRTB100::kEventReleaseResource, status);
  if (iTEDSCommunicator* primitive = _reached.get()) {
    // Out of the codes' reach, the communicator is brought down from what
    // they did, on statuses that are dropped.
    _reached.set(nullptr);
    undoRecorded(*primitive);
  }
  _reserver.releaseResource(status);
  _identifier.hold(_reserver.getPrimitive() != nullptr);
}

// The communicator tells no state: the record of the forward codes that
// took is the supervisor's (no lifecycle step moves it). Every step it holds
// is undone, latest first (stop, disarm, uncommit), whatever reverses the
// tracker declares: the communicator goes back as a fresh reservation finds
// it. The record is then empty.
void tTEDSSupervisor::undoRecorded(iTEDSCommunicator& primitive) {
  tStatus2 dropped;
  undoDownTo(primitive, 5, dropped);
  _done.store(0);
}

void tTEDSSupervisor::unlink(tStatus2& status) {
  if (status.isFatal()) return;
  nQoMRTB100::tSupStateTransition transition(_tracker, nQoMRTB100::kEventUnlink, status);
}

// Forward codes run on the caller's status and, on failure, their reverse
// on a fresh status that never replaces the error, whatever reverses the
// tracker declares: a failed step is not recorded, so nothing else would
// undo what it did. A forward code that took is recorded. A reverse code
// undoes only what the record holds: with its forward step recorded, the
// recorded steps after it first (undoDownTo), then its own; without, it
// answers 0 and reaches nothing.
void tTEDSSupervisor::runCommon(iTEDSCommunicator& primitive, int bit, tStatus2& status) {
  if (bit < 3) {
    kControls[bit](primitive, status);
    if (status.isNotFatal()) {
      _done.fetch_or(1u << bit);
      return;
    }
    // The later steps the record holds go first (a failed second commit
    // under a run stops and disarms it before its uncommit).
    undoDownTo(primitive, 4 - bit, status);
    tStatus2 local;
    kControls[5 - bit](primitive, local);
    if (local.isNotFatal()) _done.fetch_and(~(1u << bit));
    status.assign(local);
    return;
  }
  if ((_done.load() & (1u << (5 - bit))) != 0) undoDownTo(primitive, bit, status);
}

// Latest first, each recorded step from the start down to the one that
// reverse undoes, by its reverse (a disarm under a run stops it first, an
// uncommit under an arm disarms first), each on a fresh status merged into
// the caller's. A step leaves the record before its reverse runs, so that
// codes on two threads never undo it twice, and comes back when the reverse
// failed.
void tTEDSSupervisor::undoDownTo(iTEDSCommunicator& primitive, int reverse, tStatus2& status) {
  for (int each = 3; each <= reverse; ++each) {
    const uint32_t step = 1u << (5 - each);
    if ((_done.fetch_and(~step) & step) == 0) continue;
    tStatus2 local;
    kControls[each](primitive, local);
    if (local.isFatal()) _done.fetch_or(step);
    status.assign(local);
  }
}

// From any thread: the communicator as held, inside a use that the release
// waits for.
void tTEDSSupervisor::control(uint32_t code, iControlParameterBlock* in,
                              iControlParameterBlock* out, tStatus2& status) {
  if (status.isFatal()) return;
  _reached.use([&](iTEDSCommunicator* primitive) {
    if (primitive == nullptr) {
      setCode(status, kNullPointer, {kFile, 166});
      return;
    }
    nQoMRTB100::tSupStateTransition transition(_tracker, static_cast<int32_t>(code), status);
    if (status.isFatal()) return;
    const int bit = nQoMRTB100::controlFlagBit(code);
    if (bit >= 0) {
      runCommon(*primitive, bit, status);
      return;
    }
    if (!tedsRequest(*primitive, code, in, out, status))
      setCode(status, kNotSupported, {kFile, 315});
  });
}

void tTEDSSupervisor::requestCancel(tStatus2& status) {
  _reached.call([&](iTEDSCommunicator& primitive) { primitive.cancel(status); });
}

void tTEDSSupervisor::commitCancel(tStatus2& status) { cancelByTracker(*this, _tracker, status); }

}  // namespace nQoUdR100
