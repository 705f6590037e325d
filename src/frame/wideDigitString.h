// The wide digit string "0123456789" used by the text utilities, built at
// module load and freed at unload.
#pragma once

#include "frame/tBasicString.h"

namespace nQoUdR100 {

extern constinit tWString gWideDigitString;

int constructWideDigitString();

}  // namespace nQoUdR100
