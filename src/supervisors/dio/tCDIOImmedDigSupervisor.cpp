#include "supervisors/dio/tCDIOImmedDigSupervisor.h"

#include <cstring>

#include "frame/statusCodes.h"
#include "frame/tClassRegistration.h"
#include "frame/tStatusSite.h"
#include "mrl/iResourceBroker.h"
#include "mrl/tGeneralIdentifier.h"
#include "reservation/castAnswer.h"
#include "reservation/tInfiniteResourcePool.h"

namespace nQoUdR100 {

namespace {

constexpr const char kFile[] = "tCDIOImmedDigSupervisor";
using tRedirectorPool = tInfiniteResourcePool<nQoUdP100::iImmedDigWriteRedirector*>;

constexpr uint32_t kCommit = 1;
constexpr uint32_t kUncommit = 4;
constexpr uint32_t kModeLinesOff = 256;
constexpr uint32_t kModeLinesOn = 257;
constexpr uint32_t kCommitted = 3;

// The modes in which commit writes the lines: 1 through the base primitive,
// 7 through the redirector; 6 is the one mode the other lines keep.
constexpr uint32_t kWriteMode = 1;
constexpr uint32_t kRedirectedMode = 7;
constexpr uint32_t kKeptMode = 6;

nQoMRL100::tGeneralIdentifier redirectorIdentifier(const nQoORB100::tGUID& device,
                                                   nQoMDBG100::tStatus2& status) {
  nQoMRL100::tGeneralIdentifier identifier;
  identifier.setDeviceGUID(device);
  identifier.setString(tCDIOImmedDigSupervisor::kRedirectorName, status);
  identifier.setIndex(0);
  return identifier;
}

}  // namespace

void* tCDIOImmedDigSupervisor::___CPPKRLDynamicCast(void* const* classID) {
  if (classID == &___classID) return this;
  return ___CPPKRLCast(classID);
}
const void* tCDIOImmedDigSupervisor::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tCDIOImmedDigSupervisor*>(this)->___CPPKRLDynamicCast(classID);
}
nQoORB100::tClass tCDIOImmedDigSupervisor::getClass(int& status) const {
  return tClassRegistration<tCDIOImmedDigSupervisor>::getClass(*this, status);
}

// Gone while still holding the lines or the redirector: the release first,
// on a status of its own that is dropped.
tCDIOImmedDigSupervisor::~tCDIOImmedDigSupervisor() {
  nQoMDBG100::tStatus2 dropped;
  if (primitive != nullptr || _redirector != nullptr)
    tCDIOImmedDigSupervisor::releaseResource(dropped);
}

void tCDIOImmedDigSupervisor::reserveResource(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  _reached.setAfter(
      [&] {
        reserve(status);
        reserveRedirector(status);
        _reserved = {primitive, _redirector};
      },
      &_reserved);
}

void tCDIOImmedDigSupervisor::releaseResource(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  _reached.set(nullptr);
  releaseRedirector(status);
  release(status);
}

// A refused request changes nothing; a pool of another class (-89000) or
// without a redirector (-88708) is handed back at once.
void tCDIOImmedDigSupervisor::reserveRedirector(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(status);
  if (broker == nullptr || status.isFatal()) return;
  const nQoMRL100::tGeneralIdentifier identifier = redirectorIdentifier(deviceGUID, status);
  nQoMRL100::iLeafResourcePool* answer = broker->reserve(&identifier, facade, status);
  if (answer == nullptr || status.isFatal()) return;
  auto* pool = nQoMRTB100::castAnswer<tRedirectorPool>(answer, status, {kFile, 143});
  nQoUdP100::iImmedDigWriteRedirector* redirector = pool != nullptr ? pool->getResource() : nullptr;
  if (redirector == nullptr) {
    setCode(status, kDeviceGone, {kFile, 130});
    nQoMDBG100::tStatus2 local;
    broker->release(&identifier, facade, local);
    return;
  }
  _redirector = redirector;
  _redirectorDevice = deviceGUID;
  _redirector->setRedirectTarget(primitive);
}

// The redirector goes back under the device it was reserved for.
void tCDIOImmedDigSupervisor::releaseRedirector(nQoMDBG100::tStatus2& status) {
  if (status.isFatal() || _redirector == nullptr) return;
  nQoMDBG100::tStatus2 local;
  nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(local);
  status.assign(local);
  if (broker != nullptr) {
    local.clear();
    const nQoMRL100::tGeneralIdentifier identifier = redirectorIdentifier(_redirectorDevice, local);
    broker->release(&identifier, facade, local);
    status.assign(local);
  }
  _redirector = nullptr;
}

void tCDIOImmedDigSupervisor::control(uint32_t code, nQoMRL100::iControlParameterBlock* in,
                                      nQoMRL100::iControlParameterBlock* out,
                                      nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  _reached.use([&](const tReserved* held) {
    const tReserved reserved = held != nullptr ? *held : tReserved{};
    switch (code) {
      case kCommit: commit(reserved, status); return;
      case kUncommit: return;
      case kModeLinesOff: setModeLines(false, reserved.redirector, in, status); return;
      case kModeLinesOn: setModeLines(true, reserved.redirector, in, status); return;
      default: tImmedDigSup::control(code, in, out, status);
    }
  });
}

// The lines outside the mode programming go to mode 0 (or keep mode 6);
// modes 1 and 7 write the line values (presets applied) and then program the
// mode lines.
void tCDIOImmedDigSupervisor::commit(const tReserved& reserved, nQoMDBG100::tStatus2& status) {
  if (words.skip != 0) {
    state = kCommitted;
    return;
  }
  nQoCDP100::iImmedDigPrim* const lines = reserved.lines;
  nQoUdP100::iImmedDigWriteRedirector* const redirector = reserved.redirector;
  if (lines == nullptr || redirector == nullptr) {
    setCode(status, kRefused, {kFile, 222});
    return;
  }
  const uint32_t mode = words.mode;
  redirector->setLineMode(words.lineMask & ~words.modeSetLines,
                          static_cast<int32_t>(mode == kKeptMode ? kKeptMode : 0), status);
  const bool writes = mode == kRedirectedMode || mode == kWriteMode;
  if (writes && words.writeMask != 0) {
    uint32_t value = 0;
    lines->readLines(words.lineMask, &value, status);
    if (words.presetMask != 0)
      value = (value & ~words.presetMask) | (words.presetMask & words.presetValues);
    if (mode == kRedirectedMode)
      redirector->writeLines(words.lineMask, value, status);
    else
      lines->writeLines(words.writeMask & words.lineMask, value, status);
  }
  if (writes) redirector->setLineMode(words.modeSetLines, static_cast<int32_t>(mode), status);
  if (status.isNotFatal()) state = kCommitted;
}

void tCDIOImmedDigSupervisor::setModeLines(bool on, nQoUdP100::iImmedDigWriteRedirector* redirector,
                                           nQoMRL100::iControlParameterBlock* in,
                                           nQoMDBG100::tStatus2& status) {
  if (in == nullptr || redirector == nullptr) {
    setCode(status, kNullPointer, {kFile, on ? 352u : 316u});
    return;
  }
  if (in->getSize() < sizeof(uint32_t) || in->getData() == nullptr) {
    setCode(status, kRefused, {kFile, on ? 358u : 322u});
    return;
  }
  uint32_t mask = 0;
  std::memcpy(&mask, in->getData(), sizeof mask);
  const uint32_t lines = mask & words.lineMask;
  if (on)
    words.modeSetLines |= lines;
  else
    words.modeSetLines &= words.lineMask & ~mask;
  redirector->setLineMode(lines, on ? static_cast<int32_t>(words.mode) : 0, status);
}

}  // namespace nQoUdR100
