// The chassis multi-ADC linking, interface 0x0811: its Async call and its
// packer.
#pragma once

#include <cstdint>

#include "chassis/message/tArray.h"
#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"
#include "fsl/tRequestTransfer.h"
#include "mdbg/tStatus2.h"

namespace nQoFSL100::nQoMIOCS {

namespace nMultiAI_ADC {
template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0811, kId, "tMultiAI_ADC", kLine};
}  // namespace nMultiAI_ADC

// The interface's calls with the object id, inputs and outputs passed in.
class tMultiAI_ADCAsync {
 public:
  void setLinkedPrimVtr_pack(uint16_t objectId, tRequestTransfer& transfer,
                             const tArray<uint16_t>& arg1, nQoMDBG100::tStatus2& status,
                             unsigned int flag);
};

namespace nMultiAI_ADC {
// clang-format off
class tSetLinkedPrimVtrPacker : public tPacker<kMethod<8, 60>, tIn<tArray<uint16_t>>, tOut<>, tViaAsync<&tMultiAI_ADCAsync::setLinkedPrimVtr_pack>> { using tPacker::tPacker; };
// clang-format on
}  // namespace nMultiAI_ADC

}  // namespace nQoFSL100::nQoMIOCS
