#include "supervisors/calibration/tTavikLineFilterSupervisor.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "mrl/iResourceBroker.h"
#include "settings/copyCheck.h"
#include "supervisors/calibration/tTavikLineFilterResourcePool.h"

namespace nQoUdR100 {

namespace {

using nQoMDBG100::tStatus2;
using nQoUdP100::tTavikLineFilterPrimitive;
using tPool = tTavikLineFilterResourcePool<tTavikLineFilterPrimitive*>;
using tRequest = tTavikLineFilterIdentifier;

// Start and stop only move the word.
constexpr tPlainStep<tTavikLineFilterPrimitive> kSteps[] = {
    {kPlainCommit, &tTavikLineFilterPrimitive::commit, kPlainCommitted},
    {kPlainStart, nullptr, kPlainRunning},
    {kPlainStop, nullptr, kPlainCommitted},
    {kPlainUncommit, &tTavikLineFilterPrimitive::uncommit, kPlainResourcesLinked}};

// Calls visit(group, line) for every line, the PFI lines first.
template <class Visit>
void forEachLine(Visit visit) {
  for (const uint32_t group : {tRequest::kPFI, tRequest::kRIVO}) {
    const uint32_t lines = group == tRequest::kPFI ? tRequest::kPFILines : tRequest::kRIVOLines;
    for (uint32_t line = 0; line < lines; ++line) visit(group, line);
  }
}

void copyRequest(const tRequest& from, tRequest& to) {
  to.setDeviceGUID(from.getDeviceGUID());
  forEachLine([&](uint32_t group, uint32_t line) {
    to.setSetting(group, line, from.getSetting(group, line));
  });
}

}  // namespace

void tTavikLineFilterSupervisor::initialize(const nQoMRL100::iPrimitiveSettings& settings,
                                            nQoMRL100::iRuntimeFacade* facade, tStatus2& status) {
  if (status.isFatal()) return;
  if (_state != kPlainConstructed) {
    setCode(status, kRefused, {kFile, 65});
    return;
  }
  tPlainSupervisor::initialize(settings, facade, status);
}

void tTavikLineFilterSupervisor::deploy(const nQoMRL100::iPrimitiveSettings& settings,
                                        tStatus2& status) {
  if (status.isFatal()) return;
  tTavikLineFilterSettings& deployed = _settings.deploying();
  copyFrom(deployed, &settings, status);
  const auto* given = static_cast<const tTavikLineFilterSettings*>(
      settings.___CPPKRLDynamicCast(&tTavikLineFilterSettings::___classID));
  if (given == nullptr) return;  // nothing copied
  // Once copied, the request is rebuilt even when the copy lost an entry, so
  // that no line of an earlier deploy stays in it; the lines are then left
  // without preference.
  _identifier = deployed.supervisorRecord().identifier;
  checkCopy(status, {kFile, 125}, _identifier);
  _identifier.setSubIdentifier(&_request);
  forEachLine([&](uint32_t group, uint32_t line) {
    _request.setSetting(group, line, tRequest::kNoPreference);
  });
  // The list assignment does not carry the flag: a list that lost an entry
  // on either side would silently drop that line from the request.
  if (given->supervisorRecord().lineEntries.allocationFailed() ||
      deployed.supervisorRecord().lineEntries.allocationFailed())
    setCode(status, kOutOfMemory, {"tTavikLineFilterSettings", 161});
  deployed.supervisorRecord().lineEntries.forEach([&](const tLineFilterEntry& entry) {
    if (status.isFatal()) return;
    if (entry.lineGroup != tRequest::kPFI && entry.lineGroup != tRequest::kRIVO) return;
    if (!_request.setSetting(entry.lineGroup, entry.line, entry.filterSetting))
      setCode(status, kRefused, {kFile, 212});
  });
  if (status.isNotFatal()) _request.setDeviceGUID(_identifier.getDeviceGUID());
}

void tTavikLineFilterSupervisor::reserveResource(tStatus2& status) {
  if (status.isFatal()) return;
  nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(status);
  if (broker == nullptr || status.isFatal()) return;
  nQoMRL100::iLeafResourcePool* answer = broker->reserve(&_identifier, _facade, status);
  if (answer == nullptr) return;
  copyRequest(_request, _grantedRequest);
  _grantedIdentifier = _identifier;
  _grantedIdentifier.setSubIdentifier(&_grantedRequest);
  if (_grantedIdentifier.allocationFailed()) {
    // A grant that cannot be named for its release is handed back at once.
    setCode(status, kOutOfMemory, {kFile, 250});
    tStatus2 dropped;
    broker->release(&_identifier, _facade, dropped);
    return;
  }
  _granted = true;
  auto* pool = static_cast<tPool*>(answer->___CPPKRLDynamicCast(&tPool::___classID));
  if (pool == nullptr) {
    setCode(status, kCastFailed, {kFile, 245});
    tStatus2 dropped;
    releaseResource(dropped);
    return;
  }
  // The lines go to the primitive before it goes into the slot, where a
  // commit from another thread reaches it.
  tTavikLineFilterPrimitive* const primitive = pool->getResource();
  if (primitive != nullptr) applyLineFilters(*primitive, status);
  hold(primitive);
  if (status.isNotFatal()) _state = kPlainReserved;
}

// Lines without a preference are left as other tasks set them.
void tTavikLineFilterSupervisor::applyLineFilters(tTavikLineFilterPrimitive& primitive,
                                                  tStatus2& status) {
  forEachLine([&](uint32_t group, uint32_t line) {
    const uint32_t setting = _request.getSetting(group, line);
    if (setting != tRequest::kNoPreference)
      primitive.setLineFilter(line, setting, static_cast<int32_t>(group), status);
  });
}

void tTavikLineFilterSupervisor::releaseResource(tStatus2& status) {
  takeOut([&](tTavikLineFilterPrimitive*) {
    if (_granted) handBack(&_grantedIdentifier, _facade, status);
    _granted = false;
  });
  noteReleased();
}

void tTavikLineFilterSupervisor::onControl(tTavikLineFilterPrimitive* primitive, uint32_t code,
                                           nQoMRL100::iControlParameterBlock*,
                                           nQoMRL100::iControlParameterBlock*, tStatus2& status) {
  if (!runStep(kSteps, primitive, code, status, 272)) setCode(status, kNotSupported, {kFile, 302});
}

}  // namespace nQoUdR100
