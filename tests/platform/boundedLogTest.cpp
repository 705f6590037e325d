// The platform's logs keep their most recent records in order and drop the
// older half when full, so a long run stays in bounded memory; a record that a
// call completes on its way out is found again by its sequence number, or not
// at all once dropped.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "dim/iInterconnectManager.h"
#include "kal/nQoKAL.h"
#include "mdbg/tStatus2.h"
#include "mdbg/tTrace.h"
#include "mrl/iResourceBroker.h"
#include "mrl/tDeviceEventRegistration.h"
#include "mrl/tGeneralIdentifier.h"
#include "mru/tTerminalReservation.h"
#include "pal/nQoPALModule.h"
#include "reservation/tSingularResourcePool.h"
#include "sim/simDeviceEvents.h"
#include "sim/simInterconnect.h"
#include "sim/simModule.h"
#include "sim/simResourceBroker.h"
#include "sim/simTerminalReservation.h"
#include "sim/simTime.h"
#include "sim/tBoundedLog.h"
#include "sim/tSimBus.h"
#include "sim/tSimRegisterWindows.h"
#include "time/tTimerTimeWaster.h"

namespace {

constexpr std::size_t kLimit = nQoSim::tBoundedLog<int>::kDefaultLimit;

// Records a log of limit keeps after added ones, as the bound drops them.
std::size_t keptAfter(std::size_t added, std::size_t limit) {
  if (added <= limit) return added;
  return limit / 2 + (added - limit - 1) % (limit - limit / 2) + 1;
}

// The values run one by one up to last.
void expectRunEndingAt(const std::vector<uint64_t>& values, uint64_t last) {
  ASSERT_FALSE(values.empty());
  EXPECT_EQ(values.back(), last);
  for (std::size_t k = 1; k < values.size(); ++k)
    if (values[k] != values[k - 1] + 1) {
      ADD_FAILURE() << "records " << k - 1 << " and " << k << " hold " << values[k - 1] << ", "
                    << values[k];
      return;
    }
}

TEST(BoundedLog, KeepsTheNewerHalfInOrderAndFindsRecordsBySequence) {
  nQoSim::tBoundedLog<int> log(8);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(log.add(100 + i), static_cast<uint64_t>(i));
  EXPECT_EQ(log.records(), (std::vector<int>{100, 101, 102, 103, 104, 105, 106, 107}));

  // Full: the add drops 100..103 first.
  EXPECT_EQ(log.add(108), 8u);
  EXPECT_EQ(log.records(), (std::vector<int>{104, 105, 106, 107, 108}));
  EXPECT_EQ(log.find(3), nullptr);
  ASSERT_NE(log.find(4), nullptr);
  EXPECT_EQ(*log.find(4), 104);
  ASSERT_NE(log.find(8), nullptr);
  *log.find(8) = -1;
  EXPECT_EQ(log.records().back(), -1);
  EXPECT_EQ(log.find(9), nullptr);

  for (int i = 109; i < 112; ++i) log.add(i);
  EXPECT_EQ(log.records(), (std::vector<int>{104, 105, 106, 107, -1, 109, 110, 111}));
  EXPECT_EQ(log.add(112), 12u);
  EXPECT_EQ(log.records(), (std::vector<int>{-1, 109, 110, 111, 112}));

  // Cleared records are not found again; numbering goes on.
  log.clear();
  EXPECT_TRUE(log.records().empty());
  EXPECT_EQ(log.find(12), nullptr);
  EXPECT_EQ(log.add(113), 13u);
  EXPECT_EQ(*log.find(13), 113);

  // An odd limit keeps its newer (smaller) half; a limit of 1 the last record.
  nQoSim::tBoundedLog<int> odd(5);
  for (int i = 0; i < 6; ++i) odd.add(i);
  EXPECT_EQ(odd.records(), (std::vector<int>{3, 4, 5}));
  nQoSim::tBoundedLog<int> one(1);
  for (int i = 0; i < 3; ++i) one.add(i);
  EXPECT_EQ(one.records(), (std::vector<int>{2}));
}

TEST(BoundedLog, TheWindowLogAndTheBusCallLogKeepTheMostRecentAccesses) {
  nQoSim::tSimRegisterWindows windows;
  const unsigned window = windows.addWindow(0x100);
  nQoSim::tSimBus bus(windows);
  const uint32_t handle = nQoSim::tSimBus::handleOf(window);
  const std::size_t added = kLimit + 5;
  for (uint32_t i = 0; i < added; ++i)
    bus.write32(handle, 4 * (i % 64), 0x11220000 + i, 3, nullptr);
  int code = 0;
  windows.setRead(window, 0x10, 32, 0x5A5A0000);
  EXPECT_EQ(bus.read32(handle, 0x10, 5, &code), 0x5A5A0000u);

  const auto& log = windows.log();
  ASSERT_EQ(log.size(), keptAfter(added + 1, kLimit));
  const auto first = static_cast<uint32_t>(added + 1 - log.size());
  EXPECT_EQ(log.front(),
            (nQoSim::tSimRegisterWindows::tAccess{window, 4 * (first % 64), 32, 0x11220000 + first,
                                                  nQoSim::tSimRegisterWindows::kWrite, 3}));
  std::vector<uint64_t> values;
  for (std::size_t k = 0; k + 1 < log.size(); ++k) values.push_back(log[k].value);
  expectRunEndingAt(values, 0x11220000 + added - 1);
  EXPECT_EQ(log.back().direction, nQoSim::tSimRegisterWindows::kRead);
  EXPECT_EQ(windows.writes().size(), log.size() - 1);
  EXPECT_EQ(windows.reads().size(), 1u);

  const auto calls = bus.calls();
  ASSERT_EQ(calls.size(), keptAfter(added + 1, kLimit));
  EXPECT_EQ(calls.front(),
            (nQoSim::tSimBus::tCall{nQoSim::tSimBus::tCall::kWrite32, 3, 4 * (first % 64), handle,
                                    0, 0x11220000 + first}));
  EXPECT_EQ(calls.back().operation, nQoSim::tSimBus::tCall::kRead32);
  values.clear();
  for (std::size_t k = 0; k + 1 < calls.size(); ++k) values.push_back(calls[k].value);
  expectRunEndingAt(values, 0x11220000 + added - 1);
}

// A log that records every call of a platform service, and a call that adds
// record(s) holding values 2i (and 2i + 1).
struct tServiceLog {
  const char* name;
  std::function<void()> clear;
  std::function<void(uint32_t)> call;
  std::function<std::vector<uint64_t>()> values;
  unsigned recordsPerCall = 1;
};

TEST(BoundedLog, EveryServiceLogKeepsItsMostRecentRecordsInOrder) {
  const nQoORB100::tGUID device{};
  const std::vector<tServiceLog> logs = {
      {"sleep",
       [] {
         nQoSim::resetTime();
         nQoSim::useTestClock(0);
       },
       [](uint32_t i) {
         int status = 0;
         wasterSleep(tTimerTimeWasterKind::kSpin, 2 * uint64_t{i}, kTimerTimeUnitNanosecond,
                     &status);
       },
       [] {
         std::vector<uint64_t> values;
         for (const auto& record : nQoSim::sleepLog()) values.push_back(record.amount);
         return values;
       }},
      {"trace", [] { nQoSim::clearTraceLines(); },
       [](uint32_t i) {
         auto* trace = nQoMDBG100::tTrace::getInstance(nullptr);
         nQoMDBG100::tTrace::endl(nQoMDBG100::tTrace::beginLine(trace, "c", "l", 2 * i));
       },
       [] {
         std::vector<uint64_t> values;
         for (const auto& line : nQoSim::traceLines()) values.push_back(line.line);
         return values;
       }},
      {"debugger", [] { nQoSim::clearDebuggerLines(); },
       [](uint32_t i) { nQoKAL100_printToDebugger(std::to_string(2 * i).c_str()); },
       [] {
         std::vector<uint64_t> values;
         for (const auto& line : nQoSim::debuggerLines()) values.push_back(std::stoull(line));
         return values;
       }},
      {"module activity", [] { nQoSim::clearModuleActivity(); },
       [](uint32_t i) {
         pkgModulePackageEventLog(static_cast<int>(2 * i), "f", "b", "n", nullptr);
       },
       [] {
         std::vector<uint64_t> values;
         for (const auto& entry : nQoSim::moduleActivity())
           values.push_back(static_cast<uint64_t>(entry.eventKind));
         return values;
       }},
      {"terminal reservation", [] { nQoSim::resetTerminalReservation(); },
       [&device](uint32_t i) {
         nQoMDBG100::tStatus2 status(static_cast<int>(2 * i + 1));
         nQoMRU210::tTerminalReservation::release(device, "PFI0", status);
       },
       [] {
         std::vector<uint64_t> values;
         for (const auto& record : nQoSim::terminalLog())
           values.push_back(static_cast<uint64_t>(record.incoming - 1));
         return values;
       }},
      {"interconnect", [] { nQoSim::resetInterconnect(); },
       [](uint32_t i) {
         int status = static_cast<int>(2 * i + 1);
         nQoDIM100::getInterconnectManager(status);
       },
       [] {
         std::vector<uint64_t> values;
         for (const auto& record : nQoSim::interconnectLog())
           values.push_back(static_cast<uint64_t>(record.incoming - 1));
         return values;
       }},
      {"device events", [] { nQoSim::clearDeviceEventLog(); },
       [](uint32_t i) { nQoMRL100::tDeviceEventRegistration registration(i); },
       [] {
         std::vector<uint64_t> values;
         for (const auto& call : nQoSim::deviceEventLog())
           values.push_back(2 * uint64_t{call.deviceHandle} +
                            (call.operation == nQoSim::tDeviceEventCall::kDestroyed ? 1 : 0));
         return values;
       },
       2},
  };
  for (const tServiceLog& log : logs) {
    SCOPED_TRACE(log.name);
    log.clear();
    const uint32_t calls = static_cast<uint32_t>(kLimit / log.recordsPerCall) + 3;
    for (uint32_t i = 0; i < calls; ++i) log.call(i);
    const std::vector<uint64_t> values = log.values();
    const std::size_t added = std::size_t{calls} * log.recordsPerCall;
    EXPECT_EQ(values.size(), keptAfter(added, kLimit));
    const uint64_t last = 2 * uint64_t{calls - 1} + (log.recordsPerCall - 1);
    if (log.recordsPerCall == 2) {
      expectRunEndingAt(values, last);
    } else {
      std::vector<uint64_t> halves;
      for (uint64_t value : values) halves.push_back(value / 2);
      expectRunEndingAt(halves, last / 2);
    }
    log.clear();
  }
  nQoSim::resetTime();
}

class tNoopPrimitive {
 public:
  virtual ~tNoopPrimitive() = default;
};
using tNoopPool = nQoUdR100::tSingularResourcePool<tNoopPrimitive*>;

// Turned off, the broker records no call and no registration and still does
// its work; a reset turns its logs on again.
TEST(BoundedLog, TheBrokersLogsTurnOffAndBackOnWithAReset) {
  nQoSim::resetResourceBroker();
  tNoopPrimitive primitive;
  tNoopPool pool{&primitive};
  nQoMRL100::tGeneralIdentifier identifier;
  nQoMDBG100::tStatus2 status;
  identifier.setString("AI_ADC", status);
  nQoSim::setBrokerLogging(false);
  nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(status);
  broker->registerPool(&identifier, &pool, status);
  EXPECT_EQ(broker->reserve(&identifier, nullptr, status), &pool);
  broker->release(&identifier, nullptr, status);
  EXPECT_EQ(broker->reserve(&identifier, nullptr, status), &pool);
  broker->release(&identifier, nullptr, status);
  EXPECT_EQ(status.code, 0);
  EXPECT_TRUE(nQoSim::brokerLog().empty());
  EXPECT_TRUE(nQoSim::brokerRegistrations().empty());

  nQoSim::resetResourceBroker();
  broker->registerPool(&identifier, &pool, status);
  EXPECT_EQ(broker->reserve(&identifier, nullptr, status), &pool);
  const auto calls = nQoSim::brokerLog();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].operation, 6);
  EXPECT_EQ(calls[0].identifier, &identifier);
  ASSERT_EQ(nQoSim::brokerRegistrations().size(), 1u);
  EXPECT_EQ(nQoSim::brokerRegistrations()[0].operation, nQoSim::tBrokerRegistration::kRegister);
  broker->release(&identifier, nullptr, status);
  EXPECT_EQ(status.code, 0);
  nQoSim::resetResourceBroker();
}

// Each registration record gets its call's code as the call ends, also for
// the call whose record made the log drop its older half.
TEST(BoundedLog, TheBrokerCompletesTheCodeOfItsNewestRegistrationRecord) {
  nQoSim::resetResourceBroker();
  nQoMRL100::tGeneralIdentifier unknown;
  nQoMDBG100::tStatus2 named;
  unknown.setString("AO_DAC", named);
  nQoMRL100::iResourceBroker* broker = nQoMRL100::getResourceBroker(named);
  for (std::size_t i = 0; i < kLimit + 2; ++i) {
    nQoMDBG100::tStatus2 status;
    if (i >= kLimit) nQoSim::failNextBrokerCall(-50100 - static_cast<int>(i - kLimit));
    broker->unregister(&unknown, status);
  }
  const auto records = nQoSim::brokerRegistrations();
  ASSERT_EQ(records.size(), keptAfter(kLimit + 2, kLimit));
  EXPECT_EQ(records[records.size() - 3].code, nQoMRL100::kUnknownResource);
  EXPECT_EQ(records[records.size() - 2].code, -50100);
  EXPECT_EQ(records.back().code, -50101);
  EXPECT_EQ(records.back().operation, nQoSim::tBrokerRegistration::kUnregister);
  EXPECT_EQ(records.back().name, "AO_DAC");
  nQoSim::resetResourceBroker();
}

}  // namespace
