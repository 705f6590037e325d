// Names the board's line-filter resource together with a task's request: one
// filter setting for each of the 16 PFI lines and the 8 RIVO lines (4: no
// preference, the line is not asked for) and the device GUID.
//
//   tTavikLineFilterIdentifier request;
//   request.setDeviceGUID(guid);
//   request.setSetting(tTavikLineFilterIdentifier::kPFI, 3, 2);   // PFI 3, medium filter
#pragma once

#include <cstdint>

#include "frame/tModuleObject.h"
#include "mrl/iResourceIdentifier.h"
#include "orb/iCloneable.h"
#include "orb/iExternalizable.h"
#include "orb/tGUID.h"

namespace nQoUdR100 {

class tTavikLineFilterIdentifier : public nQoMRL100::iResourceIdentifier,
                                   public nQoORB100::iExternalizable,
                                   public nQoORB100::iCloneable,
                                   public tModuleObject {
 public:
  static constexpr const char* kClassName = "nQoUdR100::tTavikLineFilterIdentifier";
  static void* ___classID;

  enum tLineGroup : uint32_t { kPFI = 0, kRIVO = 1 };
  static constexpr uint32_t kPFILines = 16;
  static constexpr uint32_t kRIVOLines = 8;
  // Every line: the PFI lines 0 to 15, then the RIVO lines 0 to 7.
  static constexpr uint32_t kLines = kPFILines + kRIVOLines;
  static constexpr uint32_t kNoPreference = 4;

  // The position of a line among all kLines; kLines for a line outside its
  // group or an unknown group.
  static constexpr uint32_t lineIndex(uint32_t group, uint32_t line) {
    if (group == kPFI) return line < kPFILines ? line : kLines;
    if (group == kRIVO) return line < kRIVOLines ? kPFILines + line : kLines;
    return kLines;
  }

  tTavikLineFilterIdentifier();
  ~tTavikLineFilterIdentifier() override = default;

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;
  nQoORB100::tClass getClass(int& status) const override;

  // A new instance of the class with the same GUID and settings; null with
  // kCastFailed when none can be made.
  nQoORB100::tObject* clone(int& status) const override;
  // The exclusive or of the 24 settings, each sign-extended to 64 bits.
  uint64_t hash() const override;
  // Same device GUID and the same 24 settings.
  bool isEqual(const nQoMRL100::iResourceIdentifier& other) const override;
  // The GUID, the 16 PFI settings, the 8 RIVO settings. Nothing when the
  // status holds an error; a read that fails changes nothing.
  void writeExternal(nQoORB100::iExternalOutputStream& stream, int& status) const override;
  void readExternal(nQoORB100::iExternalInputStream& stream, int& status) override;

  const nQoORB100::tGUID& getDeviceGUID() const { return _deviceGUID; }
  void setDeviceGUID(const nQoORB100::tGUID& guid) { _deviceGUID = guid; }
  // kNoPreference for a line outside its group.
  uint32_t getSetting(uint32_t group, uint32_t line) const;
  // False, and nothing stored, for a line outside its group.
  bool setSetting(uint32_t group, uint32_t line, uint32_t setting);
  // All kLines settings in lineIndex order.
  const uint32_t* getSettings() const { return _settings; }

 private:
  nQoORB100::tGUID _deviceGUID;
  uint32_t _settings[kLines];
};

}  // namespace nQoUdR100
