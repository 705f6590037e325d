// The register map of one cartridge slot of the second-generation chassis
// controller chip: 60 registers, every one a register class of its own, no
// locks. Each class is of one kind: control (soft copy, written by flush),
// strobe (no soft copy, written at once), status (read into the soft copy) or
// pins (both). The five pin registers store their offset and identifier when
// the map is built; tCcPins is a member twice (ids 24 and 25).
//
//   tMorro2Cartridge slot(&bus, window, &status);       // controls and pins dirty
//   slot.CYA.setField(5, 3, &status);
//   slot.CYA.flush(&status, 0);                         // one write at 0x0FC
//   slot.CcPins[0].readField(3, &status);               // reads 0x020, answers bit 2
//   slot.CartridgeControlStrobes.writeField(2, 1, &status, 0);   // writes 0x2 at 0x058
#pragma once

#include <cstdint>

#include "bus/iBus.h"
#include "chassis/maps/tChassisMapTraits.h"
#include "mdbg/tStatus2.h"
#include "registers/registerRunMacros.h"
#include "registers/tBusWindowMap.h"
#include "registers/tRegisterLockSlot.h"
#include "registers/tRegisterRun.h"

// The catalogue (registerRunMacros.h): control kWriteFields, strobe
// kStrobeFields, status kReadFields, pins kReadWriteFields.
// clang-format off
#define QO_MORRO2_CARTRIDGE_REGISTERS(P, C, E) \
  C( 0, ActionBitStatus,                0x028, kReadFields,  0, kForget, kNoAccessors, , {1, 15, 0}) \
  C( 1, ActionBitSet,                   0x02C, kStrobeFields, 0, kNone, kNoAccessors, , {1, 15, 0}) \
  C( 2, ActionBitClear,                 0x030, kStrobeFields, 0, kNone, kNoAccessors, , {1, 15, 0}) \
  C( 3, ActionBitStatisticsEnable,      0x034, kStrobeFields, 0, kNone, kNoAccessors, , {1, 15, 0}) \
  C( 4, ActionBitErrorStatus,           0x038, kReadFields,  0, kForget, kNoAccessors, , {1, 15, 0}) \
  C( 5, ActionBitErrorInterruptEnable,  0x03C, kStrobeFields, 0, kNone, kNoAccessors, , {1, 15, 0}) \
  C( 6, ActionBitErrorConfirm,          0x040, kStrobeFields, 0, kNone, kNoAccessors, , {1, 15, 0}) \
  C( 7, ActionBitStatisticsDisable,     0x04C, kStrobeFields, 0, kNone, kNoAccessors, , {1, 15, 0}) \
  C( 8, ActionBitErrorInterruptDisable, 0x050, kStrobeFields, 0, kNone, kNoAccessors, , {1, 15, 0}) \
  C( 9, ActionBitClearInterruptEnable,  0x0E8, kStrobeFields, 0, kNone, kNoAccessors, , {1, 15, 0}) \
  C(10, ActionBitClearConfirm,          0x0EC, kStrobeFields, 0, kNone, kNoAccessors, , {1, 15, 0}) \
  C(11, ActionBitClearInterruptDisable, 0x0F0, kStrobeFields, 0, kNone, kNoAccessors, , {1, 15, 0}) \
  C(12, ActionBitClearStatus,           0x0F4, kReadFields,  0, kForget, kNoAccessors, , {1, 15, 0}) \
  C(13, ProcessorControl,               0x000, kWriteFields, 0, kRewrite, kSetRegister, , \
    {1, 0, 0}, {2, 4, 1}, {4, 8, 8}) \
  C(14, CartridgeControl,               0x008, kWriteFields, 0, kRewrite, kSetRegister, , \
    {2, 5, 5, kServed, 3}, {5, 11, 8}, {6, 14, 12}, {7, 15, 15, kServed, 2}, \
    {10, 20, 20, kServed, 2}, {13, 24, 24}) \
  E(15, CcLowerPinSources, 1,           0x014, kWriteFields, 0, kRewrite, kAtConstruction, \
    kSetRegister, , {1, 3, 0, kServed, 8}) \
  C(16, CartridgeControlStrobes,        0x058, kStrobeFields, 0, kNone, kWriteRegister, , \
    {1, 0, 0, kServed, 3}) \
  C(17, InputHeader,                    0x0B4, kWriteFields, 0, kRewrite, kNoAccessors, \
    QO_FIELD_SETTER(setInputHeaderBf), {1, 15, 0}) \
  E(18, CcUpperPinSources, 1,           0x0E4, kWriteFields, 0, kRewrite, kAtConstruction, \
    kSetRegister, , {1, 3, 0, kServed, 2}) \
  C(19, CartridgeControl2,              0x0F8, kWriteFields, 0, kRewrite, kSetRegister, , \
    {1, 3, 0}, {2, 4, 4}, {4, 8, 8}) \
  C(20, DataMemory,                     0x400, kWriteFields, 0, kRewrite, kNoAccessors, , {1, 31, 0}) \
  C(21, ProgramMemory,                  0x800, kWriteFields, 0, kRewrite, kNoAccessors, , {1, 31, 0}) \
  C(22, ConvertControl,                 0x01C, kWriteFields, 0, kRewrite, kSetRegister, , \
    {1, 3, 0}, {2, 4, 4, kServed, 3}, {6, 12, 8}) \
  E(23, CcPinDirections, 1,             0x018, kWriteFields, 0, kRewrite, kAtConstruction, \
    kSetRegister, , {1, 0, 0, kServed, 10}) \
  E(24, CcPins, 2,                      0x020, kReadWriteFields, 0, kRewrite, kAtConstruction, \
    kSetRegister, , {1, 0, 0, kServed, 10}) \
  C(26, DI_ChangeIrq,                   0x0C4, kWriteFields, 0, kRewrite, kSetRegister, , \
    {1, 7, 0, kServed, 2}) \
  C(27, DI_ChangeDetectIrq,             0x0C8, kStrobeFields, 0, kNone, kWriteRegister, , \
    {1, 0, 0, kServed, 2}, {4, 4, 4, kServed, 4}) \
  C(28, DI_ChangeDetectStatus,          0x0CC, kReadFields,  0, kForget, kNoAccessors, , \
    {1, 0, 0, kServed, 2}) \
  C(29, DI_ChangeDetectLatchedDI,       0x0D0, kReadFields,  0, kForget, kNoAccessors, , {1, 7, 0}) \
  C(30, DI_Filter,                      0x0D4, kWriteFields, 0, kRewrite, kSetRegister, , \
    {1, 0, 0, kServed, 2}) \
  C(31, TimedDigitalControl,            0x0D8, kWriteFields, 0, kRewrite, kSetRegister, , \
    {1, 3, 0, kServed, 2}, {3, 8, 8, kServed, 2}, {6, 12, 12, kServed, 2}) \
  C(32, TimedDigitalControlStrobes,     0x0DC, kStrobeFields, 0, kNone, kNoAccessors, , \
    {1, 0, 0, kServed, 2}) \
  C(33, ExternalDigitalSelect,          0x0E0, kWriteFields, 0, kRewrite, kSetRegister, , \
    {1, 2, 0}, {3, 4, 4}) \
  C(34, DataFormat,                     0x054, kWriteFields, 0, kRewrite, kSetRegister, , \
    {1, 3, 0}, {2, 5, 4}, {4, 8, 8, kServed, 2}) \
  C(35, FifoControl,                    0x098, kWriteFields, 0, kRewrite, kSetRegister, , \
    {1, 0, 0, kServed, 2}, {4, 5, 4}, {6, 9, 8}, {8, 16, 16, kServed, 2}, {11, 21, 20}, \
    {13, 25, 24}) \
  C(36, FifoControlStrobes,             0x09C, kStrobeFields, 0, kNone, kWriteRegister, , \
    {1, 0, 0, kServed, 9}) \
  C(37, FifoStatus,                     0x0A0, kReadFields,  0, kForget, kNoAccessors, , \
    {1, 0, 0, kServed, 4}, {6, 8, 8}) \
  C(38, InputFifoTransferCount,         0x0A4, kWriteFields, 0, kRewrite, kNoAccessors, \
    QO_FIELD_SETTER(setInputFifoTransferCountBf), {1, 9, 0}) \
  C(39, OutputFifoTransferCount,        0x0A8, kWriteFields, 0, kRewrite, kNoAccessors, \
    QO_FIELD_SETTER(setOutputFifoTransferCountBf), {1, 9, 0}) \
  C(40, GlobalPulseDelay,               0x070, kWriteFields, 0, kRewrite, kSetRegister, , \
    {1, 19, 0}, {3, 27, 24}) \
  C(41, HsiInputControl,                0x080, kWriteFields, 0, kRewrite, kSetRegister, , \
    {1, 1, 0}, {2, 2, 2}, {4, 4, 4, kServed, 4}, {8, 14, 8}, {10, 20, 16}, {12, 25, 24}, \
    {14, 30, 28}) \
  C(42, HsiInputStrobes,                0x084, kStrobeFields, 0, kNone, kWriteRegister, , \
    {1, 0, 0, kServed, 4}) \
  C(43, HsiOutputControl,               0x088, kWriteFields, 0, kRewrite, kSetRegister, , \
    {1, 1, 0}, {2, 2, 2, kServed, 2}, {4, 7, 4}, {5, 8, 8, kServed, 3}, {9, 13, 12}, \
    {11, 17, 16}, {13, 20, 20}) \
  C(44, HsiOutputLength,                0x08C, kWriteFields, 0, kRewrite, kNoAccessors, \
    QO_FIELD_SETTER(setHsiOutputLengthBf), {1, 12, 0}) \
  C(45, HsiOutputStrobes,               0x090, kStrobeFields, 0, kNone, kWriteRegister, , \
    {1, 0, 0, kServed, 4}) \
  C(46, HsiStatus,                      0x094, kReadFields,  0, kForget, kNoAccessors, , \
    {1, 0, 0, kServed, 3}, {5, 4, 4, kServed, 4}) \
  C(47, InputMemoryOffset,              0x0AC, kWriteFields, 0, kRewrite, kNoAccessors, \
    QO_FIELD_SETTER(setInputMemoryOffsetBf), {1, 7, 0}) \
  C(48, OutputMemoryOffset,             0x0B0, kWriteFields, 0, kRewrite, kNoAccessors, \
    QO_FIELD_SETTER(setOutputMemoryOffsetBf), {1, 7, 0}) \
  C(49, HsiOutputTimes,                 0x0B8, kWriteFields, 0, kRewrite, kSetRegister, , \
    {1, 5, 0}, {3, 14, 8}) \
  C(50, InterruptEnable,                0x0BC, kStrobeFields, 0, kNone, kWriteRegister, , \
    {1, 0, 0, kServed, 7}) \
  C(51, InterruptDisable,               0x0C0, kStrobeFields, 0, kNone, kWriteRegister, , \
    {1, 0, 0, kServed, 7}) \
  C(52, SpiControl,                     0x004, kWriteFields, 0, kRewrite, kSetRegister, , \
    {1, 0, 0}, {3, 5, 4}) \
  C(53, SpiDivideRate,                  0x010, kWriteFields, 0, kRewrite, kNoAccessors, \
    QO_FIELD_SETTER(setSpiDivideRateBf), {1, 15, 0}) \
  C(54, TimerControl,                   0x05C, kWriteFields, 0, kRewrite, kSetRegister, , \
    {1, 3, 0}, {2, 4, 4}, {4, 7, 7}, {5, 8, 8}) \
  C(55, TimerControlStrobes,            0x060, kStrobeFields, 0, kNone, kWriteRegister, , \
    {1, 0, 0, kServed, 11}) \
  C(56, TimerResetValueA,               0x064, kWriteFields, 0, kRewrite, kNoAccessors, , {1, 31, 0}) \
  C(57, TimerStatus,                    0x068, kReadFields,  0, kForget, kNoAccessors, , \
    {1, 0, 0, kServed, 2}) \
  C(58, TimerResetValueB,               0x06C, kWriteFields, 0, kRewrite, kNoAccessors, , {1, 31, 0}) \
  C(59, CYA,                            0x0FC, kWriteFields, 0, kRewrite, kSetRegister, , \
    {1, 0, 0, kServed, 2}, {4, 3, 3}, {5, 5, 4}, {7, 8, 8})
// clang-format on

namespace nQoUdRLP100 {

inline constexpr tRegisterRun kMorro2CartridgeRuns[] = {
    QO_MORRO2_CARTRIDGE_REGISTERS(QO_RUN_P, QO_RUN_C, QO_RUN_E)};

inline constexpr char kMorro2CartridgeFile[] = "tMorro2Cartridge";

// The chassis sites, with the lines this map's reports are known by.
struct tMorro2CartridgeTraits
    : tChassisMapTraits<kMorro2CartridgeRuns, 0x804, 0, tLockSlot::kNone, kMorro2CartridgeFile> {
  static constexpr tRegisterMapSites kSites = [] {
    tRegisterMapSites sites = tChassisMapTraits::kSites;
    sites.markDirty = 154;
    sites.isDirty = 141;
    sites.markClean = 167;
    sites.flushStub = 20;
    sites.refreshStub = 25;
    sites.setFieldStub = 32;
    sites.writeFieldStub = 40;
    sites.getFieldStub = 46;
    sites.readFieldStub = 53;
    return sites;
  }();
  static constexpr tDeviceTreeSites kDeviceSites{
      {kMorro2CartridgeFile, 331}, {kMorro2CartridgeFile, 333}, {kMorro2CartridgeFile, 335}};
  static constexpr tDeviceTreeSites kShortDeviceSites{
      {kMorro2CartridgeFile, 300}, {kMorro2CartridgeFile, 302}, {kMorro2CartridgeFile, 304}};
  static constexpr nQoUdR100::tStatusSite kNoBus{kMorro2CartridgeFile, 280};
};

// The register members, in index order.
struct tMorro2CartridgeRegisters {
  using tTraits = tMorro2CartridgeTraits;
  QO_MORRO2_CARTRIDGE_REGISTERS(QO_MEMBER_P, QO_MEMBER_C, QO_MEMBER_E)

 protected:
  QO_VISIT_REGISTERS(QO_MORRO2_CARTRIDGE_REGISTERS)
};

class tMorro2Cartridge final
    : public tBusWindowMap<tMorro2CartridgeRegisters, tMorro2CartridgeTraits> {
 public:
  using tBusWindowMap::tBusWindowMap;
};

}  // namespace nQoUdRLP100
