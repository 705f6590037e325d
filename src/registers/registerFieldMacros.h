// Named field accessors, one line per field inside a register class, as in the
// chip's documentation: set_<Name> changes the soft copy (dirty on change, bits
// of the value beyond the field dropped), write_<Name> sets and then flushes.
// A strobe register without soft copy gets write_<Name> only, which writes the
// field alone; a readable register gets read_<Name>, which refreshes the soft
// copy and answers the field.
//
//   QO_FIELD(AI_START2_Edge, 12, 12)                 // bit 12
//   QO_FIELD_OF(tDir, PFI10_Pin_Dir, 10, 10)          // takes a direction
//   QO_STROBE_FIELD(AO_Error_Interrupt_Ack, 13, 13)
//   QO_READ_FIELD(AO_Update_Pending, 5, 5)
//
// A register with several fields lists them once, in datasheet order (high bit
// first), as F(type, Name, high, low) rows; the list is checked at compile time
// (each field below the one before it, so none overlap):
//
//   #define QO_MODE_FIELDS(F) F(tAO_FIFO_Mode, AO_FIFO_Mode, 15, 14) F(bool, AO_Regen, 13, 13)
//   QO_FIELDS(QO_MODE_FIELDS)             // set_ and write_ of each
//   QO_STROBE_FIELDS(QO_RESET_FIELDS)     // write_ of each
#pragma once

#include <cstdint>
#include <initializer_list>

#include "mdbg/tStatus2.h"
#include "registers/registerWidth.h"

namespace nQoUdRLP100 {

// True when every mask lies wholly below the one before it: fields listed high
// bit first, none overlapping.
constexpr bool fieldsInOrder(std::initializer_list<uint32_t> masks) {
  uint32_t above = 0;
  for (uint32_t mask : masks) {
    if (above != 0 && mask >= (above & (~above + 1))) return false;
    above = mask;
  }
  return true;
}

}  // namespace nQoUdRLP100

#define QO_FIELD_OF(tType, Name, high, low)                                                        \
  static_assert((low) <= (high) && (high) < kWidth, "field outside its register");                 \
  void set_##Name(tType value, ::nQoMDBG100::tStatus2* status) {                                   \
    this->setBits(::nQoUdRLP100::fieldMask(high, low), low, static_cast<uint32_t>(value), status); \
  }                                                                                                \
  void write_##Name(tType value, ::nQoMDBG100::tStatus2* status, unsigned force) {                 \
    set_##Name(value, status);                                                                     \
    this->flush(status, force);                                                                    \
  }

#define QO_FIELD(Name, high, low) QO_FIELD_OF(uint32_t, Name, high, low)

#define QO_STROBE_FIELD_OF(tType, Name, high, low)                                          \
  static_assert((low) <= (high) && (high) < kWidth, "field outside its register");          \
  void write_##Name(tType value, ::nQoMDBG100::tStatus2* status) {                          \
    this->writeBits(::nQoUdRLP100::fieldMask(high, low), low, static_cast<uint32_t>(value), \
                    status);                                                                \
  }

#define QO_STROBE_FIELD(Name, high, low) QO_STROBE_FIELD_OF(uint32_t, Name, high, low)

// What refresh answers (all ones when the read failed), cut to the field.
#define QO_READ_FIELD(Name, high, low)                                             \
  static_assert((low) <= (high) && (high) < kWidth, "field outside its register"); \
  uint32_t read_##Name(::nQoMDBG100::tStatus2* status) {                           \
    return (this->refresh(status) & ::nQoUdRLP100::fieldMask(high, low)) >> (low); \
  }

#define QO_FIELD_MASK_OF(tType, Name, high, low) ::nQoUdRLP100::fieldMask(high, low),
#define QO_CHECK_FIELDS(LIST)                                           \
  static_assert(::nQoUdRLP100::fieldsInOrder({LIST(QO_FIELD_MASK_OF)}), \
                "fields overlap or are not listed high bit first");

#define QO_FIELDS(LIST) LIST(QO_FIELD_OF) QO_CHECK_FIELDS(LIST)
#define QO_STROBE_FIELDS(LIST) LIST(QO_STROBE_FIELD_OF) QO_CHECK_FIELDS(LIST)
