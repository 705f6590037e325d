// One remote call of a method, with everything passed in: the request size,
// the request and the reading of the reply. Packers and the stand-alone
// Async functions both run their calls through it.
//
//   tRequestCall<kReset>::pack(objectId, transfer, status, flag);
//   tRequestCall<kReadPresentValue>::unpack(context, status, presentValue);
#pragma once

#include <cstdint>

#include "chassis/message/tArray.h"
#include "chassis/message/tArrayTarget.h"
#include "chassis/message/tMethod.h"
#include "chassis/message/tQuorlDataReader.h"
#include "chassis/message/tQuorlDataWriter.h"
#include "chassis/message/wireFormat.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"
#include "fsl/tRequestContext.h"
#include "fsl/tRequestMessage.h"
#include "fsl/tRequestTransfer.h"
#include "mdbg/tStatus2.h"

namespace nQoFSL100 {

template <const tMethod& kMethod>
class tRequestCall {
 public:
  static constexpr uint32_t kHeaderSize = 8;

  // 8 plus the bytes of the arguments; 8 under an error.
  template <class... tArguments>
  static uint32_t requestSize(const nQoMDBG100::tStatus2& status, const tArguments&... arguments) {
    if (status.isFatal()) return kHeaderSize;
    return (kHeaderSize + ... + wireSize(arguments));
  }

  // Asks the transfer for a message of the request size and writes the
  // header, then the arguments from byte 8, then finishes the message. An
  // array whose length field would wrap is refused before any message is
  // asked for.
  template <class... tArguments>
  static void pack(uint16_t objectId, tRequestTransfer& transfer, nQoMDBG100::tStatus2& status,
                   unsigned int flag, const tArguments&... arguments) {
    if (status.isFatal()) return;
    if (!(fitsLengthField(arguments) && ...)) {
      nQoUdR100::setCode(status, nQoUdR100::kMessageOverrun, {"tQuorlDataWriter", 340});
      return;
    }
    tRequestMessage* message = transfer.newMessage(requestSize(status, arguments...), status);
    if (message == nullptr) {
      nQoUdR100::setCode(status, nQoUdR100::kNullPointer, {kMethod.file, kMethod.line});
      return;
    }
    if (status.isFatal()) return;
    message->setInterfaceId(kMethod.interfaceId, status);
    message->setObjectId(objectId, status);
    message->setMethodId(kMethod.id, status);
    message->setRequestFlag(flag, status);
    if constexpr (sizeof...(arguments) > 0) {
      tQuorlDataWriter<unsigned char*> writer = message->payloadWriter(status);
      (writer.write(arguments, status), ...);
    }
    message->finishMessage(status);
  }

  // Merges the reply's status block into the status and, when that holds no
  // error, reads the outputs into the targets: scalars, arrays, or array
  // targets.
  template <class... tTargets>
  static void unpack(tRequestContext& context, nQoMDBG100::tStatus2& status, tTargets&... targets) {
    if (status.isFatal()) return;
    const unsigned char* begin = nullptr;
    const unsigned char* end = nullptr;
    context.replyBuffer(begin, end, status);
    if (status.isFatal()) return;
    auto reader = tQuorlDataReader<const unsigned char*>::forReply(begin, end);
    nQoMDBG100::tStatus2 reply;
    reader.readStatus(status, reply);
    status.assign(reply);
    if (status.isFatal()) return;
    (readOutput(reader, targets, status), ...);
  }

 private:
  using tReader = tQuorlDataReader<const unsigned char*>;

  template <tWireScalar T>
  static void readOutput(tReader& reader, T& value, nQoMDBG100::tStatus2& status) {
    value = reader.read<T>(status);
  }
  template <class T>
  static void readOutput(tReader& reader, tArray<T>& array, nQoMDBG100::tStatus2& status) {
    reader.readArray(array, status);
  }
  template <class T>
  static void readOutput(tReader& reader, tArrayTarget<T>& target, nQoMDBG100::tStatus2& status) {
    target.read(reader, kMethod, status);
  }
};

}  // namespace nQoFSL100
