#include "frame/wideDigitString.h"

#include "frame/moduleEntry.h"

namespace nQoUdR100 {

constinit tWString gWideDigitString;

namespace {
void destroyWideDigitString(void*) { gWideDigitString.reset(); }
}  // namespace

int constructWideDigitString() {
  gWideDigitString.assign(L"0123456789");
  // A string that could not be stored fails the load.
  if (gWideDigitString.allocationFailed()) {
    gWideDigitString.reset();
    return -1;
  }
  if (registerAtExit(destroyWideDigitString, nullptr, &gModuleAtExitHead) != 0) {
    // Without an at-exit entry nothing would ever free the string.
    gWideDigitString.reset();
    return -1;
  }
  return 0;
}

}  // namespace nQoUdR100
