// What a thread may do to itself: sleep (the sleeping waster's road, so a
// test clock moves and the sleep log records it) or give up its turn.
//
//   tThreadUtility::sleep(10);   // about 10 ms of the platform clock
//   tThreadUtility::yield();
#pragma once

#include <cstdint>

class tThreadUtility {
 public:
  static void sleep(uint32_t milliseconds);
  // Gives the processor to another ready thread, if any, and returns.
  static void yield();
};
