// A Tavik map and its interrupt dispatcher over a simulated bus, handlers
// whose answers a test scripts, and the window log cut into writes.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "registers/tTavikInterruptDispatcher.h"
#include "registers/tTavikInterruptDispatcherBinders.h"
#include "reservation/iInterruptHandler.h"
#include "reservation/iSecondaryInterruptHandler.h"
#include "tavikFixture.h"

namespace nQoTest {

using nQoUdRLP100::tTavikInterruptDispatcher;

// A handler of one source that answers what the test set and records its
// calls in a log shared by all handlers (source numbers; secondary calls as
// 100 + source).
class tScriptedHandler : public nQoMRTB100::iInterruptHandler,
                         public nQoMRTB100::iSecondaryInterruptHandler {
 public:
  tScriptedHandler() = default;
  tScriptedHandler(uint32_t source, std::vector<uint32_t>* calls) : source(source), calls(calls) {}

  uint32_t handleInterrupt() override {
    ++primaryCalls;
    if (calls != nullptr) calls->push_back(source);
    return answer;
  }
  uint32_t handleSecondaryInterrupt() override {
    ++secondaryCalls;
    if (calls != nullptr) calls->push_back(100 + source);
    return 0;
  }

  uint32_t source = 0;
  std::vector<uint32_t>* calls = nullptr;
  uint32_t answer = 1;
  unsigned primaryCalls = 0;
  unsigned secondaryCalls = 0;
};

class tDispatcherTest : public tTavikTest {
 protected:
  using tDispatcher = tTavikInterruptDispatcher;

  void SetUp() override {
    tTavikTest::SetUp();
    map = new nQoUdRLP100::nTavik::tTavik(&bus, window, &status);
    dispatcher = new tDispatcher(map, 1, &status);
    ASSERT_EQ(status.code, 0);
    for (uint32_t source = 0; source < tDispatcher::kSourceCount; ++source)
      handlers[source] = tScriptedHandler(source, &calls);
    windows.clearLog();
    bus.clearCalls();
  }
  void TearDown() override {
    delete dispatcher;
    delete map;
    tTavikTest::TearDown();
  }

  // Attaches and stores the source's handler in both slots.
  void attach(uint32_t source) {
    dispatcher->attachInterrupt(status);
    dispatcher->primaryHandlers[source] = &handlers[source];
    dispatcher->secondaryHandlers[source] = &handlers[source];
  }
  // Runs an enable through its binder.
  void enable(tDispatcher::tAtomicStatusRefDispatcher::tMember member) {
    tDispatcher::tAtomicStatusRefDispatcher binder(dispatcher, member, status);
    binder.exec();
  }
  void disable(tDispatcher::tAtomicStatusPtrDispatcher::tMember member) {
    tDispatcher::tAtomicStatusPtrDispatcher binder(dispatcher, member);
    binder.exec(&status);
  }
  // The writes since the log was cleared, as {offset, width, value}.
  std::vector<tAccess> writes() const { return windows.writes(); }
  std::vector<uint32_t> offsetsRead() const {
    std::vector<uint32_t> offsets;
    for (const auto& access : windows.reads()) offsets.push_back(access.offset);
    return offsets;
  }
  void clearLogs() {
    windows.clearLog();
    bus.clearCalls();
    calls.clear();
  }

  nQoUdRLP100::nTavik::tTavik* map = nullptr;
  tDispatcher* dispatcher = nullptr;
  std::vector<uint32_t> calls;
  tScriptedHandler handlers[tDispatcher::kSourceCount];
};

}  // namespace nQoTest
