// The line-filter identifier written to and read back from the byte streams,
// beside the same stream calls (the GUID, then the 24 settings each way, the
// read into locals kept only when the stream had no error) made by hand. The
// measured path must not allocate.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "opaque.h"
#include "orb/tByteInputStream.h"
#include "orb/tByteOutputStream.h"
#include "settings/tTavikLineFilterIdentifier.h"
#include "sim/simAllocator.h"

namespace {

using nQoUdR100::tTavikLineFilterIdentifier;

tTavikLineFilterIdentifier request() {
  tTavikLineFilterIdentifier identifier;
  for (uint32_t line = 0; line < 16; line += 3) identifier.setSetting(0, line, 2);
  identifier.setSetting(1, 4, 1);
  return identifier;
}

void BM_LineFilterIdentifierWriteRead(benchmark::State& state) {
  const tTavikLineFilterIdentifier source = request();
  tTavikLineFilterIdentifier target;
  nQoORB100::tByteOutputStream out;
  int status = 0;
  source.writeExternal(out, status);
  const uint64_t before = nQoSim::totalAllocations();
  for (auto _ : state) {
    out.rewind();
    source.writeExternal(out, status);
    nQoORB100::tByteInputStream in(out.bytes().data(), out.bytes().size());
    target.readExternal(in, status);
    benchmark::DoNotOptimize(target.getSettings());
  }
  if (status != 0 || !target.isEqual(source)) state.SkipWithError("the settings did not travel");
  if (nQoSim::totalAllocations() != before) state.SkipWithError("the measured path allocated");
}
BENCHMARK(BM_LineFilterIdentifierWriteRead);

// Floor: the same stream calls by hand, through the streams' interfaces.
void BM_LineFilterIdentifierWriteRead_Floor(benchmark::State& state) {
  const tTavikLineFilterIdentifier source = request();
  const nQoORB100::tGUID guid = source.getDeviceGUID();
  uint32_t settings[tTavikLineFilterIdentifier::kLines];
  nQoORB100::tGUID readGuid;
  uint32_t readSettings[tTavikLineFilterIdentifier::kLines];
  for (uint32_t i = 0; i < tTavikLineFilterIdentifier::kLines; ++i)
    settings[i] = source.getSettings()[i];
  nQoORB100::tByteOutputStream bytesOut;
  nQoORB100::iExternalOutputStream& out =
      *nQoBench::opaque<nQoORB100::iExternalOutputStream*>(&bytesOut);
  int status = 0;
  for (auto _ : state) {
    bytesOut.rewind();
    guid.writeExternal(out, status);
    for (uint32_t setting : settings) out.writeU32(setting, status);
    nQoORB100::tByteInputStream bytesIn(bytesOut.bytes().data(), bytesOut.bytes().size());
    nQoORB100::iExternalInputStream& in =
        *nQoBench::opaque<nQoORB100::iExternalInputStream*>(&bytesIn);
    nQoORB100::tGUID local;
    uint32_t values[tTavikLineFilterIdentifier::kLines];
    local.readExternal(in, status);
    for (uint32_t& value : values) value = in.readU32(status);
    if (status >= 0) {
      readGuid = local;
      for (uint32_t i = 0; i < tTavikLineFilterIdentifier::kLines; ++i) readSettings[i] = values[i];
    }
    benchmark::DoNotOptimize(readSettings);
  }
  benchmark::DoNotOptimize(readGuid);
  if (status != 0) state.SkipWithError("the settings did not travel");
}
BENCHMARK(BM_LineFilterIdentifierWriteRead_Floor);

}  // namespace
