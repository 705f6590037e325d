// The one request packer: a class per remote method is a row that names the
// method and the kinds of its inputs and outputs.
//
//   class tResetPacker
//       : public tPacker<kMethod<19, 917>> { using tPacker::tPacker; };
//   class tReadPresentValuePacker
//       : public tPacker<kMethod<10, 278>, tIn<>, tOut<unsigned int>> { using tPacker::tPacker; };
//
// A fourth argument, tViaAsync<...>, runs pack and unpack through the
// interface's Async functions (tViaAsync.h).
//
// Input kinds: unsigned 8-, 16-, 32- and 64-bit values (taken by value) and
// tArray<T> (taken by const reference and copied at construction).
// Output kinds: unsigned 8-, 16-, 32- and 64-bit values (the caller's
// variable, by reference), tArray<T> (the caller's array, by reference) and
// tCallerArray<T> (the caller's array, by pointer). An array output also
// gives the buffer form: a pointer to a plain buffer and its capacity in
// elements, which tCallerArray<T, N> lets default to N.
//
// The constructor takes the transport's two words, the object id, the
// inputs and the outputs, in that order. pack refuses with kOutOfMemory (the
// method's line + 1) when a copy of an array argument could not be
// allocated, before any message is asked for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <tuple>
#include <type_traits>

#include "chassis/message/tArray.h"
#include "chassis/message/tArrayCopy.h"
#include "chassis/message/tArrayTarget.h"
#include "chassis/message/tMethod.h"
#include "chassis/message/tRequestCall.h"
#include "chassis/message/tViaAsync.h"
#include "frame/statusCodes.h"
#include "frame/tModuleObject.h"
#include "frame/tStatusSite.h"
#include "fsl/tQuorlPacker.h"

namespace nQoFSL100 {

template <class... tKinds>
struct tIn {};
template <class... tKinds>
struct tOut {};

// An array output that the caller gives by pointer; kDefaultCapacity, when
// not 0, is the buffer form's capacity if the caller names none.
template <class T, uint32_t kDefaultCapacity = 0>
struct tCallerArray {};

// What a packer takes and holds for each kind.
template <class tKind>
struct tKindOf {
  using tInput = tKind;
  using tHeldInput = tKind;
  using tOutput = tKind&;
  using tHeldOutput = tKind*;
  static tKind* hold(tKind& variable) { return &variable; }
};
template <class T>
struct tKindOf<tArray<T>> {
  using tInput = const tArray<T>&;
  using tHeldInput = tArrayCopy<T>;
  using tOutput = tArray<T>&;
  using tHeldOutput = tArrayTarget<T>;
  static tArray<T>& hold(tArray<T>& array) { return array; }
};
template <class T, uint32_t kDefaultCapacity>
struct tKindOf<tCallerArray<T, kDefaultCapacity>> {
  using tOutput = tArray<T>*;
  using tHeldOutput = tArrayTarget<T>;
  static tArray<T>* hold(tArray<T>* array) { return array; }
};

// The element type of a method's outputs when they are one array (which
// gives the packer its buffer form), void otherwise; and the buffer's
// default capacity (0: none).
template <class... tKinds>
struct tSingleArrayOutput {
  using tElement = void;
  static constexpr uint32_t kDefaultCapacity = 0;
};
template <class T>
struct tSingleArrayOutput<tArray<T>> {
  using tElement = T;
  static constexpr uint32_t kDefaultCapacity = 0;
};
template <class T, uint32_t N>
struct tSingleArrayOutput<tCallerArray<T, N>> {
  using tElement = T;
  static constexpr uint32_t kDefaultCapacity = N;
};

// How a packer carries out its calls: by default the plain request call of
// its method; tViaAsync runs them through the interface's Async object.
struct tViaRequestCall {
  template <const tMethod& kMethod>
  using tCall = tRequestCall<kMethod>;
};

template <const tMethod& kMethod, class tInputList = tIn<>, class tOutputList = tOut<>,
          class tVia = tViaRequestCall>
class tPacker;

template <const tMethod& kMethod, class... tInputs, class... tOutputs, class tVia>
class tPacker<kMethod, tIn<tInputs...>, tOut<tOutputs...>, tVia> : public tQuorlPacker,
                                                                   public nQoUdR100::tModuleObject {
  using tBufferElement = typename tSingleArrayOutput<tOutputs...>::tElement;
  static constexpr uint32_t kDefaultCapacity = tSingleArrayOutput<tOutputs...>::kDefaultCapacity;
  using tCall = typename tVia::template tCall<kMethod>;

 public:
  tPacker(void* transport1, void* transport2, uint16_t objectId,
          typename tKindOf<tInputs>::tInput... inputs,
          typename tKindOf<tOutputs>::tOutput... outputs)
      : tQuorlPacker(transport1, transport2, objectId),
        _inputs(inputs...),
        _outputs(tKindOf<tOutputs>::hold(outputs)...) {}

  tPacker(void* transport1, void* transport2, uint16_t objectId,
          typename tKindOf<tInputs>::tInput... inputs, tBufferElement* buffer, uint32_t capacity)
    requires(!std::is_void_v<tBufferElement>)
      : tQuorlPacker(transport1, transport2, objectId),
        _inputs(inputs...),
        _outputs(tBuffer<tBufferElement>{buffer, capacity}) {}

  tPacker(void* transport1, void* transport2, uint16_t objectId,
          typename tKindOf<tInputs>::tInput... inputs, tBufferElement* buffer)
    requires(kDefaultCapacity != 0)
      : tPacker(transport1, transport2, objectId, inputs..., buffer, kDefaultCapacity) {}

  void pack(tRequestTransfer& transfer, unsigned int flag, nQoMDBG100::tStatus2& status) override {
    std::apply(
        [&](const auto&... held) {
          if (status.isFatal()) return;
          if ((copyFailed(held) || ...)) {
            nQoUdR100::setCode(status, nQoUdR100::kOutOfMemory, {kMethod.file, kMethod.line + 1});
            return;
          }
          tCall::pack(objectId(), transfer, status, flag, argument(held)...);
        },
        _inputs);
  }

  void unpack(tRequestContext& context, nQoMDBG100::tStatus2& status) override {
    std::apply([&](auto&... held) { tCall::unpack(context, status, target(held)...); }, _outputs);
  }

  // The packer's own copy of its input at kIndex (for an array input, the
  // storage that pack reads the elements from).
  template <std::size_t kIndex>
  const auto& heldInput() const {
    return argument(std::get<kIndex>(_inputs));
  }

  uint32_t requestSize(nQoMDBG100::tStatus2& status) override {
    return std::apply(
        [&](const auto&... held) {
          return tRequestCall<kMethod>::requestSize(status, argument(held)...);
        },
        _inputs);
  }

 private:
  template <class T>
  static const T& argument(const T& value) {
    return value;
  }
  template <class T>
  static const tArray<T>& argument(const tArrayCopy<T>& copy) {
    return copy.array();
  }

  template <class T>
  static bool copyFailed(const T&) {
    return false;
  }
  template <class T>
  static bool copyFailed(const tArrayCopy<T>& copy) {
    return copy.copyFailed();
  }

  template <class T>
  static T& target(T* variable) {
    return *variable;
  }
  template <class T>
  static tArrayTarget<T>& target(tArrayTarget<T>& arrayTarget) {
    return arrayTarget;
  }

  std::tuple<typename tKindOf<tInputs>::tHeldInput...> _inputs;
  std::tuple<typename tKindOf<tOutputs>::tHeldOutput...> _outputs;
};

}  // namespace nQoFSL100
