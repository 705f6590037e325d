// Hides a value from the optimiser: floors take the pointers, function
// pointers and counts they check or call through it, so their checks and
// indirect calls stay in the loop as in the code they judge.
//
//   const void* map = nQoBench::opaque<const void*>(&board.map);
//
// benchmark::DoNotOptimize on such a local does not serve: with this compiler
// its two-way operand ("+m,r") was seen to leave the local's stack slot
// unwritten, so the floor read whatever an earlier benchmark had left there
// and skipped its work when that was zero.
#pragma once

namespace nQoBench {

template <class T>
inline T opaque(T value) {
  asm volatile("" : "+r"(value));
  return value;
}

}  // namespace nQoBench
