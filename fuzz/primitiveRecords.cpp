// Configuration records from outside: the first byte names the allocation to
// fail (0: none), the rest is read into every primitive configuration record,
// each from the start. A read may end only with the stream's -50411 or with
// -50352; it may allocate at most twice per count word in the input (a count
// is never trusted with more than the reserve cap) and leaks nothing. A clean
// read, written and read again, compares equal.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "orb/tByteInputStream.h"
#include "orb/tByteOutputStream.h"
#include "primitives/ai/tAIDeviceFIFOPrimitiveConfig.h"
#include "primitives/ai/tAIScanningFrontEndPrimitiveConfig.h"
#include "primitives/ai/tAISubsystemPrimitiveConfig.h"
#include "primitives/ai/tAITimingControllerPrimitiveConfig.h"
#include "primitives/ai/tAI_ADCPrimitiveConfig.h"
#include "primitives/ai/tAI_DMATransferPrimitiveConfig.h"
#include "primitives/ao/tAOWaitForNextSampleClockPrimitiveConfig.h"
#include "primitives/ao/tOutputTimingControllerPrimitiveConfig.h"
#include "primitives/common/tTEDSPrimitiveConfig.h"
#include "sim/simAllocator.h"
#include "support/tFreshSimulation.h"

namespace {

void check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz_primitiveRecords: %s\n", what);
  std::abort();
}

template <class tRecord>
void readRecord(const uint8_t* bytes, size_t size, uint8_t failAt) {
  const int64_t live = nQoSim::liveAllocations();
  {
    const uint64_t before = nQoSim::totalAllocations();
    nQoSim::failAllocation(failAt);
    nQoORB100::tByteInputStream in(bytes, size);
    tRecord record;
    int status = 0;
    record.readExternal(in, status);
    nQoSim::failAllocation(0);
    check(status == 0 || status == nQoORB100::kEndOfStream || status == -50352,
          "a code other than -50411 or -50352");
    check(nQoSim::totalAllocations() - before <= 2 * (size / 4) + 2, "allocated past the input");
    if (status == 0) {
      nQoORB100::tByteOutputStream out;
      record.writeExternal(out, status);
      check(status == 0, "a clean record did not write");
      nQoORB100::tByteInputStream again(out.bytes().data(), out.bytes().size());
      tRecord back;
      back.readExternal(again, status);
      check(status == 0 && back == record && again.position() == out.bytes().size(),
            "a clean record did not come back equal");
    }
  }
  check(nQoSim::liveAllocations() == live, "a record leaked");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  if (size == 0) return 0;
  const uint8_t failAt = data[0];
  const uint8_t* bytes = data + 1;
  --size;
  using namespace nQoUdP100;
  readRecord<tAIDeviceFIFOPrimitiveConfig>(bytes, size, failAt);
  readRecord<tAIScanningFrontEndPrimitiveConfig>(bytes, size, failAt);
  readRecord<tAIScanningFrontEndConfig>(bytes, size, failAt);
  readRecord<tAISubsystemPrimitiveConfig>(bytes, size, failAt);
  readRecord<tAITimingControllerPrimitiveConfig>(bytes, size, failAt);
  readRecord<tAITimingConfig>(bytes, size, failAt);
  readRecord<tAIRoutingConfig>(bytes, size, failAt);
  readRecord<tAI_ADCPrimitiveConfig>(bytes, size, failAt);
  readRecord<tAI_DMATransferPrimitiveConfig>(bytes, size, failAt);
  readRecord<tAOWaitForNextSampleClockPrimitiveConfig>(bytes, size, failAt);
  readRecord<tOutputTimingControllerPrimitiveConfig>(bytes, size, failAt);
  readRecord<tTEDSPrimitiveConfig>(bytes, size, failAt);

  // The routing fill-in takes any words.
  nQoORB100::tByteInputStream in(bytes, size);
  tAIRoutingConfig routing;
  int status = 0;
  routing.readExternal(in, status);
  const uint32_t kind = routing.fillInFlags();
  check(kind == 1 || kind == 2, "a sample-clock kind other than 1 or 2");
  return 0;
}
