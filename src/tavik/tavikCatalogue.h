// The register catalogue of the Tavik chip's window: every register index with
// its window offset, access width, kind, lock group, what markAllDirty does to
// it and its keep mask (the bits of the soft copy that survive a write; kKeepAll
// for registers without strobe bits). Registers the chip documentation leaves
// unnamed are named after their kind and offset. The table is checked at compile
// time below; tTavik expands it into its register classes and members, and the
// field tables of the field-addressable registers are in tavikFields.h.
//
// R(index, name, offset, width, kind, group, restore, keep[, accessors]):
//   a register with a class tTavik::t<name> and a member tTavik::<name>;
// E(index, array, element, offset, width, kind, group, restore, keep):
//   an element of a register array (QO_TAVIK_ARRAYS).
#pragma once

#include <array>
#include <cstdint>

#include "registers/registerFieldMacros.h"
#include "registers/tRegisterRow.h"

// Named fields, one list per register with more than one, high bit first
// (QO_FIELDS checks the order). Fields the chip documentation leaves unnamed
// are named after what the command sequences (tTavikHelper) do with them, or,
// where they only pass a caller's setting through, after their place.
// Bits 12 to 6 are the arm command's, bit 13 the hammer stop's.
#define QO_TAVIK_AI_COMMAND_1_FIELDS(F) \
  F(bool, AI_Disarm, 13, 13)            \
  F(bool, AI_Command_1_Bit12, 12, 12)   \
  F(bool, AI_Counter_A_Load, 11, 11)    \
  F(bool, AI_Command_1_Bit10, 10, 10)   \
  F(bool, AI_Counter_B_Load, 9, 9)      \
  F(bool, AI_Command_1_Bit8, 8, 8)      \
  F(bool, AI_Strobe_Value_Load, 7, 7)   \
  F(bool, AI_Command_1_Bit6, 6, 6)      \
  F(bool, AI_Counter_C_Load, 5, 5)      \
  F(bool, AI_Bypass_Config_Load, 2, 2)  \
  F(bool, AI_Convert_Sync, 0, 0)
#define QO_TAVIK_AI_MODE_1_FIELDS(F)       \
  F(uint32_t, AI_Mode_1_Bits15_11, 15, 11) \
  F(uint32_t, AI_Mode_1_Bits10_6, 10, 6)   \
  F(uint32_t, AI_Mode_1_Bit5, 5, 5)        \
  F(uint32_t, AI_Mode_1_Bit4, 4, 4)        \
  F(bool, AI_Counter_A_Enable, 3, 3)       \
  F(bool, AI_Mode_1_Bit2, 2, 2)            \
  F(bool, AI_Continuous, 1, 1)             \
  F(uint32_t, AI_Trigger_Once, 0, 0)
#define QO_TAVIK_AI_MODE_2_FIELDS(F)                 \
  F(bool, AI_Mode_2_Bit15, 15, 15)                   \
  F(bool, AI_Mode_2_Bit14, 14, 14)                   \
  F(bool, AI_Second_Trigger, 13, 13)                 \
  F(uint32_t, AI_Mode_2_Bit12, 12, 12)               \
  F(tAI_Load_Select, AI_Counter_A_Load_Select, 9, 9) \
  F(uint32_t, AI_Counter_A_Mode, 8, 8)               \
  F(tAI_Load_Select, AI_Counter_B_Load_Select, 7, 7) \
  F(uint32_t, AI_Counter_B_Mode, 6, 4)               \
  F(tAI_Load_Select, AI_Counter_C_Load_Select, 2, 2) \
  F(uint32_t, AI_Counter_C_Mode, 1, 1)
// The AI timing section and the AI data FIFO share this register.
#define QO_TAVIK_AI_MODE_3_FIELDS(F)   \
  F(uint32_t, AI_Mode_3_Bit11, 11, 11) \
  F(uint32_t, AI_Mode_3_Bit10, 10, 10) \
  F(uint32_t, AI_Mode_3_Bit9, 9, 9)    \
  F(uint32_t, AI_Mode_3_Bit8, 8, 8)    \
  F(uint32_t, AI_FIFO_Mode, 7, 6)      \
  F(uint32_t, AI_Mode_3_Bit5, 5, 5)    \
  F(uint32_t, AI_Mode_3_Bits4_0, 4, 0)
#define QO_TAVIK_AI_PERSONAL_FIELDS(F) \
  F(bool, AI_Personal_Bit10, 10, 10)   \
  F(uint32_t, AI_Personal_Bit6, 6, 6)
#define QO_TAVIK_AI_017C_FIELDS(F)     \
  F(uint32_t, AI_017C_Bit15, 15, 15)   \
  F(uint32_t, AI_017C_Bit14, 14, 14)   \
  F(uint32_t, AI_017C_Bit13, 13, 13)   \
  F(uint32_t, AI_017C_Bit12, 12, 12)   \
  F(uint32_t, AI_017C_Bits11_7, 11, 7) \
  F(uint32_t, AI_017C_Bit6, 6, 6)      \
  F(uint32_t, AI_017C_Bit5, 5, 5)      \
  F(uint32_t, AI_017C_Bits4_0, 4, 0)
#define QO_TAVIK_AI_TRIGGER_SELECT_FIELDS(F)     \
  F(uint32_t, AI_Trigger_Select_Bit15, 15, 15)   \
  F(uint32_t, AI_Trigger_Select_Bit14, 14, 14)   \
  F(uint32_t, AI_Trigger_Select_Bit13, 13, 13)   \
  F(uint32_t, AI_START2_Edge, 12, 12)            \
  F(uint32_t, AI_Trigger_Select_Bits11_7, 11, 7) \
  F(uint32_t, AI_Trigger_Select_Bit6, 6, 6)      \
  F(uint32_t, AI_Trigger_Select_Bit5, 5, 5)      \
  F(uint32_t, AI_Trigger_Select_Bits4_0, 4, 0)
// One word of the AI configuration memory, written per scanned channel.
#define QO_TAVIK_AI_CONFIG_MEMORY_FIELDS(F) \
  F(uint32_t, AI_Config_Bit14, 14, 14)      \
  F(uint32_t, AI_Config_Bit13, 13, 13)      \
  F(uint32_t, AI_Config_Polarity, 12, 12)   \
  F(uint32_t, AI_Config_Gain, 11, 9)        \
  F(uint32_t, AI_Config_Bank, 8, 6)         \
  F(uint32_t, AI_Config_Channel, 5, 0)
#define QO_TAVIK_AI_OUTPUT_CONTROL_FIELDS(F) \
  F(tAI_Output_Mode, AI_Output_Mode, 9, 8)   \
  F(tAI_Output_Select, AI_Output_Select, 1, 0)
#define QO_TAVIK_AI_CONFIG_FIFO_BYPASS_FIELDS(F) \
  F(uint32_t, AI_Bypass_Config_FIFO, 31, 31)     \
  F(uint32_t, AI_Bypass_Polarity, 22, 22)        \
  F(uint32_t, AI_Bypass_Dither, 21, 21)          \
  F(uint32_t, AI_Bypass_Gain, 20, 18)            \
  F(uint32_t, AO_Bypass_AO_Cal_Sel, 17, 15)      \
  F(uint32_t, AI_Bypass_Mode_Mux, 14, 13)        \
  F(uint32_t, AI_Bypass_Cal_Sel_Neg, 12, 10)     \
  F(uint32_t, AI_Bypass_Cal_Sel_Pos, 9, 7)       \
  F(uint32_t, AI_Bypass_Bank, 6, 3)              \
  F(uint32_t, AI_Bypass_Channel, 2, 0)
#define QO_TAVIK_AO_COMMAND_1_FIELDS(F) \
  F(bool, AO_Disarm, 13, 13)            \
  F(bool, AO_Interval_Arm, 10, 10)      \
  F(bool, AO_Interval_Load, 9, 9)       \
  F(bool, AO_UC_Arm, 8, 8)              \
  F(bool, AO_UC_Load, 7, 7)             \
  F(bool, AO_BC_Arm, 6, 6)              \
  F(bool, AO_BC_Load, 5, 5)
#define QO_TAVIK_AO_MODE_1_FIELDS(F)                 \
  F(tAO_Timing_Select_B, AO_Timing_Select_B, 15, 11) \
  F(tAO_Timing_Select_A, AO_Timing_Select_A, 10, 6)  \
  F(bool, AO_Mode_1_Bit5, 5, 5)                      \
  F(bool, AO_Timing_Flag_B, 4, 4)                    \
  F(bool, AO_Timing_Flag_A, 3, 3)                    \
  F(bool, AO_UC_Flag, 1, 1)                          \
  F(bool, AO_Mode_1_Bit0, 0, 0)
#define QO_TAVIK_AO_MODE_2_FIELDS(F)     \
  F(tAO_FIFO_Mode, AO_FIFO_Mode, 15, 14) \
  F(bool, AO_FIFO_Regenerate, 13, 13)    \
  F(bool, AO_Mode_2_Bit11, 11, 11)       \
  F(bool, AO_Mode_2_Bit7, 7, 7)          \
  F(uint32_t, AO_Mode_2_Bits6_4, 6, 4)   \
  F(bool, AO_Mode_2_Bit2, 2, 2)
#define QO_TAVIK_AO_OUTPUT_CONTROL_FIELDS(F) \
  F(uint32_t, AO_Last_Channel, 9, 6)         \
  F(tAO_Output_Select, AO_Output_Select, 1, 0)
#define QO_TAVIK_AO_MODE_3_FIELDS(F)  \
  F(bool, AO_Trigger_Flag_A, 11, 11)  \
  F(bool, AO_Mode_3_Bit5, 5, 5)       \
  F(bool, AO_Mode_3_Bit4, 4, 4)       \
  F(bool, AO_Mode_3_Bit3, 3, 3)       \
  F(uint32_t, AO_Not_An_UPDATE, 2, 2) \
  F(bool, AO_Mode_3_Bit0, 0, 0)
#define QO_TAVIK_AO_PERSONAL_FIELDS(F) \
  F(bool, AO_Personal_Bit12, 12, 12)   \
  F(bool, AO_Personal_Bit10, 10, 10)   \
  F(bool, AO_Personal_Bit6, 6, 6)      \
  F(bool, AO_Personal_Bit5, 5, 5)      \
  F(bool, AO_Personal_Bit4, 4, 4)
#define QO_TAVIK_AO_TRIGGER_SELECT_FIELDS(F) \
  F(bool, AO_Trigger_Select_Bit14, 14, 14)   \
  F(bool, AO_Trigger_Flag_B, 13, 13)         \
  F(bool, AO_Trigger_Select_Bit6, 6, 6)      \
  F(bool, AO_Trigger_Select_Bit5, 5, 5)      \
  F(tAO_Start_Trigger_Select, AO_Start_Trigger_Select, 4, 0)
// Bit 6 is counter 0's and stays out of the AI engine's enables.
#define QO_TAVIK_INTERRUPT_A_ENABLE_FIELDS(F) \
  F(bool, AI_FIFO_Interrupt_Enable, 7, 7)     \
  F(uint32_t, AI_Interrupt_Enables, 5, 0)
// Bit 9 is counter 1's and stays out of the AO engine's enables.
#define QO_TAVIK_INTERRUPT_B_ENABLE_FIELDS(F) \
  F(bool, AO_FIFO_Interrupt_Enable, 8, 8)     \
  F(uint32_t, AO_Interrupt_Enables, 6, 0)
#define QO_TAVIK_JOINT_RESET_FIELDS(F)  \
  F(bool, AO_Configuration_End, 9, 9)   \
  F(bool, AI_Configuration_End, 8, 8)   \
  F(bool, AO_Configuration_Start, 5, 5) \
  F(bool, AI_Configuration_Start, 4, 4) \
  F(bool, AO_Reset, 1, 1)               \
  F(bool, AI_Reset, 0, 0)
#define QO_TAVIK_AO_SERIAL_INTERRUPT_ENABLE_FIELDS(F) \
  F(bool, AO_MUDS_3_Interrupt_Enable, 3, 3)           \
  F(bool, AO_MUDS_2_Interrupt_Enable, 2, 2)           \
  F(bool, AO_MUDS_1_Interrupt_Enable, 1, 1)           \
  F(bool, AO_MUDS_0_Interrupt_Enable, 0, 0)
#define QO_TAVIK_AO_SERIAL_INTERRUPT_ACK_FIELDS(F) \
  F(uint32_t, AO_MUDS_3_Interrupt_Ack, 3, 3)       \
  F(uint32_t, AO_MUDS_2_Interrupt_Ack, 2, 2)       \
  F(uint32_t, AO_MUDS_1_Interrupt_Ack, 1, 1)       \
  F(uint32_t, AO_MUDS_0_Interrupt_Ack, 0, 0)
#define QO_TAVIK_CLOCK_AND_FOUT2_FIELDS \
  QO_FIELD_OF(nClock_And_Fout2::nRIVO_Clock_Freq::tRIVO_Clock_Freq, RIVO_Clock_Freq, 7, 7)
#define QO_TAVIK_INTERRUPT_B_ACK_FIELDS QO_STROBE_FIELD(AO_Error_Interrupt_Ack, 13, 13)
#define QO_TAVIK_TESK_CONTROL_FIELDS QO_FIELD(TESK_Front_Panel_MISO_Enable, 2, 2)
#define QO_TAVIK_TESK_OUTPUT_ENABLE_FIELDS QO_FIELD_OF(tDir, TESK_Dedicated_Output_Enable, 0, 0)

// clang-format off
#define QO_TAVIK_REGISTERS(R, E) \
  R(  0, AI_Command_1,           0x110, 16, kWrite,        1, kRewrite, 0x0000, QO_FIELDS(QO_TAVIK_AI_COMMAND_1_FIELDS))    \
  R(  1, Strobe_0108,            0x108, 16, kStrobe,       1, kNone,    kKeepAll)                                           \
  R(  2, AI_Mode_2,              0x11A, 16, kWrite,        1, kRewrite, kKeepAll, QO_FIELDS(QO_TAVIK_AI_MODE_2_FIELDS))     \
  R(  3, AI_Mode_3,              0x1AE, 16, kWrite,        1, kRewrite, kKeepAll, QO_FIELDS(QO_TAVIK_AI_MODE_3_FIELDS))     \
  R(  4, AI_Personal,            0x19A, 16, kWrite,        1, kRewrite, kKeepAll, QO_FIELDS(QO_TAVIK_AI_PERSONAL_FIELDS))   \
  R(  5, AI_Output_Control,      0x178, 16, kWriteFields,  2, kRewrite, kKeepAll, QO_FIELDS(QO_TAVIK_AI_OUTPUT_CONTROL_FIELDS)) \
  R(  6, Write_0124,             0x124, 32, kWrite,        1, kRewrite, kKeepAll)                                           \
  R(  7, Write_0128,             0x128, 32, kWrite,        1, kRewrite, kKeepAll)                                           \
  R(  8, Read_0184,              0x184, 32, kRead,         0, kForget,  kKeepAll)                                           \
  R(  9, Write_011C,             0x11C, 32, kWrite,        1, kRewrite, kKeepAll)                                           \
  R( 10, Write_0120,             0x120, 32, kWrite,        1, kRewrite, kKeepAll)                                           \
  R( 11, Read_0180,              0x180, 32, kRead,         0, kForget,  kKeepAll)                                           \
  R( 12, Write_012C,             0x12C, 32, kWrite,        1, kRewrite, kKeepAll)                                           \
  R( 13, Write_0130,             0x130, 32, kWrite,        1, kRewrite, kKeepAll)                                           \
  R( 14, Write_017C,             0x17C, 16, kWrite,        1, kRewrite, kKeepAll, QO_FIELDS(QO_TAVIK_AI_017C_FIELDS))       \
  R( 15, Read_0104,              0x104, 16, kRead,         0, kForget,  kKeepAll)                                           \
  R( 16, Analog_Trigger_Etc,     0x17A, 16, kWriteFields, 10, kRewrite, 0xFFDF)                                             \
  R( 17, AI_Trigger_Select,      0x17E, 16, kWrite,        1, kRewrite, kKeepAll, QO_FIELDS(QO_TAVIK_AI_TRIGGER_SELECT_FIELDS)) \
  R( 18, Write_0158,             0x158, 32, kWrite,        3, kRewrite, kKeepAll)                                           \
  R( 19, Write_015C,             0x15C, 32, kWrite,        3, kRewrite, kKeepAll)                                           \
  R( 20, Read_0124,              0x124, 32, kRead,         0, kForget,  kKeepAll)                                           \
  R( 21, AO_Command_2,           0x10A, 16, kWrite,        5, kRewrite, 0x3C0E, QO_FIELD_OF(bool, AO_Command_2_Bit11, 11, 11)) \
  R( 22, AO_Command_1,           0x112, 16, kWrite,        3, kRewrite, 0x181E, QO_FIELDS(QO_TAVIK_AO_COMMAND_1_FIELDS))    \
  R( 23, AO_Mode_1,              0x14C, 16, kWrite,        4, kRewrite, kKeepAll, QO_FIELDS(QO_TAVIK_AO_MODE_1_FIELDS))     \
  R( 24, AO_Mode_2,              0x14E, 16, kWrite,        3, kRewrite, kKeepAll, QO_FIELDS(QO_TAVIK_AO_MODE_2_FIELDS))     \
  R( 25, AO_Output_Control,      0x1AC, 16, kWrite,        4, kRewrite, kKeepAll, QO_FIELDS(QO_TAVIK_AO_OUTPUT_CONTROL_FIELDS)) \
  R( 26, AO_Mode_3,              0x18C, 16, kWrite,        3, kRewrite, kKeepAll, QO_FIELDS(QO_TAVIK_AO_MODE_3_FIELDS))     \
  R( 27, AO_Personal,            0x19C, 16, kWrite,        3, kRewrite, kKeepAll, QO_FIELDS(QO_TAVIK_AO_PERSONAL_FIELDS))   \
  R( 28, Write_0184,             0x184, 16, kWrite,        4, kRewrite, kKeepAll)                                           \
  R( 29, Read_010C,              0x10C, 16, kRead,         0, kForget,  kKeepAll)                                           \
  R( 30, Read_0106,              0x106, 16, kRead,         0, kForget,  kKeepAll)                                           \
  R( 31, AO_Trigger_Select,      0x186, 16, kWrite,        0, kRewrite, kKeepAll, QO_FIELDS(QO_TAVIK_AO_TRIGGER_SELECT_FIELDS)) \
  R( 32, AO_UC_Load_A,           0x160, 32, kWrite,        3, kRewrite, kKeepAll)                                           \
  R( 33, Write_0164,             0x164, 32, kWrite,        3, kRewrite, kKeepAll)                                           \
  R( 34, Read_0128,              0x128, 32, kRead,         0, kForget,  kKeepAll)                                           \
  R( 35, Write_0150,             0x150, 32, kWrite,        3, kRewrite, kKeepAll)                                           \
  R( 36, Write_0154,             0x154, 32, kWrite,        3, kRewrite, kKeepAll)                                           \
  R( 37, Read_0120,              0x120, 32, kRead,         0, kForget,  kKeepAll)                                           \
  R( 38, Clock_and_FOUT,         0x170, 16, kWriteFields, 11, kRewrite, kKeepAll)                                           \
  R( 39, Interrupt_A_Ack,        0x104, 16, kStrobeFields,  9, kNone,    kKeepAll)                                          \
  R( 40, Interrupt_A_Enable,     0x192, 16, kWrite,        9, kRewrite, kKeepAll, QO_FIELDS(QO_TAVIK_INTERRUPT_A_ENABLE_FIELDS)) \
  R( 41, Interrupt_B_Ack,        0x106, 16, kStrobe,       9, kNone,    kKeepAll, QO_TAVIK_INTERRUPT_B_ACK_FIELDS)          \
  R( 42, Write_0176,             0x176, 16, kWrite,        9, kRewrite, kKeepAll)                                           \
  R( 43, Interrupt_B_Enable,     0x196, 16, kWrite,        9, kRewrite, kKeepAll, QO_FIELDS(QO_TAVIK_INTERRUPT_B_ENABLE_FIELDS)) \
  R( 44, IO_Bidirection_Pin,     0x172, 16, kWriteFields, 14, kZero,    kKeepAll, QO_FIELD_OF(tDir, PFI10_Pin_Dir, 10, 10)) \
  R( 45, Joint_Reset,            0x190, 16, kStrobe,      13, kNone,    kKeepAll, QO_STROBE_FIELDS(QO_TAVIK_JOINT_RESET_FIELDS)) \
  R( 46, Joint_Status_2,         0x13A, 16, kReadFields,   0, kForget,  kKeepAll, QO_READ_FIELD(AO_Update_Pending, 5, 5))   \
  R( 47, Joint_Status_1,         0x136, 16, kReadFields,   0, kForget,  kKeepAll)                                           \
  R( 48, RIVO_Shared_MUX,        0x1A2, 16, kWriteFields, 12, kRewrite, kKeepAll)                                           \
  R( 49, RIVO_Trig_A_Output,     0x19E, 16, kWriteFields, 12, kRewrite, kKeepAll)                                           \
  R( 50, RIVO_Trig_Direction,    0x174, 16, kWriteFields, 12, kRewrite, kKeepAll)                                           \
  R( 51, RIVO_Trig_B_Output,     0x1A0, 16, kWriteFields, 12, kRewrite, kKeepAll)                                           \
  R( 52, Write_01B8,             0x1B8, 16, kWrite,        0, kRewrite, 0xFFF7)                                             \
  R( 53, Write_01BA,             0x1BA, 16, kWrite,        0, kRewrite, 0xFFF7)                                             \
  R( 54, Read_01B8,              0x1B8, 16, kRead,         0, kForget,  kKeepAll)                                           \
  R( 55, Read_01BA,              0x1BA, 16, kRead,         0, kForget,  kKeepAll)                                           \
  R( 56, Write_0007,             0x007,  8, kWrite,       21, kRewrite, kKeepAll)                                           \
  R( 57, TESK_Control,           0x013,  8, kWrite,        0, kRewrite, 0xBF, QO_TAVIK_TESK_CONTROL_FIELDS)                 \
  R( 58, AI_Mode_1,              0x118, 16, kWrite,        1, kRewrite, kKeepAll, QO_FIELDS(QO_TAVIK_AI_MODE_1_FIELDS))     \
  R( 59, Write_0180,             0x180, 16, kWrite,        1, kRewrite, kKeepAll)                                           \
  R( 60, Read_0009,              0x009,  8, kRead,         0, kForget,  kKeepAll)                                           \
  R( 61, Write_0011,             0x011,  8, kWrite,        0, kRewrite, kKeepAll)                                           \
  R( 62, Read_0007,              0x007,  8, kRead,         0, kForget,  kKeepAll)                                           \
  R( 63, TESK_Output_Enable,     0x015,  8, kWriteFields, 15, kRewrite, kKeepAll, QO_TAVIK_TESK_OUTPUT_ENABLE_FIELDS)       \
  R( 64, TESK_DIO_Enable,        0x21C,  8, kWrite,        0, kRewrite, kKeepAll)                                           \
  R( 65, Write_0024,             0x024, 32, kWrite,        8, kZero,    kKeepAll)                                           \
  R( 66, Read_0024,              0x024, 32, kRead,         0, kForget,  kKeepAll)                                           \
  R( 67, DIO_Direction,          0x028, 32, kWriteFields,  8, kZero,    kKeepAll)                                           \
  R( 68, Write_00A0,             0x0A0,  8, kWrite,        0, kRewrite, kKeepAll, QO_FIELDS(QO_TAVIK_AO_SERIAL_INTERRUPT_ENABLE_FIELDS)) \
  R( 69, AO_Serial_Interrupt_Ack, 0x0A1,  8, kWrite,        0, kRewrite, 0xF0, QO_FIELDS(QO_TAVIK_AO_SERIAL_INTERRUPT_ACK_FIELDS)) \
  R( 70, Read_00A1,              0x0A1,  8, kRead,         0, kForget,  kKeepAll)                                           \
  R( 71, Read_00A0,              0x0A0,  8, kRead,         0, kForget,  kKeepAll)                                           \
  R( 72, Write_0088,             0x088,  8, kWrite,        0, kRewrite, kKeepAll)                                           \
  R( 73, Read_0088,              0x088,  8, kRead,         0, kForget,  kKeepAll)                                           \
  R( 74, Write_008C,             0x08C,  8, kWrite,        0, kRewrite, kKeepAll)                                           \
  R( 75, Read_001C,              0x01C, 32, kRead,         0, kForget,  kKeepAll)                                           \
  R( 76, Write_01A6,             0x1A6, 16, kWrite,       17, kRewrite, 0xFFFE, QO_FIELD(AI_FIFO_Clear, 0, 0))             \
  R( 77, Write_0009,             0x009,  8, kWrite,       19, kRewrite, kKeepAll)                                           \
  R( 78, Write_005E,             0x05E, 16, kWrite,        0, kRewrite, kKeepAll, QO_FIELDS(QO_TAVIK_AI_CONFIG_MEMORY_FIELDS)) \
  R( 79, Write_01A4,             0x1A4, 16, kWrite,       16, kRewrite, 0xFFFE, QO_FIELD(AI_Config_Memory_Reset, 0, 0))    \
  R( 80, Write_00A4,             0x0A4, 32, kWrite,        0, kRewrite, kKeepAll)                                           \
  R( 81, Write_01A8,             0x1A8, 16, kWrite,       18, kRewrite, kKeepAll)                                           \
  R( 82, Write_0082,             0x082, 16, kWrite,        0, kRewrite, kKeepAll)                                           \
  R( 83, Read_0084,              0x084, 16, kRead,         0, kForget,  kKeepAll)                                           \
  R( 84, Write_000B,             0x00B,  8, kWrite,       20, kRewrite, kKeepAll)                                           \
  R( 85, Write_000F,             0x00F,  8, kWrite,        0, kRewrite, kKeepAll)                                           \
  R( 86, Write_00A3,             0x0A3,  8, kWrite,        0, kRewrite, kKeepAll)                                           \
  R( 87, PFI_Output_Select_1,    0x1D0, 16, kWriteFields, 14, kZero,    kKeepAll)                                           \
  R( 88, PFI_Output_Select_2,    0x1D2, 16, kWriteFields, 14, kZero,    kKeepAll)                                           \
  R( 89, PFI_Output_Select_3,    0x1D4, 16, kWriteFields, 14, kZero,    kKeepAll)                                           \
  R( 90, PFI_Output_Select_4,    0x1D6, 16, kWriteFields, 14, kZero,    kKeepAll)                                           \
  R( 91, PFI_Output_Select_5,    0x1D8, 16, kWriteFields, 14, kZero,    kKeepAll)                                           \
  R( 92, PFI_Output_Select_6,    0x1DA, 16, kWriteFields, 14, kZero,    kKeepAll)                                           \
  R( 93, Read_01DC,              0x1DC, 16, kRead,         0, kForget,  kKeepAll)                                           \
  R( 94, Write_01DE,             0x1DE, 16, kWrite,        8, kZero,    kKeepAll)                                           \
  R( 95, PFI_Filter,             0x0B0, 32, kWriteFields, 14, kRewrite, kKeepAll)                                           \
  R( 96, RIVO_Filter,            0x0B4, 32, kWriteFields, 14, kRewrite, kKeepAll)                                           \
  R( 97, Clock_And_Fout2,        0x1C4, 16, kWriteFields, 11, kRewrite, kKeepAll, QO_TAVIK_CLOCK_AND_FOUT2_FIELDS)          \
  R( 98, Write_01C6,             0x1C6, 16, kWrite,       11, kRewrite, kKeepAll)                                           \
  R( 99, Read_01C8,              0x1C8, 16, kRead,         0, kForget,  kKeepAll)                                           \
  R(100, AI_Config_FIFO_Bypass,  0x218, 32, kWrite,        0, kRewrite, kKeepAll, QO_FIELDS(QO_TAVIK_AI_CONFIG_FIFO_BYPASS_FIELDS)) \
  R(101, Read_0220,              0x220, 32, kRead,         0, kForget,  kKeepAll)                                           \
  R(102, Write_0220,             0x220, 32, kWrite,        0, kRewrite, kKeepAll)                                           \
  R(103, Read_0224,              0x224, 32, kRead,         0, kForget,  kKeepAll)                                           \
  R(104, CDIO_Command,           0x224, 32, kStrobe,       0, kNone,    kKeepAll)                                           \
  R(105, CDI_Mode,               0x228, 32, kWriteFields,  6, kRewrite, kKeepAll)                                           \
  R(106, CDO_Mode,               0x22C, 32, kWriteFields,  7, kRewrite, kKeepAll)                                           \
  R(107, Write_0230,             0x230, 32, kWrite,        0, kRewrite, kKeepAll)                                           \
  R(108, Write_0234,             0x234, 32, kWrite,        0, kRewrite, kKeepAll)                                           \
  R(109, Write_0240,             0x240, 32, kWrite,        0, kRewrite, kKeepAll)                                           \
  R(110, Read_0240,              0x240, 32, kRead,         0, kForget,  kKeepAll)                                           \
  R(111, Write_0244,             0x244, 32, kWrite,        0, kRewrite, kKeepAll)                                           \
  R(112, Read_0244,              0x244, 32, kRead,         0, kForget,  kKeepAll)                                           \
  R(113, Strobe_0248,            0x248, 32, kStrobe,       0, kNone,    kKeepAll)                                           \
  R(114, Strobe_024C,            0x24C, 32, kStrobe,       0, kNone,    kKeepAll)                                           \
  R(115, Strobe_0250,            0x250, 32, kStrobe,       0, kNone,    kKeepAll)                                           \
  R(116, Strobe_0254,            0x254, 32, kStrobe,       0, kNone,    kKeepAll)                                           \
  R(117, Write_00BC,             0x0BC,  8, kWrite,        0, kRewrite, kKeepAll)                                           \
  E(118, Array_0268,         0, 0x268,  8, kWrite,        0, kRewrite, kKeepAll)                                            \
  E(119, Array_0268,         1, 0x269,  8, kWrite,        0, kRewrite, kKeepAll)                                            \
  E(120, Array_0268,         2, 0x26A,  8, kWrite,        0, kRewrite, kKeepAll)                                            \
  E(121, Array_0268,         3, 0x26B,  8, kWrite,        0, kRewrite, kKeepAll)                                            \
  E(122, Array_00C2,         0, 0x0C2,  8, kWrite,        3, kRewrite, kKeepAll)                                            \
  E(123, Array_00C2,         1, 0x0C6,  8, kWrite,        3, kRewrite, kKeepAll)                                            \
  E(124, Array_00C2,         2, 0x0CA,  8, kWrite,        3, kRewrite, kKeepAll)                                            \
  E(125, Array_00C2,         3, 0x0CE,  8, kWrite,        3, kRewrite, kKeepAll)                                            \
  E(126, Array_00C2,         4, 0x0D2,  8, kWrite,        3, kRewrite, kKeepAll)                                            \
  E(127, Array_00C2,         5, 0x0D6,  8, kWrite,        3, kRewrite, kKeepAll)                                            \
  E(128, Array_00C2,         6, 0x0DA,  8, kWrite,        3, kRewrite, kKeepAll)                                            \
  E(129, Array_00C2,         7, 0x0DE,  8, kWrite,        3, kRewrite, kKeepAll)                                            \
  E(130, Array_00C2,         8, 0x0E2,  8, kWrite,        3, kRewrite, kKeepAll)                                            \
  E(131, Array_00C2,         9, 0x0E6,  8, kWrite,        3, kRewrite, kKeepAll)                                            \
  E(132, Array_00C2,        10, 0x0EA,  8, kWrite,        3, kRewrite, kKeepAll)                                            \
  E(133, Array_00C2,        11, 0x0EE,  8, kWrite,        3, kRewrite, kKeepAll)                                            \
  E(134, Array_00C2,        12, 0x0F2,  8, kWrite,        3, kRewrite, kKeepAll)                                            \
  E(135, Array_00C2,        13, 0x0F6,  8, kWrite,        3, kRewrite, kKeepAll)                                            \
  E(136, Array_00C2,        14, 0x0FA,  8, kWrite,        3, kRewrite, kKeepAll)                                            \
  E(137, Array_00C2,        15, 0x0FE,  8, kWrite,        3, kRewrite, kKeepAll)                                            \
  E(138, Array_00C3,         0, 0x0C3,  8, kWrite,        3, kRewrite, kKeepAll)                                            \
  E(139, Array_00C3,         1, 0x0C7,  8, kWrite,        3, kRewrite, kKeepAll)                                            \
  E(140, Array_00C3,         2, 0x0CB,  8, kWrite,        3, kRewrite, kKeepAll)                                            \
  E(141, Array_00C3,         3, 0x0CF,  8, kWrite,        3, kRewrite, kKeepAll)                                            \
  E(142, Array_00C0,         0, 0x0C0, 32, kWrite,        0, kZero,    kKeepAll)                                            \
  E(143, Array_00C0,         1, 0x0C4, 32, kWrite,        0, kZero,    kKeepAll)                                            \
  E(144, Array_00C0,         2, 0x0C8, 32, kWrite,        0, kZero,    kKeepAll)                                            \
  E(145, Array_00C0,         3, 0x0CC, 32, kWrite,        0, kZero,    kKeepAll)                                            \
  E(146, Array_00C0,         4, 0x0D0, 32, kWrite,        0, kZero,    kKeepAll)                                            \
  E(147, Array_00C0,         5, 0x0D4, 32, kWrite,        0, kZero,    kKeepAll)                                            \
  E(148, Array_00C0,         6, 0x0D8, 32, kWrite,        0, kZero,    kKeepAll)                                            \
  E(149, Array_00C0,         7, 0x0DC, 32, kWrite,        0, kZero,    kKeepAll)                                            \
  E(150, Array_00C0,         8, 0x0E0, 32, kWrite,        0, kZero,    kKeepAll)                                            \
  E(151, Array_00C0,         9, 0x0E4, 32, kWrite,        0, kZero,    kKeepAll)                                            \
  E(152, Array_00C0,        10, 0x0E8, 32, kWrite,        0, kZero,    kKeepAll)                                            \
  E(153, Array_00C0,        11, 0x0EC, 32, kWrite,        0, kZero,    kKeepAll)                                            \
  E(154, Array_00C0,        12, 0x0F0, 32, kWrite,        0, kZero,    kKeepAll)                                            \
  E(155, Array_00C0,        13, 0x0F4, 32, kWrite,        0, kZero,    kKeepAll)                                            \
  E(156, Array_00C0,        14, 0x0F8, 32, kWrite,        0, kZero,    kKeepAll)                                            \
  E(157, Array_00C0,        15, 0x0FC, 32, kWrite,        0, kZero,    kKeepAll)                                            \
  R(158, Write_0040,             0x040, 32, kWrite,        0, kRewrite, kKeepAll)                                           \
  E(159, Array_0044,         0, 0x044, 16, kWrite,        0, kRewrite, kKeepAll)                                            \
  E(160, Array_0044,         1, 0x046, 16, kWrite,        0, kRewrite, kKeepAll)                                            \
  E(161, Array_0044,         2, 0x048, 16, kWrite,        0, kRewrite, kKeepAll)                                            \
  E(162, Array_0044,         3, 0x04A, 16, kWrite,        0, kRewrite, kKeepAll)                                            \
  E(163, Array_0044,         4, 0x04C, 16, kWrite,        0, kRewrite, kKeepAll)                                            \
  E(164, Array_0044,         5, 0x04E, 16, kWrite,        0, kRewrite, kKeepAll)                                            \
  E(165, Array_0044,         6, 0x050, 16, kWrite,        0, kRewrite, kKeepAll)                                            \
  E(166, Static_AI_Control,  0, 0x064,  8, kWriteFields, 22, kZero,    kKeepAll)                                            \
  E(167, Static_AI_Control,  1, 0x261,  8, kWriteFields, 22, kZero,    kKeepAll)                                            \
  E(168, Static_AI_Control,  2, 0x262,  8, kWriteFields, 22, kZero,    kKeepAll)                                            \
  E(169, Static_AI_Control,  3, 0x263,  8, kWriteFields, 22, kZero,    kKeepAll)                                            \
  E(170, Static_AI_Control,  4, 0x264,  8, kWriteFields, 22, kZero,    kKeepAll)                                            \
  E(171, Static_AI_Control,  5, 0x265,  8, kWriteFields, 22, kZero,    kKeepAll)                                            \
  E(172, Static_AI_Control,  6, 0x266,  8, kWriteFields, 22, kZero,    kKeepAll)                                            \
  E(173, Static_AI_Control,  7, 0x267,  8, kWriteFields, 22, kZero,    kKeepAll)

// A(array, first index, element count): the register arrays of E rows.
#define QO_TAVIK_ARRAYS(A)     \
  A(Array_0268,        118, 4) \
  A(Array_00C2,        122, 16) \
  A(Array_00C3,        138, 4) \
  A(Array_00C0,        142, 16) \
  A(Array_0044,        159, 7) \
  A(Static_AI_Control, 166, 8)
// clang-format on

namespace nQoUdRLP100::nTavik {

inline constexpr uint32_t kRegisterCount = 174;
inline constexpr uint32_t kLockGroupCount = 22;
inline constexpr uint32_t kWindowLength = 620;  // 0x26C: the end of the highest register

#define QO_TAVIK_ROW(index, name, offset, width, kind, group, restore, keep, ...) \
  {index, offset, width, tRegisterKind::kind, group, tRestore::restore, keep, index},
#define QO_TAVIK_ELEMENT_ROW(index, array, element, offset, width, kind, group, restore, keep) \
  {index, offset, width, tRegisterKind::kind, group, tRestore::restore, keep, index - element},
inline constexpr std::array<tRegisterRow, kRegisterCount> kTavikRows{
    {QO_TAVIK_REGISTERS(QO_TAVIK_ROW, QO_TAVIK_ELEMENT_ROW)}};
#undef QO_TAVIK_ROW
#undef QO_TAVIK_ELEMENT_ROW

static_assert(checkCatalogue(kTavikRows, kWindowLength, kLockGroupCount));

inline constexpr auto kTavikGroupMembers = groupMembers<kLockGroupCount>(kTavikRows);

}  // namespace nQoUdRLP100::nTavik
