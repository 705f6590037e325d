// Doubles of the platform objects that a change-detection read reports to:
// a time-stamp sink and a done target, each logging its calls in order.
//
//   nQoSim::tSimTimeStampSink sink;          // sink.log: start times, then kFinished
//   nQoSim::tSimDoneTarget target;           // target.posted: "kind:code"
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "mdbg/tStatus2.h"
#include "mrl/iEvent.h"
#include "msrl/iInputStream.h"

namespace nQoSim {

class tSimTimeStampSink : public nQoMSRL100::iTimeStampSink {
 public:
  static constexpr uint64_t kFinished = ~uint64_t{0};

  void setStartTime(uint64_t time, nQoMDBG100::tStatus2&) override { log.push_back(time); }
  // Sets finishCode (when not 0) in the status it is given.
  void finish(nQoMDBG100::tStatus2& status) override {
    log.push_back(kFinished);
    if (finishCode != 0) status.setCode(finishCode, "sim", "tSimTimeStampSink", 1);
  }
  // A change-detection read reports no time stamp or interval.
  void setTimeStamp(const tPALTime128&, nQoMDBG100::tStatus2&) override {}
  void setInterval(const tPALTime128&, nQoMDBG100::tStatus2&) override {}

  std::vector<uint64_t> log;
  int finishCode = 0;
};

// Logs every posted action as "<kind>:<code>" (kind 1: done, 2: status).
class tSimDoneTarget : public nQoMRL110::iEvent {
 public:
  void post(const nQoMRL110::tSoftwareAction& action, nQoMDBG100::tStatus2&) override {
    posted.push_back(std::to_string(action.getKind()) + ":" + std::to_string(action.getCode()));
  }
  void registerEvent(uint32_t, nQoMDBG100::tStatus2&) override {}
  void unregisterEvent(uint32_t, nQoMDBG100::tStatus2&) override {}

  std::vector<std::string> posted;
};

}  // namespace nQoSim
