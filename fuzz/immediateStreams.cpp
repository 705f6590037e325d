// Stream reads of the AI immediate transfer supervisor with counts, sample
// intervals and codes from outside. The supervisor answers only 0, -50004
// (no primitive), -50256 (codes), -200455 (the second stream operation) or
// the attributes object's own failure; each read answers the primitive's
// count, reports attributes only when samples came, and its time stamp
// follows the system time or advances by exactly count x interval (mod 2^128).
//
// Layout (missing bytes read as 0): interval fraction (8 bytes), interval
// integer (8 bytes), flags (1 byte: bit 0 the software time stamp, bit 1
// reserve, bit 2 the attributes fail), then operations of 6 bytes: kind (0 a
// read with attributes, 1 one without, 2 the second stream operation, 3 a
// control code), a 32-bit count or code, the primitive's answer (1 byte).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "mrl/iResourceBroker.h"
#include "msrl/iStreamAttributes.h"
#include "sim/simResourceBroker.h"
#include "sim/simStatusLog.h"
#include "sim/simTime.h"
#include "supervisors/ai/aiImmediateTransferSupervisors.h"
#include "support/tFreshSimulation.h"

namespace {

constexpr int kAttributesFailure = -7;
constexpr uint32_t kCodes[] = {1, 2, 3, 4, 4100, 4101, 77};

void check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz_immediateStreams: %s\n", what);
  std::abort();
}

uint64_t take(const uint8_t* data, size_t size, size_t& at, unsigned bytes) {
  uint64_t value = 0;
  for (unsigned i = 0; i < bytes; ++i, ++at)
    if (at < size) value |= uint64_t(data[at]) << (8 * i);
  return value;
}

class tAnsweringTransfer : public nQoUdP100::tBaseAIImmediateTransferPrimitive {
 public:
  void commitTransfer(nQoMDBG100::tStatus2&) override {}
  void armTransfer(nQoMDBG100::tStatus2&) override {}
  void notifyDone(nQoMDBG100::tStatus2&) override {}
  uint32_t read(void*, uint32_t count, nQoMDBG100::tStatus2&, uint32_t*, uint32_t,
                tTimerTimeUnit) override {
    return count < answer ? count : answer;
  }
  uint32_t answer = 0;
};

class tCheckedAttributes : public nQoMSRL100::iStreamAttributes {
 public:
  void setStartTime(uint64_t, nQoMDBG100::tStatus2&) override { check(false, "a start time"); }
  void finish(nQoMDBG100::tStatus2&) override { check(false, "a finish"); }
  void setTimeStamp(const tPALTime128& value, nQoMDBG100::tStatus2& status) override {
    stamp = value;
    ++calls;
    if (fails) status.setCode(kAttributesFailure, "fuzz", "attributes", 1);
  }
  void setInterval(const tPALTime128& value, nQoMDBG100::tStatus2&) override {
    interval = value;
    ++calls;
  }
  tPALTime128 stamp{};
  tPALTime128 interval{};
  unsigned calls = 0;
  bool fails = false;
};

unsigned __int128 wide(const tPALTime128& value) {
  return static_cast<unsigned __int128>(static_cast<uint64_t>(value.integer)) << 64 |
         value.fraction;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  nQoSim::setStatusLogging(false);
  nQoSim::resetResourceBroker();
  nQoSim::useTestClock(1234 * 1'000'000'000ull + 5);
  size_t at = 0;
  nQoUdR100::tAIImmediateTransferSettings settings;
  auto& words = settings.supervisorRecord();
  words.sampleInterval.fraction = take(data, size, at, 8);
  words.sampleInterval.integer = static_cast<int64_t>(take(data, size, at, 8));
  const uint64_t flags = take(data, size, at, 1);
  words.word1 = flags & 1;
  words.word19 = 1;
  nQoMDBG100::tStatus2 status;
  words.identifier.setString("AIImmediateTransfer", status);
  tAnsweringTransfer transfer;
  nQoUdR100::tAIImmediateTransferSupervisorRow::tPool pool(&transfer);
  nQoMRL100::getResourceBroker(status)->registerPool(&words.identifier, &pool, status);
  {
    nQoUdR100::tAIImmediateTransferSupervisor supervisor;
    supervisor.initialize(settings, nullptr, status);
    if ((flags & 2) != 0) supervisor.reserveResource(status);
    check(status.code == 0, "bring-up failed");
    const bool held = supervisor.getPrimitive() != nullptr;
    tCheckedAttributes attributes;
    attributes.fails = (flags & 4) != 0;
    tPALTime128 now;
    tPALSysInfo::getTime(now);
    const unsigned __int128 interval = wide(words.sampleInterval.words());
    unsigned __int128 stamp = 0;
    bool firstRead = false;  // set by 4100, cleared by a read that delivered
    // A 4100 began a run, which took the deployed clock, and no 4101 or 4
    // ended it since (this transfer's arm ends none).
    bool live = false;
    uint8_t buffer[4];
    while (at < size) {
      const uint64_t kind = take(data, size, at, 1) % 4;
      const auto count = static_cast<uint32_t>(take(data, size, at, 4));
      transfer.answer = static_cast<uint32_t>(take(data, size, at, 1));
      nQoMDBG100::tStatus2 step;
      const unsigned before = attributes.calls;
      if (kind == 3) {
        const uint32_t code = kCodes[count % 7];
        supervisor.control(code, nullptr, nullptr, step);
        check(step.code == (held ? -50256 : -50004), "a code answered otherwise");
        firstRead = firstRead || (held && code == 4100);
        if (held && code == 4100) live = true;
        if (held && (code == 4101 || code == 4)) live = false;
        continue;
      }
      if (kind == 2) {
        check(supervisor.readAvailable(count, buffer, step) == 0, "available answered");
        check(step.code == -200455, "available not refused");
        continue;
      }
      const uint32_t read =
          supervisor.read(count, 0, buffer, nullptr, kind == 0 ? &attributes : nullptr, step);
      if (!held) {
        check(read == 0 && step.code == -50004, "a read without a primitive");
        continue;
      }
      const uint32_t expected = count < transfer.answer ? count : transfer.answer;
      check(read == expected, "the count differs from the primitive's");
      // With no run live the reads stamp by the software stamp (a transfer's
      // own read would wait for the next run; this one answers at once).
      const bool software = !live || words.word1 != 0;
      const bool refresh = firstRead || software;
      if (read != 0) firstRead = false;
      if (kind == 1) continue;
      if (refresh) stamp = wide(now);
      const unsigned __int128 step128 = software ? 0 : interval;
      check(attributes.calls == before + (read != 0 ? 2 : 0), "attributes without samples");
      if (read != 0) {
        check(wide(attributes.stamp) == stamp, "the stamp differs");
        check(wide(attributes.interval) == step128, "the interval differs");
      }
      check(step.code == (read != 0 && attributes.fails ? kAttributesFailure : 0),
            "an unexpected code");
      stamp += step128 * read;
      check(wide(supervisor.getTimeStamp().words()) == stamp, "the advance differs");
    }
    supervisor.releaseResource(status);
  }
  nQoSim::resetResourceBroker();
  nQoSim::resetTime();
  return 0;
}
