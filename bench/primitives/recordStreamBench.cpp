// Writing and reading back a default AI timing-controller record (49 typed
// values, 198 bytes) through fixed-buffer streams, beside a floor that makes
// the same stream calls by hand (the widths in the record's order, each value
// taken from and stored into a plain array, the status checked after each)
// and the physical floor, a memcpy of its 198 bytes each way. None touches
// the platform allocator.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "opaque.h"
#include "orb/iExternalInputStream.h"
#include "orb/iExternalOutputStream.h"
#include "primitives/ai/tAITimingControllerPrimitiveConfig.h"
#include "sim/simAllocator.h"

namespace {

constexpr std::size_t kRecordBytes = 198;

// Little-endian values into and out of one fixed buffer.
class tBufferStream : public nQoORB100::iExternalOutputStream,
                      public nQoORB100::iExternalInputStream {
 public:
  void rewind() { _at = 0; }

  void writeString(const nQoORB100::tNarrowString& value, int& status) override {
    put(value.size(), 4, status);
    if (status < 0 || sizeof(_bytes) - _at < value.size()) return;
    std::memcpy(_bytes + _at, value.c_str(), value.size());
    _at += value.size();
  }
  nQoORB100::tNarrowString readString(int& status) override {
    nQoORB100::tNarrowString text;
    const std::size_t length = take(4, status);
    if (status < 0 || sizeof(_bytes) - _at < length) return text;
    text.assign(reinterpret_cast<const char*>(_bytes + _at), length);
    _at += length;
    return text;
  }
  void writeI16(int16_t value, int& status) override {
    put(static_cast<uint16_t>(value), 2, status);
  }
  void writeU16(uint16_t value, int& status) override { put(value, 2, status); }
  void writeI32(int32_t value, int& status) override {
    put(static_cast<uint32_t>(value), 4, status);
  }
  void writeU32(uint32_t value, int& status) override { put(value, 4, status); }
  void writeU64(uint64_t value, int& status) override { put(value, 8, status); }
  int16_t readI16(int& status) override { return static_cast<int16_t>(take(2, status)); }
  uint16_t readU16(int& status) override { return static_cast<uint16_t>(take(2, status)); }
  int32_t readI32(int& status) override { return static_cast<int32_t>(take(4, status)); }
  uint32_t readU32(int& status) override { return static_cast<uint32_t>(take(4, status)); }
  uint64_t readU64(int& status) override { return take(8, status); }

 private:
  void put(uint64_t value, std::size_t width, int& status) {
    if (status < 0) return;
    if (sizeof(_bytes) - _at < width) {
      status = nQoORB100::kEndOfStream;
      return;
    }
    std::memcpy(_bytes + _at, &value, width);
    _at += width;
  }
  uint64_t take(std::size_t width, int& status) {
    if (status < 0) return 0;
    if (sizeof(_bytes) - _at < width) {
      status = nQoORB100::kEndOfStream;
      return 0;
    }
    uint64_t value = 0;
    std::memcpy(&value, _bytes + _at, width);
    _at += width;
    return value;
  }

  uint8_t _bytes[256] = {};
  std::size_t _at = 0;
};

void BM_TimingRecordWriteAndRead(benchmark::State& state) {
  const nQoUdP100::tAITimingControllerPrimitiveConfig record;
  nQoUdP100::tAITimingControllerPrimitiveConfig back;
  tBufferStream stream;
  const uint64_t allocations = nQoSim::totalAllocations();
  int status = 0;
  for (auto _ : state) {
    stream.rewind();
    record.writeExternal(stream, status);
    stream.rewind();
    back.readExternal(stream, status);
    benchmark::DoNotOptimize(back);
  }
  if (status != 0 || !(back == record)) state.SkipWithError("record did not come back");
  if (nQoSim::totalAllocations() != allocations) state.SkipWithError("allocated");
}
BENCHMARK(BM_TimingRecordWriteAndRead);

// Notes the width of every value written, in order.
class tWidthStream : public nQoORB100::iExternalOutputStream {
 public:
  void writeString(const nQoORB100::tNarrowString&, int&) override { widths.push_back(0); }
  void writeI16(int16_t, int&) override { widths.push_back(2); }
  void writeU16(uint16_t, int&) override { widths.push_back(2); }
  void writeI32(int32_t, int&) override { widths.push_back(4); }
  void writeU32(uint32_t, int&) override { widths.push_back(4); }
  void writeU64(uint64_t, int&) override { widths.push_back(8); }
  std::vector<uint8_t> widths;
};

// Floor: the same typed stream calls in the record's order, each value from
// and into a plain array, the status checked after each. The stream is
// reached through its interfaces, so that its reads and writes stay calls, as
// the record's are, and are not inlined into the loop.
void BM_TimingRecordWriteAndRead_Floor(benchmark::State& state) {
  const nQoUdP100::tAITimingControllerPrimitiveConfig record;
  tWidthStream widthsOf;
  int status = 0;
  record.writeExternal(widthsOf, status);
  const std::vector<uint8_t> widths = widthsOf.widths;
  uint64_t values[64] = {};
  uint64_t back[64] = {};
  tBufferStream stream;
  nQoORB100::iExternalOutputStream& out =
      *nQoBench::opaque<nQoORB100::iExternalOutputStream*>(&stream);
  nQoORB100::iExternalInputStream& in =
      *nQoBench::opaque<nQoORB100::iExternalInputStream*>(&stream);
  for (auto _ : state) {
    stream.rewind();
    for (std::size_t i = 0; i < widths.size() && status >= 0; ++i) {
      if (widths[i] == 2)
        out.writeU16(static_cast<uint16_t>(values[i]), status);
      else if (widths[i] == 4)
        out.writeU32(static_cast<uint32_t>(values[i]), status);
      else
        out.writeU64(values[i], status);
    }
    stream.rewind();
    for (std::size_t i = 0; i < widths.size() && status >= 0; ++i) {
      if (widths[i] == 2)
        back[i] = in.readU16(status);
      else if (widths[i] == 4)
        back[i] = in.readU32(status);
      else
        back[i] = in.readU64(status);
    }
    benchmark::DoNotOptimize(back);
  }
  if (status != 0 || widths.size() != 49) state.SkipWithError("record did not come back");
}
BENCHMARK(BM_TimingRecordWriteAndRead_Floor);

// Physical floor: the record's 198 bytes copied out and back in.
void BM_TimingRecordWriteAndRead_PhysicalFloor(benchmark::State& state) {
  uint8_t record[kRecordBytes] = {};
  uint8_t buffer[kRecordBytes];
  uint8_t back[kRecordBytes];
  for (auto _ : state) {
    benchmark::DoNotOptimize(record);
    std::memcpy(buffer, record, kRecordBytes);
    benchmark::DoNotOptimize(buffer);
    std::memcpy(back, buffer, kRecordBytes);
    benchmark::DoNotOptimize(back);
  }
}
BENCHMARK(BM_TimingRecordWriteAndRead_PhysicalFloor);

}  // namespace
