// Every element converter over fuzzed text in both modes: a counting pass
// answers what a converting pass with room produces, and a pass with a fuzzed
// capacity writes no more than that capacity. The string converters agree
// with the element converters.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "frame/nString.h"
#include "support/tFreshSimulation.h"

namespace {

using namespace nQoUdR100;
using namespace nQoUdR100::nQoKABBO_1_0::nString;

template <class T>
std::vector<T> elements(const uint8_t* data, size_t size) {
  std::vector<T> out(size / sizeof(T));
  if (!out.empty()) std::memcpy(out.data(), data, out.size() * sizeof(T));
  return out;
}

template <class tIn, class tOut>
void check(uint64_t (*converter)(const tIn*, uint64_t, tOut*, uint64_t, nQoAPALS100::tStatus&,
                                 uint32_t),
           const std::vector<tIn>& source, uint32_t mode, uint64_t fuzzedCapacity) {
  nQoAPALS100::tStatus counting;
  const uint64_t count = converter(source.data(), source.size(), nullptr, 0, counting, mode);

  const uint64_t room = count + 1;
  std::vector<tOut> out(room + 8, tOut(0x5A));
  nQoAPALS100::tStatus converting;
  if (converter(source.data(), source.size(), out.data(), room, converting, mode) != count ||
      converting.code != counting.code)
    std::abort();
  for (uint64_t i = room; i < out.size(); ++i)
    if (out[i] != tOut(0x5A)) std::abort();

  const uint64_t capacity = fuzzedCapacity % (room + 2);
  std::vector<tOut> small(capacity + 8, tOut(0x5A));
  nQoAPALS100::tStatus bounded;
  const uint64_t written =
      converter(source.data(), source.size(), small.data(), capacity, bounded, mode);
  if (written > capacity || written > count) std::abort();
  for (uint64_t i = capacity; i < small.size(); ++i)
    if (small[i] != tOut(0x5A)) std::abort();
  if (bounded.code == 0 &&
      (written != count || std::memcmp(small.data(), out.data(), written * sizeof(tOut)) != 0))
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  if (size < 2) return 0;
  const uint32_t mode = data[0] & 1 ? kTerminated : data[0] >> 1;
  const uint64_t capacity = data[1];
  data += 2;
  size -= 2;
  const auto narrow = elements<char>(data, size);
  const auto units = elements<uint16_t>(data, size);
  const auto wide = elements<wchar_t>(data, size);

  check(widenChars, narrow, mode, capacity);
  check(convertUTF8ToUTF32, narrow, mode, capacity);
  check(convertUTF8ToUTF16, narrow, mode, capacity);
  check(convertUTF16ToUTF32, units, mode, capacity);
  check(convertUTF16ToUTF8, units, mode, capacity);
  check(narrowChars, wide, mode, capacity);
  check(convertUTF32ToUTF16, wide, mode, capacity);
  check(convertUTF32ToUTF8, wide, mode, capacity);

  nQoAPALS100::tStatus status;
  tWString text;
  utf8ToUTF32String(narrow.data(), narrow.size(), text, status, mode);
  nQoAPALS100::tStatus elementStatus;
  const uint64_t count =
      convertUTF8ToUTF32(narrow.data(), narrow.size(), nullptr, 0, elementStatus, mode);
  if (status.code != elementStatus.code || (status.code == 0 && text.size() != count)) std::abort();
  return 0;
}
