// An event object through which a primitive signals done and error events;
// a linker registers the kinds its supervisor wants.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"

namespace nQoMRL110 {

inline constexpr uint32_t kDoneEvent = 1;
inline constexpr uint32_t kErrorEvent = 2;

class iEvent {
 public:
  static void* ___classID;
  virtual ~iEvent() = default;
  virtual void registerEvent(uint32_t kind, nQoMDBG100::tStatus2& status) = 0;
  virtual void unregisterEvent(uint32_t kind, nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoMRL110
