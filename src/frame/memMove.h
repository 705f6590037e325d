// Byte copy over the kernel layer; the two ranges may overlap.
#pragma once

#include <cstddef>

namespace nQoUdR100 {

void* memMove(void* destination, const void* source, std::size_t count);

}  // namespace nQoUdR100
