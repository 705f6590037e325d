// Field tables of the counter-pair registers, one line per field run: {first
// id, high bit, low bit[, served, count]}. Identifiers left out name no bits
// (the field operations refuse them with kBadIndex). The G1 registers share
// the tables of their G0 twins.
#pragma once

#include "counters/tCtrPairTraits.h"
#include "registers/tFieldTable.h"

namespace nQoUdRLP100 {

#define QO_CTR_PAIR_FIELD_TABLE(index, width, count, ...)                     \
  template <>                                                                 \
  struct tFieldsOf<nQoTIO100::tCtrPairTraits, index> {                        \
    static constexpr auto kTable = makeFieldTable<width, count>(__VA_ARGS__); \
  };
#define QO_CTR_PAIR_SAME_FIELDS(index, as)                                           \
  template <>                                                                        \
  struct tFieldsOf<nQoTIO100::tCtrPairTraits, index> {                               \
    static constexpr auto kTable = tFieldsOf<nQoTIO100::tCtrPairTraits, as>::kTable; \
  };

// clang-format off
QO_CTR_PAIR_FIELD_TABLE(0, 16, 2, {{1, 7, 0}})              // tG0_AutoIncrement
QO_CTR_PAIR_FIELD_TABLE(1, 16, 16, {                        // tG0_Command
    {1, 0, 0, kServed, 3},                                  // ids 1-3: bits 0-2
    {5, 4, 4},
    {6, 6, 5},
    {7, 7, 7, kServed, 9}})                                 // ids 7-15: bits 7-15
QO_CTR_PAIR_FIELD_TABLE(2, 16, 11, {                        // tG0_Counting_Mode
    {1, 2, 0}, {3, 4, 4}, {4, 6, 5}, {5, 7, 7}, {6, 10, 8},
    {8, 12, 12, kServed, 3}})                               // ids 8-10: bits 12-14
QO_CTR_PAIR_FIELD_TABLE(3, 16, 10, {                        // tG0_Tavik_Counting_Mode
    {1, 2, 0}, {3, 4, 4}, {4, 6, 5}, {5, 7, 7}, {6, 12, 8},
    {7, 13, 13, kServed, 3}})                               // ids 7-9: bits 13-15
QO_CTR_PAIR_FIELD_TABLE(4, 16, 4, {{1, 0, 0, kServed, 3}})  // tG0_DMA_Control
QO_CTR_PAIR_FIELD_TABLE(5, 16, 9, {                         // tG0_Input_Select
    {1, 0, 0, kServed, 2}, {3, 6, 2}, {4, 11, 7},
    {5, 12, 12, kServed, 4}})                               // ids 5-8: bits 12-15
QO_CTR_PAIR_FIELD_TABLE(6, 32, 2, {{1, 31, 0}})             // tG0_Load_A
QO_CTR_PAIR_SAME_FIELDS(7, 6)                               // tG0_Load_B
QO_CTR_PAIR_FIELD_TABLE(8, 16, 12, {                        // tG0_Mode
    {1, 1, 0}, {2, 2, 2}, {3, 4, 3}, {4, 6, 5}, {5, 7, 7}, {6, 9, 8}, {7, 11, 10},
    {8, 12, 12, kServed, 4}})                               // ids 8-11: bits 12-15
QO_CTR_PAIR_FIELD_TABLE(9, 16, 8, {                         // tG0_Second_Gate
    {1, 0, 0}, {3, 11, 7}, {5, 13, 13, kServed, 3}})
QO_CTR_PAIR_FIELD_TABLE(10, 16, 4, {{1, 4, 0, kServed, 3}}) // tG0_Tavik_ABZ
QO_CTR_PAIR_FIELD_TABLE(11, 16, 4, {{2, 2, 2}, {3, 3, 3}})  // tG01_Joint_Reset
QO_CTR_PAIR_SAME_FIELDS(12, 0)
QO_CTR_PAIR_SAME_FIELDS(13, 1)
QO_CTR_PAIR_SAME_FIELDS(14, 2)
QO_CTR_PAIR_SAME_FIELDS(15, 3)
QO_CTR_PAIR_SAME_FIELDS(16, 4)
QO_CTR_PAIR_SAME_FIELDS(17, 5)
QO_CTR_PAIR_SAME_FIELDS(18, 6)
QO_CTR_PAIR_SAME_FIELDS(19, 6)
QO_CTR_PAIR_SAME_FIELDS(20, 8)
QO_CTR_PAIR_SAME_FIELDS(21, 9)
QO_CTR_PAIR_SAME_FIELDS(22, 10)
QO_CTR_PAIR_FIELD_TABLE(23, 16, 7, {                        // tInterrupt_G0_Ack
    {2, 5, 5}, {3, 6, 6}, {5, 14, 14}, {6, 15, 15}})
QO_CTR_PAIR_FIELD_TABLE(24, 16, 5, {{2, 6, 6}, {4, 8, 8}})  // tInterrupt_G0_Enable
QO_CTR_PAIR_FIELD_TABLE(25, 16, 7, {                        // tInterrupt_G1_Ack
    {2, 1, 1}, {3, 2, 2}, {5, 14, 14}, {6, 15, 15}})
QO_CTR_PAIR_FIELD_TABLE(26, 16, 4, {{2, 9, 9}, {3, 10, 10}})  // tInterrupt_G1_Enable
QO_CTR_PAIR_FIELD_TABLE(27, 16, 5, {{2, 13, 13, kServed, 3}}) // tG0_DMA_Status
QO_CTR_PAIR_FIELD_TABLE(28, 32, 2, {{1, 31, 0}})            // tG0_HW_Save
QO_CTR_PAIR_FIELD_TABLE(29, 16, 2, {{1, 15, 0}})            // tG0_HW_Save_High
QO_CTR_PAIR_SAME_FIELDS(30, 29)
QO_CTR_PAIR_SAME_FIELDS(31, 28)
QO_CTR_PAIR_SAME_FIELDS(32, 29)
QO_CTR_PAIR_SAME_FIELDS(33, 29)
QO_CTR_PAIR_FIELD_TABLE(34, 16, 6, {{2, 2, 2}, {3, 3, 3}, {5, 15, 15}})  // tG0_Status_1
QO_CTR_PAIR_FIELD_TABLE(35, 16, 7, {                        // tG01_Joint_Status_1
    {1, 0, 0, kServed, 4}, {6, 12, 12}})
QO_CTR_PAIR_FIELD_TABLE(36, 16, 8, {                        // tG01_Joint_Status_2
    {1, 0, 0, kServed, 2}, {4, 12, 12, kServed, 4}})
QO_CTR_PAIR_FIELD_TABLE(37, 16, 17, {{1, 0, 0, kServed, 16}})  // tG01_Status: id n+1: bit n
QO_CTR_PAIR_SAME_FIELDS(38, 27)
QO_CTR_PAIR_SAME_FIELDS(39, 28)
QO_CTR_PAIR_SAME_FIELDS(40, 29)
QO_CTR_PAIR_SAME_FIELDS(41, 29)
QO_CTR_PAIR_SAME_FIELDS(42, 28)
QO_CTR_PAIR_SAME_FIELDS(43, 29)
QO_CTR_PAIR_SAME_FIELDS(44, 29)
QO_CTR_PAIR_SAME_FIELDS(45, 34)
// clang-format on

#undef QO_CTR_PAIR_FIELD_TABLE
#undef QO_CTR_PAIR_SAME_FIELDS

}  // namespace nQoUdRLP100
