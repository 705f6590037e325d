// Field tables of the Tavik registers that are addressable by field
// identifier, one line per field run: {first id, high bit, low bit[, served[,
// count]]}. Identifiers left out have no bits; kNotServed ones are in the
// offsetFor and maskFor tables but refused by the generic field operations.
#pragma once

#include "registers/tFieldTable.h"
#include "tavik/tTavikTraits.h"

namespace nQoUdRLP100 {

#define QO_TAVIK_FIELD_TABLE(index, width, count, ...)                        \
  template <>                                                                 \
  struct tFieldsOf<nTavik::tTavikTraits, index> {                             \
    static constexpr auto kTable = makeFieldTable<width, count>(__VA_ARGS__); \
  };
// A register whose fields are those of another.
#define QO_TAVIK_SAME_FIELDS(index, as)                                         \
  template <>                                                                   \
  struct tFieldsOf<nTavik::tTavikTraits, index> {                               \
    static constexpr auto kTable = tFieldsOf<nTavik::tTavikTraits, as>::kTable; \
  };

// clang-format off
QO_TAVIK_FIELD_TABLE(5, 16, 9, {              // tAI_Output_Control
    {1, 1, 0, kNotServed},
    {6, 7, 6},
    {7, 9, 8, kNotServed},
    {8, 10, 10}})
QO_TAVIK_FIELD_TABLE(16, 16, 13, {            // tAnalog_Trigger_Etc
    {1, 2, 0, kNotServed},
    {2, 3, 3, kNotServed},
    {3, 4, 4},
    {4, 5, 5, kNotServed},
    {5, 6, 6, kNotServed},
    {6, 7, 7},
    {10, 13, 11},
    {11, 14, 14},
    {12, 15, 15}})
QO_TAVIK_FIELD_TABLE(38, 16, 14, {            // tClock_and_FOUT
    {1, 3, 0, kNotServed},
    {2, 4, 4},
    {4, 6, 6},
    {6, 8, 8, kNotServed},
    {7, 9, 9, kNotServed},
    {8, 10, 10},
    {9, 11, 11},
    {10, 12, 12},
    {12, 14, 14, kNotServed},
    {13, 15, 15}})
QO_TAVIK_FIELD_TABLE(39, 16, 17, {            // tInterrupt_A_Ack
    {6, 5, 5},
    {7, 6, 6},
    {8, 7, 7, kNotServed, 7},                 // ids 8-14: bits 7-13
    {15, 14, 14},
    {16, 15, 15}})
QO_TAVIK_FIELD_TABLE(44, 16, 17, {            // tIO_Bidirection_Pin
    {1, 0, 0, kServed, 16}})                  // id n+1: bit n
QO_TAVIK_FIELD_TABLE(46, 16, 14, {            // tJoint_Status_2
    {1, 0, 0, kServed, 3},
    {5, 4, 4, kServed, 4},
    {9, 11, 8},
    {10, 12, 12, kServed, 4}})
QO_TAVIK_FIELD_TABLE(47, 16, 16, {            // tJoint_Status_1
    {1, 0, 0, kServed, 8},
    {9, 9, 8},
    {10, 10, 10, kServed, 2},
    {14, 14, 14, kServed, 2}})
QO_TAVIK_FIELD_TABLE(48, 16, 5, {             // tRIVO_Shared_MUX
    {1, 3, 0, kServed, 4}})
QO_TAVIK_SAME_FIELDS(49, 48)                  // tRIVO_Trig_A_Output
QO_TAVIK_FIELD_TABLE(50, 16, 17, {            // tRIVO_Trig_Direction
    {1, 0, 0, kServed, 3},
    {9, 8, 8, kServed, 8}})
QO_TAVIK_SAME_FIELDS(51, 48)                  // tRIVO_Trig_B_Output
QO_TAVIK_FIELD_TABLE(63, 8, 5, {              // tTESK_Output_Enable
    {1, 0, 0, kNotServed},
    {2, 1, 1},
    {3, 2, 2},
    {4, 7, 3}})
QO_TAVIK_FIELD_TABLE(67, 32, 33, {            // tDIO_Direction
    {1, 0, 0, kServed, 32}})
QO_TAVIK_FIELD_TABLE(87, 16, 4, {             // tPFI_Output_Select_1
    {1, 4, 0, kServed, 3}})
QO_TAVIK_SAME_FIELDS(88, 87)                  // tPFI_Output_Select_2
QO_TAVIK_SAME_FIELDS(89, 87)                  // tPFI_Output_Select_3
QO_TAVIK_SAME_FIELDS(90, 87)                  // tPFI_Output_Select_4
QO_TAVIK_SAME_FIELDS(91, 87)                  // tPFI_Output_Select_5
QO_TAVIK_FIELD_TABLE(92, 16, 2, {             // tPFI_Output_Select_6
    {1, 4, 0}})
QO_TAVIK_FIELD_TABLE(95, 32, 17, {            // tPFI_Filter
    {1, 1, 0, kServed, 16}})                  // id n+1: bits 2n+1:2n
QO_TAVIK_FIELD_TABLE(96, 32, 9, {             // tRIVO_Filter
    {1, 1, 0, kServed, 8}})
QO_TAVIK_FIELD_TABLE(97, 16, 5, {             // tClock_And_Fout2
    {1, 4, 0, kNotServed},
    {2, 5, 5, kNotServed},
    {3, 6, 6, kNotServed},
    {4, 7, 7}})
QO_TAVIK_FIELD_TABLE(105, 32, 9, {            // tCDI_Mode
    {1, 5, 0},
    {5, 9, 9, kNotServed},
    {6, 10, 10},
    {7, 11, 11, kNotServed},
    {8, 13, 12, kNotServed}})
QO_TAVIK_FIELD_TABLE(106, 32, 9, {            // tCDO_Mode
    {1, 5, 0},
    {4, 8, 8, kNotServed},
    {5, 9, 9, kNotServed},
    {6, 10, 10},
    {7, 11, 11, kNotServed},
    {8, 13, 12, kNotServed}})
QO_TAVIK_FIELD_TABLE(166, 8, 2, {             // tStatic_AI_Control
    {1, 0, 0}})
// clang-format on

#undef QO_TAVIK_FIELD_TABLE
#undef QO_TAVIK_SAME_FIELDS

}  // namespace nQoUdRLP100
