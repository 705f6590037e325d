// Starts and joins one thread before any benchmark runs. The C library takes
// its locks by a cheaper route while a process has never had a second thread;
// whichever benchmark first made one would otherwise slow every lock of the
// runs after it, and a floor run early in the interleaved order would read
// several times faster than the same floor run late.
#include <thread>

namespace {

const bool gThreaded = [] {
  std::thread([] {}).join();
  return true;
}();

}  // namespace
