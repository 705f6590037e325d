// The board description that the board object hands to its bus holder.
#pragma once

#include "tavik/tTavikBusDescription.h"

namespace nQoUdP100 {

struct tUdSeriesDevice : tTavikBusDescription {};

}  // namespace nQoUdP100
