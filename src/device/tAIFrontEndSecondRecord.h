// The second record of an AI front-end description. Boards whose front end
// writes the variant-2 configuration words point at the built-in one
// (kBuiltInFrontEndRecord); the front end compares only the address.
#pragma once

#include "primitives/ai/tAIFrontEndDescription.h"

namespace nQoUdP100 {

struct tAIFrontEndSecondRecord {};

}  // namespace nQoUdP100
