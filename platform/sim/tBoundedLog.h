// A log that keeps its most recent records: when it holds its limit, the
// older half is dropped in one step, so a long run stays in bounded memory and
// an add costs amortised constant time. The caller holds the lock that guards
// the log.
//
//   nQoSim::tBoundedLog<tCall> log;              // kDefaultLimit records at most
//   const uint64_t at = log.add(call);           // the record's sequence number
//   if (tCall* kept = log.find(at)) kept->code = 5;  // null once dropped or cleared
//   for (const tCall& c : log.records()) ...     // oldest kept first
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace nQoSim {

template <typename tRecord>
class tBoundedLog {
 public:
  // Enough for what a test reads back of one case, and a few megabytes at most.
  static constexpr std::size_t kDefaultLimit = std::size_t{1} << 17;

  constexpr tBoundedLog() = default;
  explicit constexpr tBoundedLog(std::size_t limit) : _limit(limit == 0 ? 1 : limit) {}

  // Appends the record, first dropping the older records down to half the
  // limit when the log is full; answers the record's sequence number.
  uint64_t add(tRecord record) {
    if (_records.size() >= _limit) {
      const std::size_t drop = _records.size() - _limit / 2;
      _records.erase(_records.begin(), _records.begin() + static_cast<std::ptrdiff_t>(drop));
      _dropped += drop;
    }
    _records.push_back(std::move(record));
    return _dropped + _records.size() - 1;
  }

  // The record of a sequence number; null when it is no longer kept.
  tRecord* find(uint64_t sequence) {
    if (sequence < _dropped || sequence - _dropped >= _records.size()) return nullptr;
    return &_records[static_cast<std::size_t>(sequence - _dropped)];
  }

  const std::vector<tRecord>& records() const { return _records; }
  // The sequence number the next record gets.
  uint64_t next() const { return _dropped + _records.size(); }
  std::size_t size() const { return _records.size(); }
  std::size_t limit() const { return _limit; }
  // Drops every record; their sequence numbers find nothing afterwards.
  void clear() {
    _dropped += _records.size();
    _records.clear();
  }

 private:
  std::size_t _limit = kDefaultLimit;
  std::vector<tRecord> _records;
  uint64_t _dropped = 0;
};

}  // namespace nQoSim
