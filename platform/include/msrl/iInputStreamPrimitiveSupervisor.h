// A primitive supervisor whose task reads its data as an input stream.
#pragma once

#include "mdbg/tStatus2.h"
#include "mrl/iPrimitiveSupervisor.h"
#include "msrl/iInputStream.h"

namespace nQoMSRL100 {

class iInputStreamPrimitiveSupervisor : public nQoMRL100::iPrimitiveSupervisor {
 public:
  static inline void* ___classID = nullptr;
  void* ___CPPKRLDynamicCast(void* const* classID) override {
    if (classID == &___classID) return this;
    return iPrimitiveSupervisor::___CPPKRLDynamicCast(classID);
  }
  const void* ___CPPKRLDynamicCast(void* const* classID) const override {
    return const_cast<iInputStreamPrimitiveSupervisor*>(this)->___CPPKRLDynamicCast(classID);
  }
  // The task's stream, or null when the supervisor offers none now.
  virtual iInputStream* getInputStreamPtr(nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoMSRL100
