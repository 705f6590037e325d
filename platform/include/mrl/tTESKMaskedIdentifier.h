// Names lines of a digital port by a 64-bit mask (two 32-bit words).
#pragma once

#include <cstdint>

#include "mrl/iResourceIdentifier.h"

namespace nQoCDR100 {

// The primitive-type name of an immediate digital primitive's pool.
inline constexpr const char kImmedDigPrimName[] = "ImmedDigPrim";

class tTESKMaskedIdentifier : public nQoMRL100::iResourceIdentifier {
 public:
  static void* ___classID;
  tTESKMaskedIdentifier(uint32_t lowLines, uint32_t highLines) : _lines{lowLines, highLines} {}
  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;

  uint64_t hash() const override;
  bool isEqual(const nQoMRL100::iResourceIdentifier& other) const override;
  uint32_t getLines(uint32_t word) const { return _lines[word & 1]; }

 private:
  uint32_t _lines[2];
};

}  // namespace nQoCDR100
