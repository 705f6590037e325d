// Line-filter requests from outside: the input is read through the byte stream
// into up to four line-filter identifiers (a short stream must end with the
// stream's error and leave its identifier as it was); the bytes that follow
// script reserves and releases (at most kMostSteps) through the counting
// line-filter pool. A refused reserve must change no line and no count, and
// no count may wrap.
#include <array>
#include <cstdint>
#include <cstdlib>

#include "device/poolInstantiations.h"
#include "mrl/tGUIDIdentifier.h"
#include "orb/tByteInputStream.h"
#include "sim/simStatusLog.h"
#include "support/tFreshSimulation.h"

namespace {

using nQoUdR100::tTavikLineFilterIdentifier;
using tPool = nQoUdR100::tRefCountingResourcePoolWrapper<
    nQoUdR100::tTavikLineFilterResourcePool<nQoUdP100::tTavikLineFilterPrimitive*>,
    nQoUdP100::tTavikLineFilterPrimitive*>;

constexpr size_t kRequests = 4;
constexpr size_t kRequestBytes = 16 + 24 * 4;
constexpr size_t kMostSteps = 128;

void check(bool condition) {
  if (!condition) std::abort();
}

// Every line's count and setting, then the pool's use count.
using tSnapshot = std::array<uint32_t, 2 * tTavikLineFilterIdentifier::kLines + 1>;

tSnapshot snapshot(const tPool& pool, const tSyncAtomicU32& inUse) {
  tSnapshot out;
  size_t at = 0;
  for (uint32_t group = 0; group < 2; ++group)
    for (uint32_t line = 0; line < (group == 0 ? 16u : 8u); ++line) {
      out[at++] = pool.getStrategy().getUseCount(group, line);
      out[at++] = pool.getStrategy().getCurrentSetting(group, line);
    }
  out[at] = inUse.get();
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  nQoSim::setStatusLogging(false);
  nQoORB100::tByteInputStream stream(data, size);
  tTavikLineFilterIdentifier requests[kRequests];
  size_t read = 0;
  for (; read < kRequests && size - stream.position() >= kRequestBytes; ++read) {
    int status = 0;
    requests[read].readExternal(stream, status);
    check(status == 0);
  }
  if (read < kRequests) {
    int status = 0;
    tTavikLineFilterIdentifier cut;
    cut.readExternal(stream, status);
    check(status == nQoORB100::kEndOfStream && cut.isEqual(tTavikLineFilterIdentifier()));
  }

  tSyncAtomicU32 inUse;
  tPool pool(&inUse, nullptr);
  const nQoMRL100::tGUIDIdentifier foreign(nQoORB100::tGUID{1, 2});
  uint32_t granted = 0;
  tSnapshot before = snapshot(pool, inUse);
  const size_t first = read * kRequestBytes;
  for (size_t at = first; at < size && at - first < kMostSteps; ++at) {
    const uint8_t step = data[at];
    const nQoMRL100::iResourceIdentifier* identifier = &foreign;
    if ((step & 0x40) == 0 && read > 0) identifier = &requests[step % read];
    nQoMDBG100::tStatus2 status((step & 0x20) != 0 ? 5 : 0);
    const bool reserve = (step & 0x80) == 0;
    const uint32_t answer = reserve ? pool.reserve(identifier, status) : 0;
    if (!reserve) pool.release(identifier, status);
    const tSnapshot after = snapshot(pool, inUse);
    if (reserve && answer == 0) {
      check(after == before);
      check(status.code == -200645 || status.code == -89000);
    } else if (reserve) {
      ++granted;
      check(after.back() == before.back() + 1);
    } else {
      for (size_t i = 0; i + 1 < after.size(); i += 2)
        check(after[i] <= before[i] && after[i + 1] == before[i + 1]);
      check(after.back() <= before.back());
    }
    check(after.back() <= granted);
    before = after;
  }
  nQoSim::setStatusLogging(true);
  return 0;
}
