// The excitation values an analog front end supports, as board data: a
// null-terminated list of {excitation kind, physical value}.
//
//   const tAIExcitation* const kList[] = {&kTwoVolts, nullptr};
//   tAIExcitationCaps caps{kList};
//   if (tAIExcitationCaps::isSupported(&caps, wanted, status)) ...;
#pragma once

#include <cstdint>

#include "frame/tPhysicalValue.h"
#include "mdbg/tStatus2.h"

namespace nQoUdR100 {

struct tAIExcitation {
  uint32_t kind;
  nQoUdRLP100::tPhysicalValue value;
};

struct tAIExcitationCaps {
  const tAIExcitation* const* excitations;

  // The first entry of the same kind with an equal value; on failure (no
  // list -50150, no match -50150) a constant default entry.
  static const tAIExcitation& findExcitation(const tAIExcitationCaps* holder,
                                             const tAIExcitation& wanted,
                                             nQoMDBG100::tStatus2& status);
  // Whether such an entry exists; a miss sets no code.
  static bool isSupported(const tAIExcitationCaps* holder, const tAIExcitation& wanted,
                          nQoMDBG100::tStatus2& status);
};

}  // namespace nQoUdR100
