#include "supervisors/tTavikLineFilterSupervisor.h"

#include "frame/statusCodes.h"
#include "frame/tClassRegistration.h"
#include "frame/tStatusSite.h"
#include "mrl/iResourceBroker.h"
#include "orb/castToClass.h"
#include "reservation/tTavikLineFilterResourcePool.h"
#include "settings/copyCheck.h"
#include "supervisors/ownStateWord.h"

namespace nQoUdR100 {

namespace {

using nQoMDBG100::tStatus2;
using nQoUdP100::tTavikLineFilterPrimitive;
using tPool = tTavikLineFilterResourcePool<tTavikLineFilterPrimitive*>;
using tRequest = tTavikLineFilterIdentifier;

constexpr const char kFile[] = "tTavikLineFilterSupervisor";

void copyRequest(const tRequest& from, tRequest& to) {
  to.setDeviceGUID(from.getDeviceGUID());
  for (uint32_t line = 0; line < tRequest::kPFILines; ++line)
    to.setSetting(tRequest::kPFI, line, from.getSetting(tRequest::kPFI, line));
  for (uint32_t line = 0; line < tRequest::kRIVOLines; ++line)
    to.setSetting(tRequest::kRIVO, line, from.getSetting(tRequest::kRIVO, line));
}

}  // namespace

void* tTavikLineFilterSupervisor::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tTavikLineFilterSupervisor, nQoMRL100::iPrimitiveSupervisor>(
      this, classID);
}
const void* tTavikLineFilterSupervisor::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tTavikLineFilterSupervisor*>(this)->___CPPKRLDynamicCast(classID);
}
nQoORB100::tClass tTavikLineFilterSupervisor::getClass(int& status) const {
  return tClassRegistration<tTavikLineFilterSupervisor>::getClass(*this, status);
}

void tTavikLineFilterSupervisor::initialize(const nQoMRL100::iPrimitiveSettings& settings,
                                            nQoMRL100::iRuntimeFacade* facade, tStatus2& status) {
  if (status.isFatal()) return;
  if (_state != kConstructed) {
    setCode(status, kRefused, {kFile, 65});
    return;
  }
  _facade = facade;
  deploy(settings, status);
  if (status.isNotFatal()) _state = kInitialized;
}

void tTavikLineFilterSupervisor::deploy(const nQoMRL100::iPrimitiveSettings& settings,
                                        tStatus2& status) {
  if (status.isFatal()) return;
  copyFrom(_settings, &settings, status);
  const auto* given = static_cast<const tTavikLineFilterSettings*>(
      settings.___CPPKRLDynamicCast(&tTavikLineFilterSettings::___classID));
  if (given == nullptr) return;  // nothing copied
  _identifier = _settings.supervisorRecord().identifier;
  checkCopy(status, {kFile, 125}, _identifier);
  if (status.isFatal()) return;
  _identifier.setSubIdentifier(&_request);
  for (uint32_t line = 0; line < tRequest::kPFILines; ++line)
    _request.setSetting(tRequest::kPFI, line, tRequest::kNoPreference);
  for (uint32_t line = 0; line < tRequest::kRIVOLines; ++line)
    _request.setSetting(tRequest::kRIVO, line, tRequest::kNoPreference);
  // The list assignment does not carry the flag: a list that lost an entry
  // on either side would silently drop that line from the request.
  if (given->supervisorRecord().lineEntries.allocationFailed() ||
      _settings.supervisorRecord().lineEntries.allocationFailed())
    setCode(status, kOutOfMemory, {"tTavikLineFilterSettings", 161});
  _settings.supervisorRecord().lineEntries.forEach([&](const tLineFilterEntry& entry) {
    if (status.isFatal()) return;
    if (entry.lineGroup != tRequest::kPFI && entry.lineGroup != tRequest::kRIVO) return;
    if (!_request.setSetting(entry.lineGroup, entry.line, entry.filterSetting))
      setCode(status, kRefused, {kFile, 212});
  });
  if (status.isNotFatal()) _request.setDeviceGUID(_identifier.getDeviceGUID());
}

void tTavikLineFilterSupervisor::link(nQoMRL100::iPrimitiveSupervisorMap&, tStatus2& status) {
  if (status.isNotFatal()) _state = kLinked;
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
  _granted = true;
  auto* pool = static_cast<tPool*>(answer->___CPPKRLDynamicCast(&tPool::___classID));
  if (pool == nullptr) {
    setCode(status, kCastFailed, {kFile, 245});
    tStatus2 dropped;
    releaseResource(dropped);
    return;
  }
  _primitive = pool->getResource();
  applyLineFilters(status);
  if (status.isNotFatal()) _state = kReserved;
}

// Lines without a preference are left as other tasks set them.
void tTavikLineFilterSupervisor::applyLineFilters(tStatus2& status) {
  if (_primitive == nullptr) return;
  for (const uint32_t group : {tRequest::kPFI, tRequest::kRIVO}) {
    const uint32_t lines = group == tRequest::kPFI ? tRequest::kPFILines : tRequest::kRIVOLines;
    for (uint32_t line = 0; line < lines; ++line) {
      const uint32_t setting = _request.getSetting(group, line);
      if (setting != tRequest::kNoPreference)
        _primitive->setLineFilter(line, setting, static_cast<int32_t>(group), status);
    }
  }
}

void tTavikLineFilterSupervisor::linkResource(tStatus2& status) {
  if (status.isNotFatal()) _state = kResourcesLinked;
}
void tTavikLineFilterSupervisor::unlinkResource(tStatus2&) { _state = kReserved; }

void tTavikLineFilterSupervisor::releaseResource(tStatus2& status) {
  _primitive = nullptr;
  if (_granted) handBack(&_grantedIdentifier, _facade, status);
  _granted = false;
  _state = kLinked;
}

void tTavikLineFilterSupervisor::unlink(tStatus2&) { _state = kInitialized; }
void tTavikLineFilterSupervisor::requestCancel(tStatus2&) {}

void tTavikLineFilterSupervisor::control(uint32_t code, nQoMRL100::iControlParameterBlock*,
                                         nQoMRL100::iControlParameterBlock*, tStatus2& status) {
  if (status.isFatal()) return;
  if (_primitive == nullptr) {
    setCode(status, kNullPointer, {kFile, 272});
    return;
  }
  switch (code) {
    case kCommit:
      _primitive->commit(status);
      if (status.isNotFatal()) _state = kCommitted;
      return;
    case kStart: _state = kRunning; return;
    case kStop: _state = kCommitted; return;
    case kUncommit:
      _primitive->uncommit(status);
      if (status.isNotFatal()) _state = kResourcesLinked;
      return;
    default: setCode(status, kNotSupported, {kFile, 302});
  }
}

void tTavikLineFilterSupervisor::commitCancel(tStatus2& status) {
  cancelByState(*this, _state, status);
}

}  // namespace nQoUdR100
