// The calls of a recording output stream as steps that a test writes out in
// stream order: a resource identifier's four calls are one Id() step, and
// signed words compare by their sign-extended value.
//
//   EXPECT_EQ(nQoTest::steps(out.calls()),
//             (std::vector<tStep>{I32(-1), Id(), U32(1), Base()}));
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "sim/simStreams.h"

namespace nQoTest {

struct tStep {
  std::string operation;  // "writeU32", ..., or "identifier"
  uint64_t value;
  bool operator==(const tStep&) const = default;
};

inline void PrintTo(const tStep& step, std::ostream* os) {
  *os << step.operation << ' ' << static_cast<int64_t>(step.value);
}

inline tStep U16(uint16_t value) { return {"writeU16", value}; }
inline tStep U32(uint32_t value) { return {"writeU32", value}; }
inline tStep I32(int32_t value) { return {"writeI32", static_cast<uint64_t>(int64_t{value})}; }
inline tStep U64(uint64_t value) { return {"writeU64", value}; }
// A string of size characters.
inline tStep Str(uint64_t size = 0) { return {"writeString", size}; }
// A default identifier.
inline tStep Id() { return {"identifier", 0}; }
// A default base part.
inline tStep Base() { return U32(0); }

// The calls as steps; GUID (two u64), name and index become one identifier
// step whose value is the index.
inline std::vector<tStep> steps(const std::vector<nQoSim::tStreamCall>& calls) {
  std::vector<tStep> out;
  for (std::size_t i = 0; i < calls.size(); ++i) {
    if (i + 3 < calls.size() && calls[i].operation == "writeU64" &&
        calls[i + 1].operation == "writeU64" && calls[i + 2].operation == "writeString" &&
        calls[i + 3].operation == "writeU32") {
      const bool isDefault =
          calls[i].value == 0 && calls[i + 1].value == 0 && calls[i + 2].text.empty();
      out.push_back({isDefault ? "identifier" : "named identifier", calls[i + 3].value});
      i += 3;
      continue;
    }
    out.push_back({calls[i].operation, calls[i].value});
  }
  return out;
}

// The calls as steps, one each.
inline std::vector<tStep> rawSteps(const std::vector<nQoSim::tStreamCall>& calls) {
  std::vector<tStep> out;
  for (const nQoSim::tStreamCall& call : calls) out.push_back({call.operation, call.value});
  return out;
}

// The steps with each default identifier written out as its four calls.
inline std::vector<tStep> expanded(const std::vector<tStep>& steps) {
  std::vector<tStep> out;
  for (const tStep& step : steps) {
    if (step == Id())
      out.insert(out.end(), {U64(0), U64(0), Str(), U32(0)});
    else
      out.push_back(step);
  }
  return out;
}

}  // namespace nQoTest
