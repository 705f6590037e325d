#include "supervisors/dio/tavikDigSupervisors.h"

#include "frame/statusCodes.h"
#include "frame/tClassRegistration.h"
#include "frame/tStatusSite.h"
#include "orb/castToClass.h"

namespace nQoUdR100 {

namespace {

constexpr const char kFixedFile[] = "tTavikFixedDirectionDigSupervisor";

constexpr uint32_t k37PinInputs[] = {0, 1, 2, 3, 4, 5};
constexpr uint32_t k37PinOutputs[] = {6, 7, 8, 9};

}  // namespace

void* tTavikPFIDigSupervisor::___CPPKRLDynamicCast(void* const* classID) {
  if (classID == &___classID) return this;
  return ___CPPKRLCast(classID);
}
const void* tTavikPFIDigSupervisor::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tTavikPFIDigSupervisor*>(this)->___CPPKRLDynamicCast(classID);
}
nQoORB100::tClass tTavikPFIDigSupervisor::getClass(int& status) const {
  return tClassRegistration<tTavikPFIDigSupervisor>::getClass(*this, status);
}

tTavikPFIDigReserver tTavikPFIDigSupervisor::terminalReserver() const {
  const tTerminalTable& table = _tables[direction == 1 ? 1 : 0];
  return tTavikPFIDigReserver(deviceGUID, table.terminals, table.count);
}

// Gone while still holding the lines or their terminals: the release first,
// on a status of its own that is dropped.
tTavikPFIDigSupervisor::~tTavikPFIDigSupervisor() {
  nQoMDBG100::tStatus2 dropped;
  if (primitive != nullptr || _heldTerminals) tTavikPFIDigSupervisor::releaseResource(dropped);
}

void tTavikPFIDigSupervisor::reserveResource(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  reserve(status);
  if (needsTerminals() && status.isNotFatal()) {
    tTavikPFIDigReserver terminals = terminalReserver();
    terminals.reserve(lineMask, status);
    if (status.isNotFatal()) {
      _heldTerminals.emplace(terminals);
      _heldLines = lineMask;
    } else {
      nQoMDBG100::tStatus2 local;
      release(local);
    }
  }
  _reached.set(primitive);
}

// The terminals go as reserve took them, whatever the fields say now.
void tTavikPFIDigSupervisor::releaseResource(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  _reached.set(nullptr);
  nQoMDBG100::tStatus2 local;
  release(local);
  status.assign(local);
  if (!_heldTerminals) return;
  local.clear();
  _heldTerminals->release(_heldLines, local);
  status.assign(local);
  _heldTerminals.reset();
}

void* tTavikFixedDirectionDigSupervisor::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tTavikFixedDirectionDigSupervisor, tTavikPFIDigSupervisor>(this,
                                                                                           classID);
}
const void* tTavikFixedDirectionDigSupervisor::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tTavikFixedDirectionDigSupervisor*>(this)->___CPPKRLDynamicCast(classID);
}
nQoORB100::tClass tTavikFixedDirectionDigSupervisor::getClass(int& status) const {
  return tClassRegistration<tTavikFixedDirectionDigSupervisor>::getClass(*this, status);
}

void tTavikFixedDirectionDigSupervisor::control(uint32_t code, nQoMRL100::iControlParameterBlock*,
                                                nQoMRL100::iControlParameterBlock*,
                                                nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  switch (code) {
    case 1: break;
    case 256: setCode(status, kNotSupported, {kFixedFile, 90}); return;
    case 257: setCode(status, kNotSupported, {kFixedFile, 96}); return;
    default: setCode(status, kNotSupported, {kFixedFile, 102}); return;
  }
  _reached.use([&](nQoCDP100::iImmedDigPrim* lines) {
    if (lines == nullptr) {
      setCode(status, kNullDestination, {kFixedFile, 64});
      return;
    }
    if (direction == 1)
      lines->setLineMode(outputLineMask, 1, status);
    else
      lines->setLineMode(lineMask & ~outputLineMask, 0, status);
    if (status.isNotFatal()) state = 3;
  });
}

tTavik37PinDigSupervisor::tTavik37PinDigSupervisor() {
  setTables({k37PinInputs, 6}, {k37PinOutputs, 4});
}

void* tTavik37PinDigSupervisor::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tTavik37PinDigSupervisor, tTavikFixedDirectionDigSupervisor>(
      this, classID);
}
const void* tTavik37PinDigSupervisor::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tTavik37PinDigSupervisor*>(this)->___CPPKRLDynamicCast(classID);
}
nQoORB100::tClass tTavik37PinDigSupervisor::getClass(int& status) const {
  return tClassRegistration<tTavik37PinDigSupervisor>::getClass(*this, status);
}

}  // namespace nQoUdR100
