// What a supervisor does with the status of a control parameter block: a
// null block is -50004, a block that ran out of values (88800) is -50150, an
// error of the block is taken as it is.
//
//   tParameterBlockValidateHelper::checkNotNull(in, status);
//   nQoMDBG100::tStatus2 local;
//   const uint32_t value = in->readU32(local.code);
//   tParameterBlockValidateHelper::mergeValidationStatus(local, status);
#pragma once

#include "mdbg/tStatus2.h"

namespace nQoUdR100 {

class tParameterBlockValidateHelper {
 public:
  // Nothing when the status holds an error. An error of the validation
  // status is copied (code, site and description); its code 88800 becomes
  // -50150; any other warning is dropped.
  static void mergeValidationStatus(const nQoMDBG100::tStatus2& validation,
                                    nQoMDBG100::tStatus2& status);
  // -50004 for a null pointer, unless the status holds an error.
  static void checkNotNull(const void* pointer, nQoMDBG100::tStatus2& status);
};

}  // namespace nQoUdR100
