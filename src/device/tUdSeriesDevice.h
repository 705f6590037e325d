// The board description that the board object hands to its bus holder and,
// part by part, to the primitives it builds.
#pragma once

#include "primitives/ai/tAIDescription.h"
#include "primitives/cdio/tCDIODescription.h"
#include "tavik/tTavikBusDescription.h"

namespace nQoUdP100 {

struct tUdSeriesDevice : tTavikBusDescription, tAIDescription {
  // Every CDIO primitive keeps a pointer to this one record.
  tCDIODescription cdio{};
};

}  // namespace nQoUdP100
