// The register map of one DMA channel window of the VESK chip (0x84 bytes at
// 0x500 + 0x100 x channel of the chip's space). Bits 31, 30, 25, 24 and 19..16
// of Channel_Control are commands: its soft copy keeps only 0x3CF0FFFF after a
// write.
//
//   tVESKChannel channel(bus, window, &status);   // reads 0x04, 0x0C, 0x14, 0x1C
//   channel.Channel_Control.setRegister(channel.Channel_Control.getRegister() | 0x40000000);
//   channel.Channel_Control.writeRegister(&status);
//   channel.Channel_Command.writeRegister(1, &status);   // start
#pragma once

#include <array>
#include <cstdint>

#include "registers/tMemMappedAddressSpace.h"
#include "registers/tRegisterRow.h"
#include "vesk/tVESKMap.h"

// clang-format off
#define QO_VESK_CHANNEL_REGISTERS(R)                                    \
  R( 0, Channel_Command,       0x00, kStrobe, kNone,   kKeepAll)         \
  R( 1, Channel_Control,       0x04, kWrite,  kLoad,   0x3CF0FFFF)       \
  R( 2, Channel_Status,        0x3C, kRead,   kForget, kKeepAll)         \
  R( 3, Channel_Register_2C,   0x2C, kRead,   kForget, kKeepAll)         \
  R( 4, Channel_Register_08,   0x08, kRead,   kForget, kKeepAll)         \
  R( 5, Channel_Config_0C,     0x0C, kWrite,  kLoad,   kKeepAll)         \
  R( 6, Channel_Config_14,     0x14, kWrite,  kLoad,   kKeepAll)         \
  R( 7, Channel_Config_1C,     0x1C, kWrite,  kLoad,   kKeepAll)         \
  R( 8, Channel_Chain_Address, 0x20, kWrite,  kZero,   kKeepAll)         \
  R( 9, Channel_Register_28,   0x28, kRead,   kForget, kKeepAll)         \
  R(10, Channel_Register_10,   0x10, kRead,   kForget, kKeepAll)         \
  R(11, Channel_Register_18,   0x18, kWrite,  kZero,   kKeepAll)
// clang-format on

namespace nQoUdRLP100 {

inline constexpr std::array<tRegisterRow, 12> kVESKChannelRows{
    {QO_VESK_CHANNEL_REGISTERS(QO_VESK_ROW)}};
inline constexpr uint32_t kVESKChannelWindowLength = 0x84;
static_assert(checkCatalogue(kVESKChannelRows, kVESKChannelWindowLength, 0));

inline constexpr char kVESKChannelFile[] = "qomiorlp/tVESKChannel";

struct tVESKChannelTraits : tVESKSites<kVESKChannelFile> {
  static constexpr const tRegisterRow* kRows = kVESKChannelRows.data();
  static constexpr uint32_t kWindowLength = kVESKChannelWindowLength;
};

struct tVESKChannelRegisters {
  using tTraits = tVESKChannelTraits;
  QO_VESK_CHANNEL_REGISTERS(QO_VESK_DECLARE)
  template <class tVisit>
  void forEach(tVisit visit) {
    QO_VESK_CHANNEL_REGISTERS(QO_VESK_VISIT)
  }
};

class tVESKChannel final : public tVESKMap<tVESKChannelTraits, tVESKChannelRegisters> {
 public:
  using tVESKMap::tVESKMap;
};

}  // namespace nQoUdRLP100
