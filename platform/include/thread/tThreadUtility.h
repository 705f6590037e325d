// Services of the calling thread.
#pragma once

class tThreadUtility {
 public:
  // Gives the processor to another ready thread, if any, and returns.
  static void yield();
};
