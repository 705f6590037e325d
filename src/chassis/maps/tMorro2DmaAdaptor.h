// The register map of the second-generation chassis controller's DMA adaptor
// block: six plain registers over a window of its own, no register classes, no
// locks; the map's users reach the registers at offsets of their own.
#pragma once

#include <cstdint>

#include "bus/iBus.h"
#include "chassis/maps/tChassisMapTraits.h"
#include "mdbg/tStatus2.h"
#include "registers/registerRunMacros.h"
#include "registers/tBusWindowMap.h"
#include "registers/tRegisterLockSlot.h"
#include "registers/tRegisterRun.h"

// The catalogue (registerRunMacros.h).
// clang-format off
#define QO_MORRO2_DMA_ADAPTOR_REGISTERS(P, C, E) \
  P(0, Plain_0, kPlainNoSoftCopy, 0, kNone) \
  P(1, Plain_1, kPlain,           0, kRewrite) \
  P(2, Plain_2, kPlain,           0, kForget) \
  P(3, Plain_3, kPlain,           0, kForget) \
  P(4, Plain_4, kPlain,           0, kRewrite) \
  P(5, Plain_5, kPlain,           0, kForget)
// clang-format on

namespace nQoUdRLP100 {

inline constexpr tRegisterRun kMorro2DmaAdaptorRuns[] = {
    QO_MORRO2_DMA_ADAPTOR_REGISTERS(QO_RUN_P, QO_RUN_C, QO_RUN_E)};

inline constexpr char kMorro2DmaAdaptorFile[] = "tMorro2DmaAdaptor";
using tMorro2DmaAdaptorTraits =
    tChassisMapTraits<kMorro2DmaAdaptorRuns, 0, 0, tLockSlot::kNone, kMorro2DmaAdaptorFile>;

// The register members, in index order.
struct tMorro2DmaAdaptorRegisters {
  using tTraits = tMorro2DmaAdaptorTraits;
  QO_MORRO2_DMA_ADAPTOR_REGISTERS(QO_MEMBER_P, QO_MEMBER_C, QO_MEMBER_E)

 protected:
  QO_VISIT_REGISTERS(QO_MORRO2_DMA_ADAPTOR_REGISTERS)
};

class tMorro2DmaAdaptor final
    : public tBusWindowMap<tMorro2DmaAdaptorRegisters, tMorro2DmaAdaptorTraits> {
 public:
  using tBusWindowMap::tBusWindowMap;
};

}  // namespace nQoUdRLP100
