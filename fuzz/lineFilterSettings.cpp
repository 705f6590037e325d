// Line filter settings from outside. The first byte picks the allocation to
// fail (its low 7 bits; 0: none) and whether the rest is a whole settings
// stream (top bit set) or the entry count and entries that follow a default
// base part and identifier. The stream is read into objects
// holding 0, 1 and 3 entries (a read appends what it reads), the objects are
// copied into each other, cloned, and written and read back. Every status is
// 0, -50352 or the end of the stream; a clean read appends exactly its
// entries, a clean copy makes equal lists, a clean round trip gives the same
// bytes, a clone is null only with an error, and nothing leaks.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "frame/moduleEntry.h"
#include "orb/tByteInputStream.h"
#include "orb/tByteOutputStream.h"
#include "settings/tTavikLineFilterSettings.h"
#include "sim/simAllocator.h"
#include "sim/simStatusLog.h"
#include "support/tFreshSimulation.h"

namespace {

using nQoUdR100::tLineFilterEntry;
using nQoUdR100::tTavikLineFilterSettings;

void check(bool condition) {
  if (!condition) std::abort();
}

bool allowed(int code) { return code == 0 || code == -50352 || code == nQoORB100::kEndOfStream; }

std::vector<tLineFilterEntry> entriesOf(const tTavikLineFilterSettings& settings) {
  std::vector<tLineFilterEntry> out;
  settings.supervisorRecord().lineEntries.forEach(
      [&](const tLineFilterEntry& entry) { out.push_back(entry); });
  return out;
}

std::vector<uint8_t> bytesOf(const tTavikLineFilterSettings& settings) {
  nQoORB100::tByteOutputStream out;
  int status = 0;
  settings.writeExternal(out, status);
  check(status == 0);
  return out.bytes();
}

void readInto(tTavikLineFilterSettings& settings, const uint8_t* data, size_t size) {
  const std::vector<tLineFilterEntry> before = entriesOf(settings);
  const bool failedBefore = settings.supervisorRecord().lineEntries.allocationFailed();
  nQoORB100::tByteInputStream in(data, size);
  int status = 0;
  settings.readExternal(in, status);
  check(allowed(status));
  if (status != 0 || failedBefore) return;
  // Whatever came in follows what was held.
  const std::vector<tLineFilterEntry> after = entriesOf(settings);
  check(after.size() >= before.size());
  check(std::vector<tLineFilterEntry>(after.begin(), after.begin() + before.size()) == before);
  nQoORB100::tByteInputStream again(data, size);
  tTavikLineFilterSettings fresh;
  fresh.readExternal(again, status);
  if (status == 0)
    check(std::vector<tLineFilterEntry>(after.begin() + before.size(), after.end()) ==
          entriesOf(fresh));
}

void copy(tTavikLineFilterSettings& target, const tTavikLineFilterSettings& source) {
  nQoMDBG100::tStatus2 status;
  nQoUdR100::copyFrom(target, &source, status);
  check(status.code == 0 || status.code == -50352);
  if (status.code == 0) check(entriesOf(target) == entriesOf(source));
}

void cloneAndRoundTrip(const tTavikLineFilterSettings& settings) {
  int status = 0;
  nQoORB100::tObject* clone = settings.clone(status);
  check(allowed(status));
  check(clone != nullptr || status != 0);
  if (clone != nullptr) {
    int local = 0;
    clone->getClass(local).deleteInstance(clone, local);
  }
  const std::vector<uint8_t> once = bytesOf(settings);
  tTavikLineFilterSettings back;
  nQoORB100::tByteInputStream in(once.data(), once.size());
  status = 0;
  back.readExternal(in, status);
  check(allowed(status));
  if (status == 0 && !settings.supervisorRecord().lineEntries.allocationFailed())
    check(bytesOf(back) == once);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  static const bool loaded = [] {
    nQoSim::setStatusLogging(false);
    return moduleMessageEntry(0) == 0;
  }();
  check(loaded);
  if (size < 1) return 0;
  const int64_t liveBefore = nQoSim::liveAllocations();
  {
    std::vector<uint8_t> stream;
    if ((data[0] & 0x80) == 0) {
      stream = bytesOf(tTavikLineFilterSettings());
      stream.resize(stream.size() - 4);
    }
    stream.insert(stream.end(), data + 1, data + size);
    tTavikLineFilterSettings objects[3];
    objects[1].supervisorRecord().lineEntries.append({1, 3, 2});
    for (uint32_t i = 0; i < 3; ++i)
      objects[2].supervisorRecord().lineEntries.append({i % 2, i, 4 - i});
    nQoSim::failAllocation(data[0] & 0x7F);
    for (tTavikLineFilterSettings& settings : objects)
      readInto(settings, stream.data(), stream.size());
    copy(objects[0], objects[2]);
    copy(objects[2], objects[1]);
    copy(objects[1], objects[0]);
    for (const tTavikLineFilterSettings& settings : objects) cloneAndRoundTrip(settings);
    nQoSim::failAllocation(0);
  }
  check(nQoSim::liveAllocations() == liveBefore);
  return 0;
}
