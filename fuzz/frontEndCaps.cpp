// The analog front-end capability queries over values and rules from
// outside: the bytes give a range-code table, a range list, excitations, DMM
// tables, a query range and value, constraint rules and parameters. Every
// query answers only 0, -50150 or -223749, never reads past a table's end,
// and the constraint algorithm leaves a subsequence of its candidates.
//
// Layout (missing bytes read as 0): four ranges (each two values of mantissa
// 1 byte signed, exponent 1 byte (multiple of 3 unless bit 7), kind 1 byte),
// a query range index (1; 4: null, 5: unknown), an excitation kind and value
// (4), DMM flagged wish (1), then up to 16 rules (type, candidate, a, b: one
// byte each) and the parameters 28 and 40 (1 each).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "device/tAIExcitationCaps.h"
#include "device/tAIFrontEndCaps.h"
#include "device/tAIFrontEndIntervalConstraintAlgorithm.h"
#include "device/tDMMCaps.h"
#include "mdbg/tStatus2.h"
#include "support/tFreshSimulation.h"

namespace {

using nQoUdRLP100::tInterval;
using nQoUdRLP100::tPhysicalValue;

void check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "fuzz_frontEndCaps: %s\n", what);
  std::abort();
}

uint32_t take(const uint8_t* data, size_t size, size_t& at) {
  return at < size ? data[at++] : (++at, 0u);
}

tPhysicalValue valueOf(const uint8_t* data, size_t size, size_t& at) {
  const auto mantissa = static_cast<int8_t>(take(data, size, at));
  const uint32_t exponent = take(data, size, at);
  const auto power =
      static_cast<int16_t>((exponent & 0x80) != 0 ? static_cast<int8_t>(exponent)
                                                  : 3 * (static_cast<int>(exponent % 9) - 4));
  return {mantissa * 1000, power, static_cast<uint16_t>(take(data, size, at) % 3)};
}

bool allowed(int code) { return code == 0 || code == -50150 || code == -223749; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  size_t at = 0;
  tInterval ranges[4];
  for (tInterval& range : ranges) {
    range.lower = valueOf(data, size, at);
    range.upper = valueOf(data, size, at);
  }
  const uint32_t queryIndex = take(data, size, at) % 6;
  const tInterval unknown{{7, 0, 1}, {9, 0, 1}};
  const tInterval* query = queryIndex < 4    ? &ranges[queryIndex]
                           : queryIndex == 4 ? nullptr
                                             : &unknown;

  const nQoUdR100::tAIRangeCode codes[] = {{&ranges[0], 1, 2},
                                           {&ranges[1], 3, 4},
                                           {&ranges[2], 5, 6},
                                           {&ranges[3], 7, 8},
                                           {nullptr, 0, 0}};
  const tInterval* const list[] = {&ranges[0], &ranges[1], &ranges[2], &ranges[3], nullptr};
  const nQoUdR100::tAIFrontEndCaps caps{codes, list};
  nQoMDBG100::tStatus2 found, entry;
  uint16_t first = 0, second = 0;
  nQoUdR100::tAIFrontEndCaps::findRange(&caps, query, &first, &second, found);
  check(allowed(found.code), "findRange code");
  check(found.code != 0 || (first % 2 == 1 && second == first + 1), "findRange codes");
  nQoUdR100::tAIFrontEndCaps::findRangeEntry(&caps, query, entry);
  check(allowed(entry.code), "findRangeEntry code");

  const nQoUdR100::tAIExcitation excitations[] = {{1, ranges[0].lower}, {2, ranges[1].upper}};
  const nQoUdR100::tAIExcitation* const excitationList[] = {&excitations[0], &excitations[1],
                                                            nullptr};
  const nQoUdR100::tAIExcitationCaps excitationCaps{excitationList};
  const nQoUdR100::tAIExcitation wanted{take(data, size, at) % 3, valueOf(data, size, at)};
  nQoMDBG100::tStatus2 excitation, supported;
  nQoUdR100::tAIExcitationCaps::findExcitation(&excitationCaps, wanted, excitation);
  check(allowed(excitation.code), "findExcitation code");
  nQoUdR100::tAIExcitationCaps::isSupported(&excitationCaps, wanted, supported);
  check(allowed(supported.code), "isSupported code");

  const nQoUdR100::tDMMMode modes[] = {{{0, 0, 0, 0, 3, 0}}, {{0, 0, 0, 0, 0, 0}}};
  const nQoUdR100::tDMMRange dmmRanges[] = {
      {&ranges[0], 0, 1}, {&ranges[1], 1, 2}, {&ranges[2], 0, 3}, {nullptr, 0, 0}};
  const nQoUdR100::tDMMCaps dmm{modes, dmmRanges};
  nQoMDBG100::tStatus2 dmmStatus;
  nQoUdR100::tDMMRange dmmEntry{};
  nQoUdR100::tDMMCaps::findRange(&dmm, query, (take(data, size, at) & 1) != 0, &dmmEntry,
                                 dmmStatus);
  check(allowed(dmmStatus.code), "DMM findRange code");
  nQoUdR100::tDMMCaps::hasMode(&dmm, first, dmmStatus);

  std::vector<nQoUdRLP100::tAIConstraintRule> rules(take(data, size, at) % 17);
  for (auto& rule : rules) {
    rule.type = take(data, size, at) % 16;
    rule.candidate = &ranges[take(data, size, at) % 4];
    rule.a = take(data, size, at) % 8;
    rule.b = take(data, size, at) % 8;
  }
  std::vector<const nQoUdRLP100::tAIConstraintRule*> ruleList;
  for (const auto& rule : rules) ruleList.push_back(&rule);
  ruleList.push_back(nullptr);
  const nQoUdRLP100::tAIConstraintSource source{list, ruleList.data()};
  nQoUdRLP100::tAIFrontEndIntervalConstraintAlgorithm algorithm(&source);
  nQoMDBG100::tStatus2 constraint;
  algorithm.setParam28(take(data, size, at) % 8, constraint);
  algorithm.setParam40(take(data, size, at) % 8, constraint);
  algorithm.run(constraint);
  check(constraint.code == 0 || constraint.code == -50150, "constraint code");
  size_t next = 0;
  for (const tInterval* left : algorithm) {
    while (next < 4 && list[next] != left) ++next;
    check(next < 4, "a candidate out of order or unknown");
    ++next;
  }
  return 0;
}
