// Control requests of the supervisor tests: in blocks of little-endian words
// and bytes, one request with its blocks, a map that holds nothing, and the
// broker's operations.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

#include "mdbg/tStatus2.h"
#include "mrl/iPrimitiveSupervisorMap.h"
#include "sim/simParameterBlock.h"
#include "sim/simResourceBroker.h"

namespace nQoTest {

using tBytes = std::vector<uint8_t>;

// Little-endian words, then bytes.
inline tBytes words(std::initializer_list<uint32_t> values, const tBytes& tail = {}) {
  tBytes out;
  for (uint32_t value : values)
    for (int shift = 0; shift < 32; shift += 8) out.push_back(uint8_t(value >> shift));
  out.insert(out.end(), tail.begin(), tail.end());
  return out;
}

// A request with an in block of those bytes (none: null) and an out block of
// outSize zero bytes (none: null); answers the code, the out bytes and the
// words written.
template <class tSupervisor>
int request(tSupervisor& supervisor, uint32_t code, std::optional<tBytes> in,
            std::optional<uint32_t> outSize = std::nullopt, tBytes* outBytes = nullptr,
            std::vector<uint32_t>* outWords = nullptr) {
  std::optional<nQoSim::tByteParameterBlock> inBlock, outBlock;
  if (in) inBlock.emplace(*in);
  if (outSize) outBlock.emplace(tBytes(*outSize, 0));
  nQoMDBG100::tStatus2 result;
  supervisor.control(code, inBlock ? &*inBlock : nullptr, outBlock ? &*outBlock : nullptr, result);
  if (outBytes != nullptr && outBlock) {
    const auto* data = static_cast<const uint8_t*>(outBlock->getData());
    outBytes->assign(data, data + outBlock->getSize());
  }
  if (outWords != nullptr && outBlock) *outWords = outBlock->written();
  return result.code;
}

// For supervisors that link nothing: the map is never asked.
class tEmptyMap : public nQoMRL100::iPrimitiveSupervisorMap {
 public:
  nQoMRL100::iPrimitiveSupervisor* lookup(uint32_t, nQoMDBG100::tStatus2&) override {
    return nullptr;
  }
};

// The broker's operations so far (6 reserve, 7 release).
inline std::vector<int> brokerOperations() {
  std::vector<int> operations;
  for (const auto& call : nQoSim::brokerLog()) operations.push_back(call.operation);
  return operations;
}

}  // namespace nQoTest
