// What a walk over orders of steps shares: the orders themselves and the
// tally of the faults they met.
//
//   for (const auto& order : ordersOf(steps, [](uint32_t) { return false; })) ...
//   tally.note("fire", "bring-up, 1, fire, release", faults);   // one line per fault
//   tally.report(walks);                 // each fault once, with its first order
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace nQoTest {

// Every order of the steps up to three long, from the empty one on, and four
// long where one step is of the kind that comes at most once per order
// (once(step) true: a deploy).
template <class tStep, class tOnce>
std::vector<std::vector<tStep>> ordersOf(const std::vector<tStep>& steps, tOnce once) {
  std::vector<std::vector<tStep>> orders{{}};
  for (std::size_t from = 0, length = 1; length <= 4; ++length) {
    const std::size_t to = orders.size();
    for (std::size_t i = from; i < to; ++i)
      for (const tStep& step : steps) {
        const bool had = std::ranges::any_of(orders[i], once);
        if (once(step) ? had : length == 4 && !had) continue;
        std::vector<tStep> longer = orders[i];
        longer.push_back(step);
        orders.push_back(longer);
      }
    from = to;
  }
  return orders;
}

// Each fault line a walk met, once, with the first order that met it and how
// many orders did.
class tFaultTally {
 public:
  // Notes each line of faults, met at step in the order walked.
  void note(const std::string& step, const std::string& walked, const std::string& faults) {
    std::istringstream lines(faults);
    for (std::string line; std::getline(lines, line);) {
      tMet& met = _faults[step + ": " + line];
      if (met.count++ == 0) met.first = walked;
    }
  }
  // One failure per fault line, out of the walks there were.
  void report(std::size_t walks) const {
    for (const auto& [fault, met] : _faults)
      ADD_FAILURE() << fault << " (first after " << met.first << "; " << met.count << " of "
                    << walks << " walks)";
  }

 private:
  struct tMet {
    std::string first;
    std::size_t count = 0;
  };
  std::map<std::string, tMet> _faults;
};

}  // namespace nQoTest
