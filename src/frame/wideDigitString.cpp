#include "frame/wideDigitString.h"

#include "frame/moduleEntry.h"

namespace nQoUdR100 {

constinit tWString gWideDigitString;

namespace {
void destroyWideDigitString(void*) { gWideDigitString.reset(); }
}  // namespace

int constructWideDigitString() {
  gWideDigitString.assign(L"0123456789");
  return registerAtExit(destroyWideDigitString, nullptr, &gModuleAtExitHead);
}

}  // namespace nQoUdR100
