// Which candidate intervals of an analog front end remain under a list of
// constraint rules: reset copies the source's candidates, then each rule
// whose condition holds on the parameters removes its candidate (the first
// occurrence) or keeps only it; the nulled entries are dropped at the end.
//
//   tAIFrontEndIntervalConstraintAlgorithm algorithm(&source);
//   algorithm.setParam28(7, status);
//   algorithm.run(status);
//   for (const tInterval* left : algorithm.candidates()) ...;
#pragma once

#include <cstdint>

#include "frame/tBasicString.h"
#include "frame/tGrowableArray.h"
#include "frame/tInterval.h"
#include "mdbg/tStatus2.h"
#include "primitives/ai/tAIScanningFrontEndConfig.h"

namespace nQoUdRLP100 {

// A rule: type 0 to 12 (the table in the .cpp), its candidate and words a, b.
struct tAIConstraintRule {
  uint32_t type;
  const tInterval* candidate;
  uint32_t a;
  uint32_t b;
};

// The candidates and the rules, each a null-terminated list.
struct tAIConstraintSource {
  const tInterval* const* candidates;
  const tAIConstraintRule* const* rules;
};

class tAIFrontEndIntervalConstraintAlgorithm {
 public:
  explicit tAIFrontEndIntervalConstraintAlgorithm(const tAIConstraintSource* source)
      : _source(source) {}
  virtual ~tAIFrontEndIntervalConstraintAlgorithm() = default;
  tAIFrontEndIntervalConstraintAlgorithm(const tAIFrontEndIntervalConstraintAlgorithm&) = delete;
  tAIFrontEndIntervalConstraintAlgorithm& operator=(const tAIFrontEndIntervalConstraintAlgorithm&) =
      delete;

  // Each does nothing when the status holds an error; the first answers the
  // status code.
  int setParam16(uint32_t value, nQoMDBG100::tStatus2& status);
  // From words 14 and 15 of the channel record.
  void setParams20And24(const nQoUdP100::tAIScanningFrontEndConfig& channel,
                        nQoMDBG100::tStatus2& status);
  void setParam28(uint32_t value, nQoMDBG100::tStatus2& status);
  void setParam32(uint32_t value, nQoMDBG100::tStatus2& status);
  void setParam40(uint64_t value, nQoMDBG100::tStatus2& status);
  // -50352 when the text cannot be copied.
  void setChannelSuffix(const wchar_t* suffix, nQoMDBG100::tStatus2& status);

  // Nulls the first occurrence of the candidate, respectively every other one.
  void remove(const tInterval* candidate);
  void keepOnly(const tInterval* candidate);
  // The source's candidates, in order (-50352 when they do not fit).
  void reset(nQoMDBG100::tStatus2& status);
  // reset, the rules in order (a type above 12 is -50150 and passed over),
  // then the nulled entries dropped.
  void run(nQoMDBG100::tStatus2& status);

  // The candidates left after run (before run: after reset).
  const tInterval* const* begin() const { return _candidates.begin(); }
  const tInterval* const* end() const { return _candidates.begin() + _left; }
  std::size_t size() const { return _left; }
  const nQoUdR100::tWString& channelSuffix() const { return _channelSuffix; }

 private:
  bool holds(const tAIConstraintRule& rule) const;

  const tAIConstraintSource* _source;
  uint32_t _param16 = 4;
  uint32_t _param20 = 0xFFFFFFFF;
  uint32_t _param24 = 0xFFFFFFFF;
  uint32_t _param28 = 5;
  uint32_t _param32 = 42;
  uint64_t _param40 = 0;
  nQoUdR100::tWString _channelSuffix{L"_external_channel"};
  nQoUdR100::tGrowableArray<const tInterval*> _candidates;
  std::size_t _left = 0;
};

}  // namespace nQoUdRLP100
