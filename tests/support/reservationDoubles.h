// Doubles of reservation members, logged like the platform's scripted doubles
// (sim/simScriptedDoubles.h, whose names are used here too), and an AI timing
// controller without hardware.
#pragma once

#include <cstdint>
#include <string>

#include "mdbg/tStatus2.h"
#include "primitives/ai/tBaseAITimingControllerPrimitive.h"
#include "reservation/iLinker.h"
#include "reservation/iPrimitive.h"
#include "reservation/iPrimitiveController.h"
#include "reservation/iReserver.h"
#include "sim/simScriptedDoubles.h"

namespace nQoTest {

using nQoMDBG100::tStatus2;
using nQoSim::tCall;
using nQoSim::tCallLog;
using nQoSim::tScriptedDMAChannel;
using nQoSim::tScriptedDMATransfer;
using nQoSim::tScriptedDouble;
using nQoSim::tScriptedEndpointPartner;
using nQoSim::tScriptedEvent;
using nQoSim::tScriptedFacade;
using nQoSim::tScriptedPartner;
using nQoSim::tScriptedSchedulerSupervisor;
using nQoSim::tScriptedSupervisor;
using nQoSim::tScriptedSupervisorMap;

class tScriptedReserver : public nQoMRTB100::iReserver, public tScriptedDouble {
 public:
  using tScriptedDouble::tScriptedDouble;
  void reserveResource(tStatus2& s) override { answer("reserveResource", s); }
  void releaseResource(tStatus2& s) override { answer("releaseResource", s); }
};

class tScriptedLinker : public nQoMRTB100::iLinker, public tScriptedDouble {
 public:
  using tScriptedDouble::tScriptedDouble;
  void link(nQoMRL100::iPrimitiveSupervisorMap&, tStatus2& s) override { answer("link", s); }
  void linkResource(tStatus2& s) override { answer("linkResource", s); }
  void unlinkResource(tStatus2& s) override { answer("unlinkResource", s); }
  void unlink(tStatus2& s) override { answer("unlink", s); }
};

class tScriptedPrimitive : public nQoMRTB100::iPrimitive, public tScriptedDouble {
 public:
  using tScriptedDouble::tScriptedDouble;
  void commit(tStatus2& s) override { answer("commit", s); }
  void arm(tStatus2& s) override { answer("arm", s); }
  void start(tStatus2& s) override { answer("start", s); }
  void stop(tStatus2& s) override { answer("stop", s); }
  void disarm(tStatus2& s) override { answer("disarm", s); }
  void uncommit(tStatus2& s) override { answer("uncommit", s); }
};

// isControlEnabled answers enabled[code], 0 when absent.
class tScriptedController : public nQoMRTB100::iPrimitiveController, public tScriptedDouble {
 public:
  using tScriptedDouble::tScriptedDouble;
  void control(uint32_t code, tStatus2& s) override {
    answer("control " + std::to_string(code), s);
  }
  uint32_t isControlEnabled(uint32_t code, tStatus2& s) override {
    answer("enabled " + std::to_string(code), s);
    return enabled.count(code) != 0 ? enabled[code] : 0;
  }
  std::map<uint32_t, uint32_t> enabled;
};

// An AI timing controller without hardware: the scheduler linker's primitive.
struct tBuildStatus {
  tStatus2 built;
};
class tTimingControllerStub : private tBuildStatus,
                              public nQoUdP100::tBaseAITimingControllerPrimitive {
 public:
  tTimingControllerStub() : tBaseAITimingControllerPrimitive(nullptr, nullptr, built) {}
  void commit(tStatus2&) override { _fields.program(); }
  void rewriteRegisters(tStatus2&) override {}
  void arm(tStatus2&) override {}
  void start(tStatus2&) override {}
  void stop(tStatus2&) override {}
  void disarm(tStatus2&) override {}
  void uncommit(tStatus2&) override {}
  void hammerStop(tStatus2&) override {}
  void setMode(int32_t, tStatus2&) override {}
  void enableSampleStartInterrupt(tStatus2&) override {}
};

}  // namespace nQoTest
