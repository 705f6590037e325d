// Rounds of a removal on the test's thread while passes run on another: at
// most 300,000 rounds or 300 ms, and at least until the passes have made
// kEnoughStressCalls calls, with a guard of 10 s of elapsed time. Answers the
// rounds run.
//
//   const int rounds = nQoTest::runStressRounds(calls, [&](int round) { ... });
//   EXPECT_GE(calls, nQoTest::kEnoughStressCalls);
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

namespace nQoTest {

inline constexpr uint32_t kEnoughStressCalls = 200;

template <class tRound>
int runStressRounds(const std::atomic<uint32_t>& calls, tRound round) {
  constexpr int kRounds = 300000;
  constexpr auto kBound = std::chrono::milliseconds(300);
  const auto start = std::chrono::steady_clock::now();
  int rounds = 0;
  for (;; ++rounds) {
    const auto elapsed = std::chrono::steady_clock::now() - start;
    if (elapsed > std::chrono::seconds(10)) break;
    if ((rounds >= kRounds || elapsed > kBound) && calls >= kEnoughStressCalls) break;
    round(rounds);
  }
  return rounds;
}

}  // namespace nQoTest
