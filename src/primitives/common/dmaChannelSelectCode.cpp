#include "primitives/common/dmaChannelSelectCode.h"

namespace nQoUdP100 {

namespace {
constexpr uint8_t kSelectCodes[16] = {1, 2, 4, 8, 3, 5, 6, 7, 9, 10, 11, 12, 13, 14, 15, 0};
}  // namespace

uint8_t dmaChannelSelectCode(uint32_t channel) { return channel < 16 ? kSelectCodes[channel] : 0; }

}  // namespace nQoUdP100
