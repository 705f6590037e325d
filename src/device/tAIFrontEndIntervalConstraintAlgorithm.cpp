#include "device/tAIFrontEndIntervalConstraintAlgorithm.h"

#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoUdRLP100 {

namespace {

constexpr const char kFile[] = "tAIFrontEndIntervalConstraintAlgorithm";

using tAlgorithm = tAIFrontEndIntervalConstraintAlgorithm;
enum class tAction : uint8_t { kRemove, kKeep };
// What a rule's words are compared with: a alone, a and b (b with param28),
// or a and b as one 64-bit word (a the low half).
enum class tTest : uint8_t { kA, kAAndB, kWide };
struct tRuleRow {
  tAction action;
  tTest test;
  uint32_t param;  // which parameter a is compared with (16, 20, 24, 28, 32; 40 for kWide)
};

// clang-format off
constexpr tRuleRow kRules[] = {
    {tAction::kRemove, tTest::kA,     20},   // 0
    {tAction::kRemove, tTest::kA,     24},   // 1
    {tAction::kRemove, tTest::kA,     28},   // 2
    {tAction::kRemove, tTest::kAAndB, 20},   // 3
    {tAction::kRemove, tTest::kAAndB, 24},   // 4
    {tAction::kKeep,   tTest::kA,     20},   // 5
    {tAction::kKeep,   tTest::kA,     24},   // 6
    {tAction::kKeep,   tTest::kA,     28},   // 7
    {tAction::kKeep,   tTest::kAAndB, 20},   // 8
    {tAction::kKeep,   tTest::kAAndB, 24},   // 9
    {tAction::kRemove, tTest::kA,     32},   // 10
    {tAction::kRemove, tTest::kA,     16},   // 11
    {tAction::kRemove, tTest::kWide,  40},   // 12
};
// clang-format on
constexpr uint32_t kRuleTypes = sizeof kRules / sizeof kRules[0];

}  // namespace

int tAlgorithm::setParam16(uint32_t value, nQoMDBG100::tStatus2& status) {
  if (status.isNotFatal()) _param16 = value;
  return status.code;
}

void tAlgorithm::setParams20And24(const nQoUdP100::tAIScanningFrontEndConfig& channel,
                                  nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  _param20 = channel.words14To16[0];
  _param24 = channel.words14To16[1];
}

void tAlgorithm::setParam28(uint32_t value, nQoMDBG100::tStatus2& status) {
  if (status.isNotFatal()) _param28 = value;
}

void tAlgorithm::setParam32(uint32_t value, nQoMDBG100::tStatus2& status) {
  if (status.isNotFatal()) _param32 = value;
}

void tAlgorithm::setParam40(uint64_t value, nQoMDBG100::tStatus2& status) {
  if (status.isNotFatal()) _param40 = value;
}

void tAlgorithm::setChannelSuffix(const wchar_t* suffix, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  if (!_channelSuffix.assign(suffix != nullptr ? suffix : L""))
    nQoUdR100::setCode(status, nQoUdR100::kOutOfMemory, {kFile, 120});
}

void tAlgorithm::remove(const tInterval* candidate) {
  for (std::size_t i = 0; i < _left; ++i) {
    if (_candidates[i] == candidate) {
      _candidates[i] = nullptr;
      return;
    }
  }
}

void tAlgorithm::keepOnly(const tInterval* candidate) {
  for (std::size_t i = 0; i < _left; ++i)
    if (_candidates[i] != candidate) _candidates[i] = nullptr;
}

void tAlgorithm::reset(nQoMDBG100::tStatus2& status) {
  _candidates.clear();
  _left = 0;
  if (status.isFatal() || _source == nullptr || _source->candidates == nullptr) return;
  for (const tInterval* const* candidate = _source->candidates; *candidate != nullptr;
       ++candidate) {
    if (!_candidates.append(*candidate)) {
      nQoUdR100::setCode(status, nQoUdR100::kOutOfMemory, {kFile, 160});
      break;
    }
  }
  _left = _candidates.size();
}

bool tAlgorithm::holds(const tAIConstraintRule& rule) const {
  const tRuleRow& row = kRules[rule.type];
  if (row.test == tTest::kWide) return ((uint64_t{rule.b} << 32) | rule.a) == _param40;
  const uint32_t param = row.param == 16   ? _param16
                         : row.param == 20 ? _param20
                         : row.param == 24 ? _param24
                         : row.param == 28 ? _param28
                                           : _param32;
  return rule.a == param && (row.test == tTest::kA || rule.b == _param28);
}

void tAlgorithm::run(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  reset(status);
  if (_source != nullptr && _source->rules != nullptr) {
    for (const tAIConstraintRule* const* rule = _source->rules; *rule != nullptr; ++rule) {
      if (status.isFatal()) break;
      if ((*rule)->type >= kRuleTypes) {
        nQoUdR100::setCode(status, nQoUdR100::kRefused, {kFile, 227});
        continue;
      }
      if (!holds(**rule)) continue;
      if (kRules[(*rule)->type].action == tAction::kRemove)
        remove((*rule)->candidate);
      else
        keepOnly((*rule)->candidate);
    }
  }
  std::size_t kept = 0;
  for (std::size_t i = 0; i < _left; ++i)
    if (_candidates[i] != nullptr) _candidates[kept++] = _candidates[i];
  _left = kept;
}

}  // namespace nQoUdRLP100
