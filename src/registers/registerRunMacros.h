// The expansions of a catalogue written as runs, one line per register or
// register array (an X-macro with three row forms):
//
//   P(index, name, kind, lock, markAllDirty)
//       a plain register (kPlain, kPlainNoSoftCopy), member <name>;
//   C(index, name, offset, kind, lock, markAllDirty, accessors, members, fields...)
//       a register class t<name> with a constant offset, member <name>;
//   E(first, name, count, offset, kind, lock, markAllDirty, placing, accessors, members,
//     fields...)
//       count elements of class t<name>, 4 bytes apart, that store their offset and
//       identifier; member <name> (an array when count > 1).
//
// accessors: the whole-register accessors of the class (kSetRegister, ...);
// members: further member functions of the class (QO_FIELD_SETTER); fields:
// {id, high bit, low bit[, served, count]}, for the field-addressable kinds.
//
//   inline constexpr tRegisterRun kChipRuns[] = {QO_CHIP_REGISTERS(QO_RUN_P, QO_RUN_C, QO_RUN_E)};
//   class tChip ... {
//     QO_CHIP_REGISTERS(QO_MEMBER_P, QO_MEMBER_C, QO_MEMBER_E)   // with tTraits in scope
//     QO_VISIT_REGISTERS(QO_CHIP_REGISTERS)
//   };
#pragma once

#include <cstdint>

#include "mdbg/tStatus2.h"
#include "registers/registerClassFor.h"
#include "registers/tRegisterRun.h"

namespace nQoUdRLP100 {

// The member of a run: the register itself, or an array of count registers.
template <class tElement, uint32_t kCount>
struct tRunMember {
  using type = tElement[kCount];
};
template <class tElement>
struct tRunMember<tElement, 1> {
  using type = tElement;
};

template <class tElement>
tElement* elementsOf(tElement& single) {
  return &single;
}
template <class tElement, std::size_t kCount>
tElement* elementsOf(tElement (&array)[kCount]) {
  return array;
}

}  // namespace nQoUdRLP100

#define QO_RUN_P(index, name, kind, lock, action) \
  {index,                                         \
   1,                                             \
   ::nQoUdRLP100::kNoOffset,                      \
   ::nQoUdRLP100::tRegisterKind::kind,            \
   lock,                                          \
   ::nQoUdRLP100::tRestore::action},
#define QO_RUN_C(index, name, offset, kind, lock, action, access, members, ...) \
  {index,        1,                                                             \
   offset,       ::nQoUdRLP100::tRegisterKind::kind,                            \
   lock,         ::nQoUdRLP100::tRestore::action,                               \
   access,       ::nQoUdRLP100::tPlacing::kAtInitialization,                    \
   {__VA_ARGS__}},
#define QO_RUN_E(first, name, count, offset, kind, lock, action, placing, access, members, ...) \
  {first,        count,                                                                         \
   offset,       ::nQoUdRLP100::tRegisterKind::kind,                                            \
   lock,         ::nQoUdRLP100::tRestore::action,                                               \
   access,       ::nQoUdRLP100::tPlacing::placing,                                              \
   {__VA_ARGS__}},

#define QO_MEMBER_P(index, name, ...) ::nQoUdRLP100::tRegisterClassFor<tTraits, index> name;
#define QO_MEMBER_C(index, name, offset, kind, lock, action, access, members, ...) \
  struct t##name final : ::nQoUdRLP100::tRegisterClassFor<tTraits, index> {        \
    members                                                                        \
  };                                                                               \
  t##name name;
#define QO_MEMBER_E(first, name, count, offset, kind, lock, action, placing, access, members, ...) \
  struct t##name final : ::nQoUdRLP100::tElementClassFor<tTraits, first> {                         \
    members                                                                                        \
  };                                                                                               \
  typename ::nQoUdRLP100::tRunMember<t##name, count>::type name;

// visitRegisters(visit): visit(register, index) for every register in index order.
#define QO_VISIT(index, name, ...) visit(name, index);
#define QO_VISIT_ELEMENTS(first, name, count, ...) \
  for (uint32_t k = 0; k < (count); ++k) visit(::nQoUdRLP100::elementsOf(name)[k], (first) + k);
#define QO_VISIT_REGISTERS(REGISTERS)                \
  template <class tVisit>                            \
  void visitRegisters(tVisit&& visit) {              \
    REGISTERS(QO_VISIT, QO_VISIT, QO_VISIT_ELEMENTS) \
  }

// A single-field setter: field 1 of the register's table := value & its mask
// (excess high bits dropped, no range check), marked dirty when it changed.
#define QO_FIELD_SETTER(Name)                                                             \
  void Name(uint32_t value, ::nQoMDBG100::tStatus2* status) {                             \
    this->setBits(this->maskFor(1, nullptr), this->offsetFor(1, nullptr), value, status); \
  }
