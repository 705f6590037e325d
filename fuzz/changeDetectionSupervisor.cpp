// Change-detection settings from outside through the whole task of the
// change-detection supervisor on a simulated board. The first byte: bit 0
// names the board's pool instead of the identifier read, bit 1 links
// readable lines (key 1), bit 2 a scheduler action (key 2), the top five
// bits the allocation to fail (0: none); the rest is a settings stream,
// whose buffer size is taken modulo 4097 bytes per sample, so that each
// input stays fast (the size reaches the allocation and every capture).
// The task runs initialize to unlink with one change interrupt while it
// runs and request 256 before and after the stop. Every code is 0, -50004,
// -50150, -50300, -50352 or -89000; the query answers 0 or 1 and 0 right
// after; the task ends linked with no handler left in the dispatcher and
// nothing leaked.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "frame/moduleEntry.h"
#include "mrl/iDigReadablePrimSup.h"
#include "mrl/iPrimitiveSupervisorMap.h"
#include "mrl/iResourceBroker.h"
#include "mrl/iSchedulerActionSupervisor.h"
#include "orb/tByteInputStream.h"
#include "primitives/dio/tPCITavikChangeDetectionPrimitive.h"
#include "primitives/dio/tTavikImmedDigPrimitive.h"
#include "reservation/tSingularResourcePool.h"
#include "sim/simAllocator.h"
#include "sim/simParameterBlock.h"
#include "sim/simResourceBroker.h"
#include "sim/simStatusLog.h"
#include "sim/tSimBus.h"
#include "sim/tSimRegisterWindows.h"
#include "sim/tSimSchedulerAction.h"
#include "supervisors/dio/tChangeDetectionSupervisor.h"
#include "support/tFreshSimulation.h"

namespace {

using nQoMDBG100::tStatus2;

void check(bool condition) {
  if (!condition) std::abort();
}

// The largest buffer size (bytes per sample) an input asks for.
constexpr uint32_t kMaxBufferSize = 4096;

bool allowed(int code) {
  return code == 0 || code == -50004 || code == -50150 || code == nQoMRL100::kUnknownResource ||
         code == -50352 || code == -89000;
}

// A supervisor that answers nothing but its partner interface.
template <class Interface>
class tPartner : public nQoMRL100::iPrimitiveSupervisor, public Interface {
 public:
  void* ___CPPKRLDynamicCast(void* const* id) override {
    if (id == &Interface::___classID) return static_cast<Interface*>(this);
    return iPrimitiveSupervisor::___CPPKRLDynamicCast(id);
  }
  void initialize(const nQoMRL100::iPrimitiveSettings&, nQoMRL100::iRuntimeFacade*,
                  tStatus2&) override {}
  void deploy(const nQoMRL100::iPrimitiveSettings&, tStatus2&) override {}
  void link(nQoMRL100::iPrimitiveSupervisorMap&, tStatus2&) override {}
  void reserveResource(tStatus2&) override {}
  void linkResource(tStatus2&) override {}
  void unlinkResource(tStatus2&) override {}
  void releaseResource(tStatus2&) override {}
  void unlink(tStatus2&) override {}
  void control(uint32_t, nQoMRL100::iControlParameterBlock*, nQoMRL100::iControlParameterBlock*,
               tStatus2&) override {}
  void requestCancel(tStatus2&) override {}
  void commitCancel(tStatus2&) override {}
};

class tLines : public tPartner<nQoCDR100::iDigReadablePrimSup>, public nQoCDR100::iDigReadablePrim {
 public:
  nQoCDR100::iDigReadablePrim* getReadablePrimitive(tStatus2&) override { return this; }
  void read(uint32_t, uint8_t* buffer, uint32_t size, uint32_t, uint32_t* result,
            tStatus2&) override {
    for (uint32_t i = 0; i < size; ++i) buffer[i] = static_cast<uint8_t>(i);
    *result = 1;
  }
};

class tScheduler : public tPartner<nQoMAS100::iSchedulerActionSupervisor> {
 public:
  nQoMAS100::iSchedulerAction* getSchedulerAction(tStatus2&) override { return &action; }
  nQoSim::tSimSchedulerAction action;
};

class tMap : public nQoMRL100::iPrimitiveSupervisorMap {
 public:
  nQoMRL100::iPrimitiveSupervisor* lookup(uint32_t key, tStatus2&) override {
    if (key == 1) return &lines;
    if (key == 2) return &scheduler;
    return nullptr;
  }
  tLines lines;
  tScheduler scheduler;
};

class tEvent : public virtual nQoORB100::tObject, public nQoMRL110::iEvent {
 public:
  void* ___CPPKRLDynamicCast(void* const* id) override {
    if (id == &nQoMRL110::iEvent::___classID) return static_cast<nQoMRL110::iEvent*>(this);
    return nQoORB100::tObject::___CPPKRLDynamicCast(id);
  }
  void post(const nQoMRL110::tSoftwareAction&, tStatus2&) override {}
  void registerEvent(uint32_t, tStatus2&) override { ++registered; }
  void unregisterEvent(uint32_t, tStatus2&) override { --registered; }
  int registered = 0;
};

class tFacade : public nQoMRL100::iRuntimeFacade {
 public:
  nQoORB100::tObject* getEventObject(const nQoMRL110::tEventIdentifier&, tStatus2&) override {
    return &event;
  }
  uint32_t mayBlock(tStatus2&) override { return 1; }
  void endBlocking(tStatus2&) override {}
  tEvent event;
};

struct tBoard {
  tBoard() {
    windows.setLogging(false);
    identifier.setDeviceGUID({3, 4});
    identifier.setString("ChangeDetection", status);
    nQoMRL100::getResourceBroker(status)->registerPool(&identifier, &pool, status);
  }
  ~tBoard() { delete detector; }

  nQoSim::tSimRegisterWindows windows;
  const unsigned window = windows.addWindow(nQoUdRLP100::nTavik::kWindowLength);
  nQoSim::tSimBus bus{windows};
  tStatus2 status;
  nQoUdRLP100::nTavik::tTavik map{&bus, window, &status};
  nQoUdRLP100::tTavikInterruptDispatcher dispatcher{&map, 1, &status};
  nQoUdP100::tTavikImmedDigPrimitive port{map, status};
  nQoUdP100::tImmedDigLatchingPrimitive line{&port};
  nQoUdP100::tImmedDigLatchingPrimitive* lines[1] = {&line};
  nQoUdP100::tDeviceInfo info;
  nQoUdR100::tPCITavikChangeDetectionPrimitive* detector =
      new nQoUdR100::tPCITavikChangeDetectionPrimitive(&map, &dispatcher, info, lines, 1, status);
  nQoUdR100::tSingularResourcePool<nQoUdR100::tChangeDetectionPrimitive*> pool{detector};
  nQoMRL100::tGeneralIdentifier identifier;
};

// Request 256 into a block of its own; the answer, or 2 when none was
// written.
uint32_t query(nQoUdR100::tChangeDetectionSupervisor& task) {
  nQoSim::tByteParameterBlock out(std::vector<uint8_t>(4));
  tStatus2 status;
  task.control(256, nullptr, &out, status);
  check(allowed(status.code));
  return out.written().empty() ? 2 : out.written().front();
}

void runTask(tBoard& board, const nQoUdR100::tChangeDetectionSettings& settings) {
  tMap map;
  tFacade facade;
  nQoUdR100::tChangeDetectionSupervisor task;
  tStatus2 status;
  task.initialize(settings, &facade, status);
  task.link(map, status);
  task.reserveResource(status);
  task.linkResource(status);
  for (uint32_t code : {1u, 2u}) task.control(code, nullptr, nullptr, status);
  check(allowed(status.code));
  board.windows.setRead(board.window, 0x244, 32, 1);
  board.bus.raise(1);
  board.bus.pumpSecondary();
  const uint32_t answer = query(task);
  check(answer <= 2);
  if (answer == 1) check(query(task) == 0);
  tStatus2 stopped;
  task.commitCancel(stopped);
  check(allowed(stopped.code));
  check(query(task) != 1);
  tStatus2 undone;
  task.unlinkResource(undone);
  task.releaseResource(undone);
  task.unlink(undone);
  check(allowed(undone.code));
  check(facade.event.registered == 0);
  check(board.dispatcher.primaryHandlers[nQoUdR100::tPCITavikChangeDetectionPrimitive::kSource] ==
        nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  static const bool loaded = [] {
    nQoSim::setStatusLogging(false);
    return moduleMessageEntry(0) == 0;
  }();
  check(loaded);
  if (size < 1) return 0;
  const int64_t liveBefore = nQoSim::liveAllocations();
  nQoSim::resetResourceBroker();
  {
    tBoard board;
    check(board.status.code == 0);
    nQoUdR100::tChangeDetectionSettings settings;
    nQoORB100::tByteInputStream in(data + 1, size - 1);
    int read = 0;
    settings.readExternal(in, read);
    auto& fields = settings.supervisorRecord();
    fields.bufferSize %= kMaxBufferSize + 1;
    if ((data[0] & 1) != 0) fields.identifier = board.identifier;
    if ((data[0] & 2) != 0) fields.readableSupervisorKey = 1;
    if ((data[0] & 4) != 0) fields.schedulerActionSupervisorKey = 2;
    nQoSim::failAllocation(data[0] >> 3);
    runTask(board, settings);
    nQoSim::failAllocation(0);
  }
  nQoSim::resetResourceBroker();
  check(nQoSim::liveAllocations() == liveBefore);
  return 0;
}
