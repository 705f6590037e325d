// The register template that the catalogue row of an index calls for: a map
// derives each register class from tRegisterClassFor<tTraits, index>, and each
// register-array class from tElementClassFor<tTraits, first index>.
// Field-addressable writable registers answer the map's lock slot with their
// lock group.
#pragma once

#include <cstdint>

#include "registers/registerPlace.h"
#include "registers/tFieldPinsRegister.h"
#include "registers/tFieldReadRegister.h"
#include "registers/tFieldStrobeRegister.h"
#include "registers/tFieldWriteRegister.h"
#include "registers/tPlainRegister.h"
#include "registers/tReadRegister.h"
#include "registers/tRegisterLockSlot.h"
#include "registers/tRegisterRow.h"
#include "registers/tStrobeRegister.h"
#include "registers/tWriteRegister.h"

namespace nQoUdRLP100 {

template <class tTraits, uint32_t kIndex, tRegisterKind kKind = tTraits::kRows[kIndex].kind>
struct tRegisterClassSelect;

template <class tTraits, uint32_t kIndex>
struct tRegisterClassSelect<tTraits, kIndex, tRegisterKind::kWrite> {
  using type = tWriteRegister<tTraits, kIndex, tConstantPlace<tTraits, kIndex>>;
};
template <class tTraits, uint32_t kIndex>
struct tRegisterClassSelect<tTraits, kIndex, tRegisterKind::kRead> {
  using type = tReadRegister<tTraits, kIndex>;
};
template <class tTraits, uint32_t kIndex>
struct tRegisterClassSelect<tTraits, kIndex, tRegisterKind::kStrobe> {
  using type = tStrobeRegister<tTraits, kIndex>;
};
template <class tTraits, uint32_t kIndex>
struct tRegisterClassSelect<tTraits, kIndex, tRegisterKind::kWriteFields> {
  using type =
      tLockSlotAnswer<tTraits,
                      tFieldWriteRegister<tTraits, kIndex, tConstantPlace<tTraits, kIndex>>>;
};
template <class tTraits, uint32_t kIndex>
struct tRegisterClassSelect<tTraits, kIndex, tRegisterKind::kReadFields> {
  using type = tFieldReadRegister<tTraits, kIndex>;
};
template <class tTraits, uint32_t kIndex>
struct tRegisterClassSelect<tTraits, kIndex, tRegisterKind::kStrobeFields> {
  using type = tLockSlotAnswer<tTraits, tFieldStrobeRegister<tTraits, kIndex>>;
};
template <class tTraits, uint32_t kIndex>
struct tRegisterClassSelect<tTraits, kIndex, tRegisterKind::kReadWriteFields> {
  using type =
      tLockSlotAnswer<tTraits,
                      tFieldPinsRegister<tTraits, kIndex, tConstantPlace<tTraits, kIndex>>>;
};
template <class tTraits, uint32_t kIndex>
struct tRegisterClassSelect<tTraits, kIndex, tRegisterKind::kPlain> {
  using type = tPlainRegister<tTraits, kIndex, tConstantPlace<tTraits, kIndex>>;
};
template <class tTraits, uint32_t kIndex>
struct tRegisterClassSelect<tTraits, kIndex, tRegisterKind::kPlainNoSoftCopy> {
  using type = tPlainRegister<tTraits, kIndex, tConstantPlace<tTraits, kIndex>>;
};

template <class tTraits, uint32_t kIndex>
using tRegisterClassFor = typename tRegisterClassSelect<tTraits, kIndex>::type;

// Array elements store their offset and index.
template <class tTraits, uint32_t kFirst, tRegisterKind kKind = tTraits::kRows[kFirst].kind>
struct tElementClassSelect;

template <class tTraits, uint32_t kFirst>
struct tElementClassSelect<tTraits, kFirst, tRegisterKind::kWrite> {
  using type = tWriteRegister<tTraits, kFirst, tStoredPlace<tTraits>>;
};
template <class tTraits, uint32_t kFirst>
struct tElementClassSelect<tTraits, kFirst, tRegisterKind::kWriteFields> {
  using type =
      tLockSlotAnswer<tTraits, tFieldWriteRegister<tTraits, kFirst, tStoredPlace<tTraits>>>;
};
template <class tTraits, uint32_t kFirst>
struct tElementClassSelect<tTraits, kFirst, tRegisterKind::kReadWriteFields> {
  using type = tLockSlotAnswer<tTraits, tFieldPinsRegister<tTraits, kFirst, tStoredPlace<tTraits>>>;
};
template <class tTraits, uint32_t kFirst>
struct tElementClassSelect<tTraits, kFirst, tRegisterKind::kPlain> {
  using type = tPlainRegister<tTraits, kFirst, tStoredPlace<tTraits>>;
};

template <class tTraits, uint32_t kFirst>
using tElementClassFor = typename tElementClassSelect<tTraits, kFirst>::type;

}  // namespace nQoUdRLP100
