// Named field accessors, one line per field inside a register class, as in the
// chip's documentation: set_<Name> changes the soft copy (dirty on change, bits
// of the value beyond the field dropped), write_<Name> sets and then flushes.
// A strobe register without soft copy gets write_<Name> only, which writes the
// field alone.
//
//   QO_FIELD(AI_START2_Edge, 12, 12)                 // bit 12
//   QO_FIELD_OF(tDir, PFI10_Pin_Dir, 10, 10)          // takes a direction
//   QO_STROBE_FIELD(AO_Error_Interrupt_Ack, 13, 13)
#pragma once

#include "mdbg/tStatus2.h"
#include "registers/registerWidth.h"

#define QO_FIELD_OF(tType, Name, high, low)                                                   \
  static_assert((low) <= (high) && (high) < kWidth, "field outside its register");           \
  void set_##Name(tType value, ::nQoMDBG100::tStatus2* status) {                              \
    this->setBits(::nQoUdRLP100::fieldMask(high, low), low, static_cast<uint32_t>(value),     \
                  status);                                                                    \
  }                                                                                           \
  void write_##Name(tType value, ::nQoMDBG100::tStatus2* status, unsigned force) {            \
    set_##Name(value, status);                                                                \
    this->flush(status, force);                                                               \
  }

#define QO_FIELD(Name, high, low) QO_FIELD_OF(uint32_t, Name, high, low)

#define QO_STROBE_FIELD(Name, high, low)                                                      \
  static_assert((low) <= (high) && (high) < kWidth, "field outside its register");           \
  void write_##Name(uint32_t value, ::nQoMDBG100::tStatus2* status) {                         \
    this->writeBits(::nQoUdRLP100::fieldMask(high, low), low, value, status);                 \
  }
