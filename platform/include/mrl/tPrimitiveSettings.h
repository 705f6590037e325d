// The platform's base part of every settings class: one 32-bit word of its
// own, streamed last by every settings class and copied by every assignment.
// Its cast answers its own and its interfaces' identities, else null.
//
//   void tMySettings::writeExternal(iExternalOutputStream& out, int& status) const {
//     ...own fields...
//     nQoMRL100::tPrimitiveSettings::writeExternal(out, status);   // the base part
//   }
#pragma once

#include <cstdint>

#include "mrl/iPrimitiveSettings.h"

namespace nQoMRL100 {

class tPrimitiveSettings : public iPrimitiveSettings {
 public:
  static void* ___classID;

  tPrimitiveSettings() = default;
  // Copies the base word; the class cell stays the object's own.
  tPrimitiveSettings(const tPrimitiveSettings&) = default;
  tPrimitiveSettings& operator=(const tPrimitiveSettings&) = default;
  ~tPrimitiveSettings() override;

  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;

  // The base word through readU32 / writeU32; nothing when the status holds
  // an error, and a failed read leaves the word as it was.
  void readExternal(nQoORB100::iExternalInputStream& stream, int& status) override;
  void writeExternal(nQoORB100::iExternalOutputStream& stream, int& status) const override;

  uint32_t getBaseValue() const { return _baseValue; }
  void setBaseValue(uint32_t value) { _baseValue = value; }

 private:
  uint32_t _baseValue = 0;
};

}  // namespace nQoMRL100
