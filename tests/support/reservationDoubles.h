// Doubles of the reservation framework's members: reservers, linkers,
// primitives, controllers and a supervisor. Each logs every call it gets, in
// one log shared by a test, with the status object it was handed and that
// status's code at the call, and answers a scripted code per operation
// (merged into the status).
//
//   nQoTest::tCallLog log;
//   nQoTest::tScriptedReserver first(log, "first"), second(log, "second");
//   second.answers["reserveResource"] = -7;
//   ...
//   EXPECT_EQ(log.operations(), (std::vector<std::string>{"first.reserveResource", ...}));
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "mdbg/tStatus2.h"
#include "mrl/iControlParameterBlock.h"
#include "mrl/iPrimitiveSupervisor.h"
#include "mrl/iPrimitiveSupervisorMap.h"
#include "reservation/iLinker.h"
#include "reservation/iPrimitive.h"
#include "reservation/iPrimitiveController.h"
#include "reservation/iReserver.h"

namespace nQoTest {

struct tCall {
  std::string operation;                // "who.operation"
  const nQoMDBG100::tStatus2* status;  // the status object handed in
  int incoming;                         // its code at the call
  const void* in = nullptr;             // control: the blocks handed in
  const void* out = nullptr;
};

class tCallLog {
 public:
  std::vector<tCall> calls;
  // The "who.operation" strings in call order.
  std::vector<std::string> operations() const;
  void clear() { calls.clear(); }
};

// Logs a call and merges the scripted answer for the operation (0 when none)
// into the status.
class tScriptedDouble {
 public:
  tScriptedDouble(tCallLog& log, std::string name) : _log(log), _name(std::move(name)) {}
  std::map<std::string, int> answers;

 protected:
  void answer(const std::string& operation, nQoMDBG100::tStatus2& status,
              const void* in = nullptr, const void* out = nullptr);

 private:
  tCallLog& _log;
  std::string _name;
};

class tScriptedReserver : public nQoMRTB100::iReserver, public tScriptedDouble {
 public:
  using tScriptedDouble::tScriptedDouble;
  void reserveResource(nQoMDBG100::tStatus2& status) override;
  void releaseResource(nQoMDBG100::tStatus2& status) override;
};

class tScriptedLinker : public nQoMRTB100::iLinker, public tScriptedDouble {
 public:
  using tScriptedDouble::tScriptedDouble;
  void link(nQoMRL100::iPrimitiveSupervisorMap& map, nQoMDBG100::tStatus2& status) override;
  void linkResource(nQoMDBG100::tStatus2& status) override;
  void unlinkResource(nQoMDBG100::tStatus2& status) override;
  void unlink(nQoMDBG100::tStatus2& status) override;
  const nQoMRL100::iPrimitiveSupervisorMap* mapSeen = nullptr;
};

class tScriptedPrimitive : public nQoMRTB100::iPrimitive, public tScriptedDouble {
 public:
  using tScriptedDouble::tScriptedDouble;
  void commit(nQoMDBG100::tStatus2& status) override;
  void arm(nQoMDBG100::tStatus2& status) override;
  void start(nQoMDBG100::tStatus2& status) override;
  void stop(nQoMDBG100::tStatus2& status) override;
  void disarm(nQoMDBG100::tStatus2& status) override;
  void uncommit(nQoMDBG100::tStatus2& status) override;
};

// Operations "control <code>" and "enabled <code>"; isControlEnabled answers
// enabled[code] (0 when absent).
class tScriptedController : public nQoMRTB100::iPrimitiveController, public tScriptedDouble {
 public:
  using tScriptedDouble::tScriptedDouble;
  void control(uint32_t code, nQoMDBG100::tStatus2& status) override;
  uint32_t isControlEnabled(uint32_t code, nQoMDBG100::tStatus2& status) override;
  std::map<uint32_t, uint32_t> enabled;
};

// Logs control as "control <code>" with its blocks; every other operation
// logs its name.
class tScriptedSupervisor : public nQoMRL100::iPrimitiveSupervisor, public tScriptedDouble {
 public:
  using tScriptedDouble::tScriptedDouble;
  void initialize(const nQoMRL100::iPrimitiveSettings& settings, nQoMRL100::iRuntimeFacade* facade,
                  nQoMDBG100::tStatus2& status) override;
  void deploy(const nQoMRL100::iPrimitiveSettings& settings, nQoMDBG100::tStatus2& status) override;
  void link(nQoMRL100::iPrimitiveSupervisorMap& map, nQoMDBG100::tStatus2& status) override;
  void reserveResource(nQoMDBG100::tStatus2& status) override;
  void linkResource(nQoMDBG100::tStatus2& status) override;
  void unlinkResource(nQoMDBG100::tStatus2& status) override;
  void releaseResource(nQoMDBG100::tStatus2& status) override;
  void unlink(nQoMDBG100::tStatus2& status) override;
  void control(uint32_t code, nQoMRL100::iControlParameterBlock* in,
               nQoMRL100::iControlParameterBlock* out, nQoMDBG100::tStatus2& status) override;
  void requestCancel(nQoMDBG100::tStatus2& status) override;
  void commitCancel(nQoMDBG100::tStatus2& status) override;
};

// A map that finds nothing.
class tEmptySupervisorMap : public nQoMRL100::iPrimitiveSupervisorMap {
 public:
  nQoMRL100::iPrimitiveSupervisor* lookup(uint32_t, nQoMDBG100::tStatus2&) override {
    return nullptr;
  }
};

}  // namespace nQoTest
