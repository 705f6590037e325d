// The interface through which the platform drives one hardware resource of a
// measurement task. The platform calls initialize, deploy, link,
// reserveResource, linkResource, then any number of control calls, and at the
// end unlinkResource, releaseResource and unlink; requestCancel and
// commitCancel stop a running task.
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "orb/tObject.h"

namespace nQoMRL100 {

class iControlParameterBlock;
class iPrimitiveSettings;
class iPrimitiveSupervisorMap;
class iRuntimeFacade;

class iPrimitiveSupervisor : public virtual nQoORB100::tObject {
 public:
  static void* ___classID;
  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;

  ~iPrimitiveSupervisor() override;
  virtual void initialize(const iPrimitiveSettings& settings, iRuntimeFacade* facade,
                          nQoMDBG100::tStatus2& status) = 0;
  virtual void deploy(const iPrimitiveSettings& settings, nQoMDBG100::tStatus2& status) = 0;
  virtual void link(iPrimitiveSupervisorMap& map, nQoMDBG100::tStatus2& status) = 0;
  virtual void reserveResource(nQoMDBG100::tStatus2& status) = 0;
  virtual void linkResource(nQoMDBG100::tStatus2& status) = 0;
  virtual void unlinkResource(nQoMDBG100::tStatus2& status) = 0;
  virtual void releaseResource(nQoMDBG100::tStatus2& status) = 0;
  virtual void unlink(nQoMDBG100::tStatus2& status) = 0;
  virtual void control(uint32_t code, iControlParameterBlock* in, iControlParameterBlock* out,
                       nQoMDBG100::tStatus2& status) = 0;
  virtual void requestCancel(nQoMDBG100::tStatus2& status) = 0;
  virtual void commitCancel(nQoMDBG100::tStatus2& status) = 0;
};

}  // namespace nQoMRL100
