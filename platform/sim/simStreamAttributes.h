// A double of the attributes object that a stream read reports to: it logs
// every call in order and can fail each kind of call with a code of its own.
//
//   nQoSim::tSimStreamAttributes attributes;
//   attributes.failCode[nQoSim::tSimStreamAttributes::kInterval] = -7;
//   ... read ...
//   attributes.log: {kStamp, {0, 1000}}, {kInterval, {1ull << 63, 1}}
#pragma once

#include <cstdint>
#include <vector>

#include "msrl/iStreamAttributes.h"

namespace nQoSim {

class tSimStreamAttributes : public nQoMSRL100::iStreamAttributes {
 public:
  enum tKind { kStartTime, kFinish, kStamp, kInterval };
  struct tCall {
    tKind kind;
    // The time stamp or interval; a start time in nanoseconds as the
    // fraction word; nothing for finish.
    tPALTime128 value;

    bool operator==(const tCall& other) const = default;
  };

  void setStartTime(uint64_t time, nQoMDBG100::tStatus2& status) override {
    record({kStartTime, {time, 0}}, status);
  }
  void finish(nQoMDBG100::tStatus2& status) override { record({kFinish, {0, 0}}, status); }
  void setTimeStamp(const tPALTime128& stamp, nQoMDBG100::tStatus2& status) override {
    record({kStamp, stamp}, status);
  }
  void setInterval(const tPALTime128& interval, nQoMDBG100::tStatus2& status) override {
    record({kInterval, interval}, status);
  }

  std::vector<tCall> log;
  // The code each kind of call sets in its status (0: none), at
  // "tSimStreamAttributes" with the kind as the line.
  int failCode[4] = {};

 private:
  void record(const tCall& call, nQoMDBG100::tStatus2& status) {
    log.push_back(call);
    if (failCode[call.kind] != 0)
      status.setCode(failCode[call.kind], "sim", "tSimStreamAttributes", call.kind);
  }
};

}  // namespace nQoSim
