// How each interrupt source of the Tavik dispatcher is switched on and off: one
// row per source, with what its enable and its disable change, in order:
//
//   enable:  set the flags, change the register bits, write the command;
//   disable: change the register bits, write the command, clear the flags and
//            the source's secondary-request flag.
//
// A register change sets or clears one bit of a soft copy and writes the
// register when that left it dirty. tTavikInterruptDispatcher applies a row
// through one routine; its enable<name>/disable<name> operations, expanded
// from QO_TAVIK_SOURCE_SWITCHES, name the rows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The switches in id order, each with the name of its dispatcher operations:
//
// V(name, id): enable<name> and disable<name> are virtual (the dispatcher's
//   slots of sources 0 and 1, through which their owner binds them);
// S(name, id): enable<name> and disable<name> are plain members;
// C(name, id): as S, but enable<name> takes the caller's mask first (the
//   change-detection enable writes it to 0x248; its disable writes
//   0xFFFFFFFF to 0x24C).
// clang-format off
#define QO_TAVIK_SOURCE_SWITCHES(V, S, C)                      \
  V(GroupAInterruptBit7,         kSwitchGroupABit7)            \
  V(GroupAInterruptBit5Source1,  kSwitchGroupABit5Source1)     \
  S(GroupAInterruptBit5,         kSwitchGroupABit5)            \
  S(GroupAInterruptBit0,         kSwitchGroupABit0)            \
  S(GroupAInterruptBit1,         kSwitchGroupABit1)            \
  S(GroupAInterruptBit2,         kSwitchGroupABit2)            \
  S(GroupAInterruptBit3,         kSwitchGroupABit3)            \
  S(GroupAInterruptBit4,         kSwitchGroupABit4)            \
  S(Counter0PrimaryInterrupt,    kSwitchCounter0Primary)       \
  S(GroupBInterruptBit0,         kSwitchGroupBBit0)            \
  S(GroupBInterruptBit1,         kSwitchGroupBBit1)            \
  S(GroupBInterruptBit2,         kSwitchGroupBBit2)            \
  S(GroupBInterruptBit3,         kSwitchGroupBBit3)            \
  S(GroupBInterruptBit4,         kSwitchGroupBBit4)            \
  S(AOErrorInterrupt,            kSwitchAOError)               \
  S(GroupBInterruptBit6,         kSwitchGroupBBit6)            \
  S(GroupBInterruptBit8,         kSwitchGroupBBit8)            \
  S(Counter1PrimaryInterrupt,    kSwitchCounter1Primary)       \
  S(AOSerialInterruptBit0,       kSwitchAOSerialBit0)          \
  S(AOSerialInterruptBit1,       kSwitchAOSerialBit1)          \
  S(AOSerialInterruptBit2,       kSwitchAOSerialBit2)          \
  S(AOSerialInterruptBit3,       kSwitchAOSerialBit3)          \
  S(Counter0SecondaryInterrupts, kSwitchCounter0Secondary)     \
  S(Counter1SecondaryInterrupts, kSwitchCounter1Secondary)     \
  S(CDIOSource0,                 kSwitchCDIOSource0)           \
  S(CDIOSource1,                 kSwitchCDIOSource1)           \
  S(CDIOSource2,                 kSwitchCDIOSource2)           \
  S(CDIOSource4,                 kSwitchCDIOSource4)           \
  S(CDIOSource5,                 kSwitchCDIOSource5)           \
  S(CDIOSource6,                 kSwitchCDIOSource6)           \
  S(CDIOSource7,                 kSwitchCDIOSource7)           \
  C(ChangeDetectionInterrupt,    kSwitchChangeDetection)
// clang-format on

namespace nQoUdRLP100 {

// The dispatcher's enabled flags and the shared gates of its pairs, in order.
enum tEnabledFlag : uint32_t {
  kSource1Enabled,
  kSource2Enabled,
  kSource21Enabled,
  kSource22Enabled,
  kSource23Enabled,
  kGate22And23,
  kSource24Enabled,
  kSource25Enabled,
  kSource26Enabled,
  kSource27Enabled,
  kGate25And26,
  kSource28Enabled,
  kEnabledFlagCount,
};

// clang-format off
#define QO_TAVIK_SWITCH_ID(name, id) id,
enum tSourceSwitchId : uint8_t {
  QO_TAVIK_SOURCE_SWITCHES(QO_TAVIK_SWITCH_ID, QO_TAVIK_SWITCH_ID, QO_TAVIK_SWITCH_ID)
  kSourceSwitchCount,
};
#undef QO_TAVIK_SWITCH_ID
// clang-format on

// The soft-copied registers a switch changes.
enum class tSwitchRegister : uint8_t {
  kNone,
  kEnableA,         // tInterrupt_A_Enable, 0x192
  kEnableB,         // tInterrupt_B_Enable, 0x196
  kAOSerialEnable,  // 0x0A0
  kCounter0,        // 0x1B8
  kCounter1,        // 0x1BA
};

// The command a switch writes, without soft copy.
enum class tSwitchCommand : uint8_t {
  kNone,
  kCDIO,                    // the row's value to tCDIO_Command, 0x224
  kChangeDetectionEnable,   // the caller's mask to 0x248
  kChangeDetectionDisable,  // the row's value to 0x24C
};

struct tBitChange {
  tSwitchRegister target;
  uint8_t bit;
  bool set;
};

struct tSwitchAction {
  tBitChange changes[3];  // in order; the first kNone ends them
  tSwitchCommand command;
  uint32_t value;
  uint32_t flags;  // bits by tEnabledFlag: set by an enable, cleared by a disable
};

struct tSourceSwitch {
  tSourceSwitchId id;
  uint8_t source;
  tSwitchAction enable;
  tSwitchAction disable;
};

namespace nSourceSwitchRows {

constexpr uint32_t flag(tEnabledFlag which) { return 1u << which; }

// One bit of one enable register.
constexpr tSourceSwitch bitSwitch(tSourceSwitchId id, uint8_t source, tSwitchRegister target,
                                  uint8_t bit, uint32_t flags = 0) {
  return {id,
          source,
          {{{target, bit, true}}, tSwitchCommand::kNone, 0, flags},
          {{{target, bit, false}}, tSwitchCommand::kNone, 0, flags}};
}

// A counter's secondary interrupts: bits 0 and 2 of its interrupt register,
// and one bit of the group enable that both directions clear.
constexpr tSourceSwitch counterSwitch(tSourceSwitchId id, uint8_t source, tSwitchRegister counter,
                                      tSwitchRegister group, uint8_t groupBit) {
  return {id,
          source,
          {{{counter, 0, true}, {counter, 2, true}, {group, groupBit, false}},
           tSwitchCommand::kNone,
           0,
           0},
          {{{counter, 0, false}, {counter, 2, false}, {group, groupBit, false}},
           tSwitchCommand::kNone,
           0,
           0}};
}

// A correlated digital I/O source: one command each way.
constexpr tSourceSwitch commandSwitch(tSourceSwitchId id, uint8_t source, uint32_t on, uint32_t off,
                                      uint32_t onFlags, uint32_t offFlags) {
  return {id,
          source,
          {{}, tSwitchCommand::kCDIO, on, onFlags},
          {{}, tSwitchCommand::kCDIO, off, offFlags}};
}

using enum tSwitchRegister;

// clang-format off
inline constexpr std::array<tSourceSwitch, kSourceSwitchCount> kRows{{
    bitSwitch(kSwitchGroupABit7,         0, kEnableA, 7),
    bitSwitch(kSwitchGroupABit5Source1,  1, kEnableA, 5, flag(kSource1Enabled)),
    bitSwitch(kSwitchGroupABit5,         2, kEnableA, 5, flag(kSource2Enabled)),
    bitSwitch(kSwitchGroupABit0,         3, kEnableA, 0),
    bitSwitch(kSwitchGroupABit1,         4, kEnableA, 1),
    bitSwitch(kSwitchGroupABit2,         5, kEnableA, 2),
    bitSwitch(kSwitchGroupABit3,         6, kEnableA, 3),
    bitSwitch(kSwitchGroupABit4,         7, kEnableA, 4),
    bitSwitch(kSwitchCounter0Primary,   30, kEnableA, 6),
    bitSwitch(kSwitchGroupBBit0,         8, kEnableB, 0),
    bitSwitch(kSwitchGroupBBit1,        15, kEnableB, 1),
    bitSwitch(kSwitchGroupBBit2,        20, kEnableB, 2),
    bitSwitch(kSwitchGroupBBit3,        16, kEnableB, 3),
    bitSwitch(kSwitchGroupBBit4,        17, kEnableB, 4),
    bitSwitch(kSwitchAOError,           14, kEnableB, 5),
    bitSwitch(kSwitchGroupBBit6,        18, kEnableB, 6),
    bitSwitch(kSwitchGroupBBit8,         9, kEnableB, 8),
    bitSwitch(kSwitchCounter1Primary,   32, kEnableB, 9),
    bitSwitch(kSwitchAOSerialBit0,      10, kAOSerialEnable, 0),
    bitSwitch(kSwitchAOSerialBit1,      11, kAOSerialEnable, 1),
    bitSwitch(kSwitchAOSerialBit2,      12, kAOSerialEnable, 2),
    bitSwitch(kSwitchAOSerialBit3,      13, kAOSerialEnable, 3),
    counterSwitch(kSwitchCounter0Secondary, 29, kCounter0, kEnableA, 8),
    counterSwitch(kSwitchCounter1Secondary, 31, kCounter1, kEnableB, 10),
    commandSwitch(kSwitchCDIOSource0, 21, 0x1000, 0x2000, flag(kSource21Enabled), flag(kSource21Enabled)),
    commandSwitch(kSwitchCDIOSource1, 22, 0x100, 0x200,
                  flag(kSource22Enabled) | flag(kGate22And23), flag(kSource22Enabled) | flag(kGate22And23)),
    commandSwitch(kSwitchCDIOSource2, 23, 0x100, 0x200,
                  flag(kSource23Enabled) | flag(kGate22And23), flag(kSource23Enabled) | flag(kGate22And23)),
    commandSwitch(kSwitchCDIOSource4, 24, 0x400, 0x800, flag(kSource24Enabled), flag(kSource24Enabled)),
    commandSwitch(kSwitchCDIOSource5, 25, 0x40, 0x80,
                  flag(kSource25Enabled) | flag(kGate25And26), flag(kSource25Enabled) | flag(kGate25And26)),
    commandSwitch(kSwitchCDIOSource6, 26, 0x40, 0x80,
                  flag(kSource26Enabled) | flag(kGate25And26), flag(kSource26Enabled) | flag(kGate25And26)),
    // Disabling source 27 also closes the gate of the pair 25 and 26.
    commandSwitch(kSwitchCDIOSource7, 27, 0x10000, 0x20000,
                  flag(kSource27Enabled), flag(kSource27Enabled) | flag(kGate25And26)),
    {kSwitchChangeDetection, 28,
     {{}, tSwitchCommand::kChangeDetectionEnable, 0, flag(kSource28Enabled)},
     {{}, tSwitchCommand::kChangeDetectionDisable, 0xFFFFFFFF, flag(kSource28Enabled)}},
}};
// clang-format on

constexpr bool inIdOrder() {
  for (std::size_t i = 0; i < kRows.size(); ++i)
    if (kRows[i].id != i) return false;
  return true;
}
static_assert(inIdOrder(), "source switch rows out of order");

// Every source but 19 has one row.
constexpr bool everySourceOnce() {
  for (uint32_t source = 0; source < 33; ++source) {
    std::size_t rows = 0;
    for (const auto& row : kRows) rows += row.source == source ? 1 : 0;
    if (rows != (source == 19 ? 0u : 1u)) return false;
  }
  return true;
}
static_assert(everySourceOnce(), "a source without its one switch row");

}  // namespace nSourceSwitchRows

inline constexpr const auto& kSourceSwitches = nSourceSwitchRows::kRows;

}  // namespace nQoUdRLP100
