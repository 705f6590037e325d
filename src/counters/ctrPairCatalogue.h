// The register catalogue of a counter pair's window: two general-purpose
// counters, G0 and G1, and the registers they share. Every register index with
// its window offset, access width, kind, lock group (1: G0 configuration, 2:
// G1 configuration, 3: the joint reset), keep mask and the register whose bytes
// it shares as a view (two write views of one counting-mode register; the
// halves of the 32-bit save registers, high half at the lower address). The
// table is checked at compile time below; tCtrPair expands it into its
// register classes and members, ctrPairFields.h holds the field tables.
//
// R(index, name, offset, width, kind, group, keep, view, class[, extras]):
//   a register with a class tCtrPair::t<name> derived from class<traits,
//   index> and a member tCtrPair::<name>. Writable and read-only registers
//   are restored as their kind says (rewritten; forgotten).
#pragma once

#include <array>
#include <cstdint>

#include "registers/tRegisterRow.h"

// The AutoIncrement registers' own setter: bits 7..0 of the soft copy.
#define QO_CTR_PAIR_AUTO_INCREMENT                                   \
  void set(uint32_t value, ::nQoMDBG100::tStatus2* status) {         \
    this->setBits(::nQoUdRLP100::fieldMask(7, 0), 0, value, status); \
  }

// clang-format off
#define QO_CTR_PAIR_REGISTERS(R) \
  R( 0, G0_AutoIncrement,        0x88, 16, kWriteFields,  0, kKeepAll, kNoView, tRegisterClassFor, QO_CTR_PAIR_AUTO_INCREMENT) \
  R( 1, G0_Command,              0x0C, 16, kWriteFields,  0, 0x5BE2,   kNoView, tRegisterClassFor)    \
  R( 2, G0_Counting_Mode,        0xB0, 16, kWriteFields,  1, kKeepAll, kNoView, tRegisterClassFor)    \
  R( 3, G0_Tavik_Counting_Mode,  0xB0, 16, kWriteFields,  1, kKeepAll, 2,       tRegisterClassFor)    \
  R( 4, G0_DMA_Control,          0xB8, 16, kWriteFields,  0, kKeepAll, kNoView, tSharedWriteRegister) \
  R( 5, G0_Input_Select,         0x48, 16, kWriteFields,  1, kKeepAll, kNoView, tRegisterClassFor)    \
  R( 6, G0_Load_A,               0x38, 32, kWriteFields,  0, kKeepAll, kNoView, tRegisterClassFor)    \
  R( 7, G0_Load_B,               0x3C, 32, kWriteFields,  0, kKeepAll, kNoView, tRegisterClassFor)    \
  R( 8, G0_Mode,                 0x34, 16, kWriteFields,  1, kKeepAll, kNoView, tRegisterClassFor)    \
  R( 9, G0_Second_Gate,          0xB4, 16, kWriteFields,  1, kKeepAll, kNoView, tRegisterClassFor)    \
  R(10, G0_Tavik_ABZ,            0xC0, 16, kWriteFields,  1, kKeepAll, kNoView, tRegisterClassFor)    \
  R(11, G01_Joint_Reset,         0x90, 16, kWriteFields,  3, 0xFFF3,   kNoView, tRegisterClassFor)    \
  R(12, G1_AutoIncrement,        0x8A, 16, kWriteFields,  0, kKeepAll, kNoView, tRegisterClassFor, QO_CTR_PAIR_AUTO_INCREMENT) \
  R(13, G1_Command,              0x0E, 16, kWriteFields,  0, 0x5BEA,   kNoView, tRegisterClassFor)    \
  R(14, G1_Counting_Mode,        0xB2, 16, kWriteFields,  2, kKeepAll, kNoView, tRegisterClassFor)    \
  R(15, G1_Tavik_Counting_Mode,  0xB2, 16, kWriteFields,  2, kKeepAll, 14,      tRegisterClassFor)    \
  R(16, G1_DMA_Control,          0xBA, 16, kWriteFields,  0, kKeepAll, kNoView, tSharedWriteRegister) \
  R(17, G1_Input_Select,         0x4A, 16, kWriteFields,  2, kKeepAll, kNoView, tRegisterClassFor)    \
  R(18, G1_Load_A,               0x40, 32, kWriteFields,  0, kKeepAll, kNoView, tRegisterClassFor)    \
  R(19, G1_Load_B,               0x44, 32, kWriteFields,  0, kKeepAll, kNoView, tRegisterClassFor)    \
  R(20, G1_Mode,                 0x36, 16, kWriteFields,  2, kKeepAll, kNoView, tRegisterClassFor)    \
  R(21, G1_Second_Gate,          0xB6, 16, kWriteFields,  2, kKeepAll, kNoView, tRegisterClassFor)    \
  R(22, G1_Tavik_ABZ,            0xC2, 16, kWriteFields,  2, kKeepAll, kNoView, tRegisterClassFor)    \
  R(23, Interrupt_G0_Ack,        0x04, 16, kStrobeFields, 0, kKeepAll, kNoView, tRegisterClassFor)    \
  R(24, Interrupt_G0_Enable,     0x92, 16, kWriteFields,  0, kKeepAll, kNoView, tSharedWriteRegister) \
  R(25, Interrupt_G1_Ack,        0x06, 16, kStrobeFields, 0, kKeepAll, kNoView, tRegisterClassFor)    \
  R(26, Interrupt_G1_Enable,     0x96, 16, kWriteFields,  0, kKeepAll, kNoView, tSharedWriteRegister) \
  R(27, G0_DMA_Status,           0xB8, 16, kReadFields,   0, kKeepAll, kNoView, tRegisterClassFor)    \
  R(28, G0_HW_Save,              0x10, 32, kReadFields,   0, kKeepAll, kNoView, tRegisterClassFor)    \
  R(29, G0_HW_Save_High,         0x10, 16, kReadFields,   0, kKeepAll, 28,      tRegisterClassFor)    \
  R(30, G0_HW_Save_Low,          0x12, 16, kReadFields,   0, kKeepAll, 28,      tRegisterClassFor)    \
  R(31, G0_Save,                 0x18, 32, kReadFields,   0, kKeepAll, kNoView, tRegisterClassFor)    \
  R(32, G0_Save_High,            0x18, 16, kReadFields,   0, kKeepAll, 31,      tRegisterClassFor)    \
  R(33, G0_Save_Low,             0x1A, 16, kReadFields,   0, kKeepAll, 31,      tRegisterClassFor)    \
  R(34, G0_Status_1,             0x04, 16, kReadFields,   0, kKeepAll, kNoView, tRegisterClassFor)    \
  R(35, G01_Joint_Status_1,      0x36, 16, kReadFields,   0, kKeepAll, kNoView, tRegisterClassFor)    \
  R(36, G01_Joint_Status_2,      0x3A, 16, kReadFields,   0, kKeepAll, kNoView, tRegisterClassFor)    \
  R(37, G01_Status,              0x08, 16, kReadFields,   0, kKeepAll, kNoView, tRegisterClassFor)    \
  R(38, G1_DMA_Status,           0xBA, 16, kReadFields,   0, kKeepAll, kNoView, tRegisterClassFor)    \
  R(39, G1_HW_Save,              0x14, 32, kReadFields,   0, kKeepAll, kNoView, tRegisterClassFor)    \
  R(40, G1_HW_Save_High,         0x14, 16, kReadFields,   0, kKeepAll, 39,      tRegisterClassFor)    \
  R(41, G1_HW_Save_Low,          0x16, 16, kReadFields,   0, kKeepAll, 39,      tRegisterClassFor)    \
  R(42, G1_Save,                 0x1C, 32, kReadFields,   0, kKeepAll, kNoView, tRegisterClassFor)    \
  R(43, G1_Save_High,            0x1C, 16, kReadFields,   0, kKeepAll, 42,      tRegisterClassFor)    \
  R(44, G1_Save_Low,             0x1E, 16, kReadFields,   0, kKeepAll, 42,      tRegisterClassFor)    \
  R(45, G1_Status_1,             0x06, 16, kReadFields,   0, kKeepAll, kNoView, tRegisterClassFor)
// clang-format on

namespace nQoTIO100 {

using nQoUdRLP100::kKeepAll;
using nQoUdRLP100::kNoView;
using nQoUdRLP100::tRegisterKind;
using nQoUdRLP100::tRegisterRow;
using nQoUdRLP100::tRestore;

inline constexpr uint32_t kCtrPairRegisterCount = 46;
inline constexpr uint32_t kCtrPairWindowLength = 196;
inline constexpr uint32_t kCtrPairLockGroupCount = 3;

// The register indexes by name: kG0_Command, ...
#define QO_CTR_PAIR_INDEX(at, name, ...) k##name = at,
enum tCtrPairIndex : uint32_t { QO_CTR_PAIR_REGISTERS(QO_CTR_PAIR_INDEX) };
#undef QO_CTR_PAIR_INDEX

constexpr tRestore restoreOf(tRegisterKind kind) {
  switch (nQoUdRLP100::baseKind(kind)) {
    case tRegisterKind::kRead: return tRestore::kForget;
    case tRegisterKind::kStrobe: return tRestore::kNone;
    default: return tRestore::kRewrite;
  }
}

#define QO_CTR_PAIR_ROW(at, name, place, bits, kindOf, groupOf, keepMask, view, ...) \
  {.index = (at),                                                                    \
   .offset = (place),                                                                \
   .width = (bits),                                                                  \
   .kind = tRegisterKind::kindOf,                                                    \
   .group = (groupOf),                                                               \
   .restore = restoreOf(tRegisterKind::kindOf),                                      \
   .keep = (keepMask),                                                               \
   .arrayFirst = (at),                                                               \
   .viewOf = (view)},
inline constexpr std::array<tRegisterRow, kCtrPairRegisterCount> kCtrPairRows{
    {QO_CTR_PAIR_REGISTERS(QO_CTR_PAIR_ROW)}};
#undef QO_CTR_PAIR_ROW

static_assert(nQoUdRLP100::checkCatalogue(kCtrPairRows, kCtrPairWindowLength,
                                          kCtrPairLockGroupCount));

inline constexpr auto kCtrPairGroupMembers =
    nQoUdRLP100::groupMembers<kCtrPairLockGroupCount>(kCtrPairRows);

}  // namespace nQoTIO100
