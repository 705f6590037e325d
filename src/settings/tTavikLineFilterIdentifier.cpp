#include "settings/tTavikLineFilterIdentifier.h"

#include "frame/statusCodes.h"
#include "frame/tClassRegistration.h"
#include "frame/tStatusSite.h"
#include "orb/castToClass.h"

namespace nQoUdR100 {

void* tTavikLineFilterIdentifier::___classID = nullptr;

tTavikLineFilterIdentifier::tTavikLineFilterIdentifier() {
  for (uint32_t& setting : _settings) setting = kNoPreference;
}

void* tTavikLineFilterIdentifier::___CPPKRLDynamicCast(void* const* classID) {
  return nQoORB100::castToClass<tTavikLineFilterIdentifier, nQoMRL100::iResourceIdentifier>(
      this, classID);
}

const void* tTavikLineFilterIdentifier::___CPPKRLDynamicCast(void* const* classID) const {
  return const_cast<tTavikLineFilterIdentifier*>(this)->___CPPKRLDynamicCast(classID);
}

nQoORB100::tClass tTavikLineFilterIdentifier::getClass(int& status) const {
  return tClassRegistration<tTavikLineFilterIdentifier>::getClass(*this, status);
}

nQoORB100::tObject* tTavikLineFilterIdentifier::clone(int& status) const {
  if (status < 0) return nullptr;
  const nQoORB100::tClass objectClass = getClass(status);
  nQoORB100::tObject* instance = objectClass.newInstance(status);
  auto* copy =
      instance == nullptr
          ? nullptr
          : static_cast<tTavikLineFilterIdentifier*>(instance->___CPPKRLDynamicCast(&___classID));
  if (copy == nullptr) {
    mergeCode(status, kCastFailed);
    int local = 0;
    objectClass.deleteInstance(instance, local);
    return nullptr;
  }
  copy->_deviceGUID = _deviceGUID;
  for (uint32_t i = 0; i < kLines; ++i) copy->_settings[i] = _settings[i];
  return copy;
}

uint64_t tTavikLineFilterIdentifier::hash() const {
  uint64_t value = 0;
  for (uint32_t setting : _settings)
    value ^= static_cast<uint64_t>(static_cast<int64_t>(static_cast<int32_t>(setting)));
  return value;
}

bool tTavikLineFilterIdentifier::isEqual(const nQoMRL100::iResourceIdentifier& other) const {
  const auto* same =
      static_cast<const tTavikLineFilterIdentifier*>(other.___CPPKRLDynamicCast(&___classID));
  if (same == nullptr || !(same->_deviceGUID == _deviceGUID)) return false;
  for (uint32_t i = 0; i < kLines; ++i)
    if (same->_settings[i] != _settings[i]) return false;
  return true;
}

void tTavikLineFilterIdentifier::writeExternal(nQoORB100::iExternalOutputStream& stream,
                                               int& status) const {
  if (status < 0) return;
  _deviceGUID.writeExternal(stream, status);
  for (uint32_t setting : _settings) stream.writeU32(setting, status);
}

void tTavikLineFilterIdentifier::readExternal(nQoORB100::iExternalInputStream& stream,
                                              int& status) {
  if (status < 0) return;
  nQoORB100::tGUID guid;
  uint32_t settings[kLines];
  guid.readExternal(stream, status);
  for (uint32_t& setting : settings) setting = stream.readU32(status);
  if (status < 0) return;
  _deviceGUID = guid;
  for (uint32_t i = 0; i < kLines; ++i) _settings[i] = settings[i];
}

uint32_t tTavikLineFilterIdentifier::getSetting(uint32_t group, uint32_t line) const {
  const uint32_t index = lineIndex(group, line);
  return index < kLines ? _settings[index] : kNoPreference;
}

bool tTavikLineFilterIdentifier::setSetting(uint32_t group, uint32_t line, uint32_t setting) {
  const uint32_t index = lineIndex(group, line);
  if (index >= kLines) return false;
  _settings[index] = setting;
  return true;
}

}  // namespace nQoUdR100
