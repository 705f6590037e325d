// Routing tables from outside: the input becomes a packed table that goes
// through the shared-table routine (acquire, read every unpacked byte,
// release). Byte 0 chooses the form:
// - even: the rest is the stream itself; bytes 1-2 give the unpacked size
//   (up to 4095);
// - odd: the rest is deflated here into a valid stream; the unpacked size is
//   its length, or with byte 1 above 0x7F that length plus byte 1 read as
//   signed (at least 0); an odd byte 2 flips one byte of the stream.
// A refused table must leave a clean error, a count of 0 and no allocation;
// an accepted one must pair.
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "device/tSharedTable.h"
#include "mru/routingTables.h"
#include "sim/simAllocator.h"
#include "sim/simRouting.h"
#include "sim/simStatusLog.h"
#include "support/tFreshSimulation.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

nQoUdR100::tPackedTable gPacked{};

// Deflates through one stream kept for the whole run: a fresh stream per
// input would cost far more than the code under test.
void deflateInto(const uint8_t* source, size_t size, std::vector<uint8_t>& stream) {
  static z_stream deflater = [] {
    z_stream z{};
    check(deflateInit(&z, 9) == Z_OK);
    return z;
  }();
  check(deflateReset(&deflater) == Z_OK);
  stream.resize(deflateBound(&deflater, size));
  deflater.next_in = const_cast<Bytef*>(source);
  deflater.avail_in = static_cast<uInt>(size);
  deflater.next_out = stream.data();
  deflater.avail_out = static_cast<uInt>(stream.size());
  check(deflate(&deflater, Z_FINISH) == Z_STREAM_END);
  stream.resize(deflater.total_out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  nQoSim::setStatusLogging(false);
  nQoSim::setRoutingLogging(false);
  static nQoUdR100::tSharedTable shared(gPacked, nQoUdR100::tSharedTable::kRoutingNodes, nullptr);
  if (size < 3) return 0;
  const uint8_t* payload = data + 3;
  const size_t payloadSize = size - 3;
  std::vector<uint8_t> stream(payload, payload + payloadSize);
  uint32_t unpackedSize = data[1] | (data[2] & 0x0F) << 8;
  if (data[0] & 1) {
    deflateInto(payload, payloadSize, stream);
    const int8_t adjustment = data[1] < 0x80 ? 0 : static_cast<int8_t>(data[1]);
    const int64_t adjusted = static_cast<int64_t>(payloadSize) + adjustment;
    unpackedSize = adjusted < 0 ? 0 : static_cast<uint32_t>(adjusted);
    if (data[2] & 1) stream[data[2] % stream.size()] ^= 0x40;
  }
  gPacked = {.version = nQoMRU210::kTableVersion,
             .unpackedSize = unpackedSize,
             .bytes = stream.data(),
             .packedSize = static_cast<uint32_t>(stream.size()),
             .words = nullptr,
             .wordCount = 0};

  const int64_t before = nQoSim::liveAllocations();
  nQoMDBG100::tStatus2 status;
  shared.acquire(status);
  if (status.isFatal()) {
    check(status.code == -50150 || status.code == -50352);
    check(shared.count() == 0 && shared.table() == nullptr);
    check(nQoSim::liveAllocations() == before);
    return 0;
  }
  check(shared.count() == 1 && shared.table() != nullptr);
  const auto* table = static_cast<const volatile uint8_t*>(shared.table());
  uint32_t sum = 0;
  for (uint32_t i = 0; i < unpackedSize; ++i) sum += table[i];
  (void)sum;
  shared.release(status);
  check(status.code == 0 && shared.count() == 0 && shared.table() == nullptr);
  check(nQoSim::liveAllocations() == before && nQoSim::liveRoutingTables() == 0);
  return 0;
}
