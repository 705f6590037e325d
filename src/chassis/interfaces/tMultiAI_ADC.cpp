#include "chassis/interfaces/tMultiAI_ADC.h"

#include "chassis/message/tRequestCall.h"

namespace nQoFSL100::nQoMIOCS {

void tMultiAI_ADCAsync::setLinkedPrimVtr_pack(uint16_t objectId, tRequestTransfer& transfer,
                                              const tArray<uint16_t>& arg1,
                                              nQoMDBG100::tStatus2& status, unsigned int flag) {
  tRequestCall<nMultiAI_ADC::kMethod<8, 60>>::pack(objectId, transfer, status, flag, arg1);
}

}  // namespace nQoFSL100::nQoMIOCS
