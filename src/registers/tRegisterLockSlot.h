// The lock slot of a map's tRegister, after the field operations: a map whose
// registers belong to lock groups answers the group of a register from
// getLockGroup (the board maps) or getLock (the first chassis generation); a
// map without locks has no such slot. The traits choose with kLockSlot
// (getLockGroup when they name none). The base answers null; tLockSlotAnswer
// makes a register class answer its own group.
#pragma once

#include "registers/tRegisterLockGroup.h"
#include "registers/tRegisterOperations.h"

namespace nQoUdRLP100 {

enum class tLockSlot { kGetLockGroup, kGetLock, kNone };

template <class tTraits>
constexpr tLockSlot lockSlotOf() {
  if constexpr (requires { tTraits::kLockSlot; })
    return tTraits::kLockSlot;
  else
    return tLockSlot::kGetLockGroup;
}

template <class tTraits, tLockSlot kSlot = lockSlotOf<tTraits>()>
class tRegisterLockSlot : public tRegisterOperations<tTraits> {};

template <class tTraits>
class tRegisterLockSlot<tTraits, tLockSlot::kGetLockGroup> : public tRegisterOperations<tTraits> {
 public:
  virtual tRegisterLockGroup* getLockGroup() { return nullptr; }
};

template <class tTraits>
class tRegisterLockSlot<tTraits, tLockSlot::kGetLock> : public tRegisterOperations<tTraits> {
 public:
  virtual tRegisterLockGroup* getLock() { return nullptr; }
};

// A register class over tRegisterClass that answers the lock slot with its group.
template <class tTraits, class tRegisterClass, tLockSlot kSlot = lockSlotOf<tTraits>()>
class tLockSlotAnswer : public tRegisterClass {};

template <class tTraits, class tRegisterClass>
class tLockSlotAnswer<tTraits, tRegisterClass, tLockSlot::kGetLockGroup> : public tRegisterClass {
 public:
  tRegisterLockGroup* getLockGroup() override { return this->group(); }
};

template <class tTraits, class tRegisterClass>
class tLockSlotAnswer<tTraits, tRegisterClass, tLockSlot::kGetLock> : public tRegisterClass {
 public:
  tRegisterLockGroup* getLock() override { return this->group(); }
};

}  // namespace nQoUdRLP100
