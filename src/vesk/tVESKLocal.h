// The register map of the VESK chip's own register window (0x474 bytes), beside
// its DMA-channel windows. Every register is read from the board when the map
// is built; Local_CSIGR is the chip's identification register.
//
//   tVESKLocal local(bus, window, &status);   // reads 0xB0 ... 0x470, writes none
//   uint32_t id = local.Local_CSIGR.getRegister();
#pragma once

#include <array>
#include <cstdint>

#include "registers/tMemMappedAddressSpace.h"
#include "registers/tRegisterRow.h"
#include "vesk/tVESKMap.h"

// clang-format off
#define QO_VESK_LOCAL_REGISTERS(R)                          \
  R(0, Local_Register_B0,  0x0B0, kWrite, kLoad, kKeepAll)   \
  R(1, Local_Register_C0,  0x0C0, kWrite, kLoad, kKeepAll)   \
  R(2, Local_Register_C4,  0x0C4, kWrite, kLoad, kKeepAll)   \
  R(3, Local_Register_F4,  0x0F4, kWrite, kLoad, kKeepAll)   \
  R(4, Local_CSIGR,        0x460, kWrite, kLoad, kKeepAll)   \
  R(5, Local_Register_470, 0x470, kWrite, kLoad, kKeepAll)
// clang-format on

namespace nQoUdRLP100 {

inline constexpr std::array<tRegisterRow, 6> kVESKLocalRows{{QO_VESK_LOCAL_REGISTERS(QO_VESK_ROW)}};
inline constexpr uint32_t kVESKLocalWindowLength = 0x474;
static_assert(checkCatalogue(kVESKLocalRows, kVESKLocalWindowLength, 0));

inline constexpr char kVESKLocalFile[] = "qomiorlp/tVESKLocal";

struct tVESKLocalTraits : tVESKSites<kVESKLocalFile> {
  static constexpr const tRegisterRow* kRows = kVESKLocalRows.data();
  static constexpr uint32_t kWindowLength = kVESKLocalWindowLength;
};

struct tVESKLocalRegisters {
  using tTraits = tVESKLocalTraits;
  QO_VESK_LOCAL_REGISTERS(QO_VESK_DECLARE)
  template <class tVisit>
  void forEach(tVisit visit) {
    QO_VESK_LOCAL_REGISTERS(QO_VESK_VISIT)
  }
};

class tVESKLocal final : public tVESKMap<tVESKLocalTraits, tVESKLocalRegisters> {
 public:
  using tVESKMap::tVESKMap;
};

}  // namespace nQoUdRLP100
