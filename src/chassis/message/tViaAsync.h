// A packer whose calls run through its interface's Async object: pack through
// the Async pack function; unpack through the Async unpack function where the
// interface has one (an array output), else through the plain call, which
// reads the status block.
//
//   class tSleepControlPacker
//       : public tPacker<kMethod<8, 60>, tIn<uint8_t>, tOut<>,
//                        tViaAsync<&tChassisSleepAsync::sleepControl_pack>> { using
//                        tPacker::tPacker; };
#pragma once

#include <cstdint>
#include <type_traits>

#include "chassis/message/tArray.h"
#include "chassis/message/tArrayTarget.h"
#include "chassis/message/tMethod.h"
#include "chassis/message/tRequestCall.h"
#include "fsl/tRequestContext.h"
#include "fsl/tRequestTransfer.h"
#include "mdbg/tStatus2.h"

namespace nQoFSL100 {

// The class of a member function pointer.
template <class tMember>
struct tMemberClass;
template <class tClass, class tResult, class... tArguments>
struct tMemberClass<tResult (tClass::*)(tArguments...)> {
  using tType = tClass;
};

template <auto kPack, auto kUnpack = nullptr>
struct tViaAsync {
  template <const tMethod& kMethod>
  class tCall {
    using tAsync = typename tMemberClass<decltype(kPack)>::tType;

   public:
    template <class... tArguments>
    static void pack(uint16_t objectId, tRequestTransfer& transfer, nQoMDBG100::tStatus2& status,
                     unsigned int flag, const tArguments&... arguments) {
      tAsync async;
      (async.*kPack)(objectId, transfer, arguments..., status, flag);
    }

    static void unpack(tRequestContext& context, nQoMDBG100::tStatus2& status)
      requires std::is_null_pointer_v<decltype(kUnpack)>
    {
      tRequestCall<kMethod>::unpack(context, status);
    }

    template <class T>
    static void unpack(tRequestContext& context, nQoMDBG100::tStatus2& status,
                       tArrayTarget<T>& target)
      requires(!std::is_null_pointer_v<decltype(kUnpack)>)
    {
      tAsync async;
      target.fill([&](tArray<T>& array) { (async.*kUnpack)(context, array, status); }, kMethod,
                  status);
    }
  };
};

}  // namespace nQoFSL100
