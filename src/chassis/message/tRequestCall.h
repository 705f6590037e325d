// One remote call of a method, with everything passed in: the request size,
// the request and the reading of the reply. Packers and the stand-alone
// Async functions both run their calls through it.
//
//   tRequestCall<kReset>::pack(objectId, transfer, status, flag);
//   tRequestCall<kReadPresentValue>::unpack(context, status, presentValue);
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

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
    const uint32_t size = requestSize(status, arguments...);
    tRequestMessage* message = transfer.newMessage(size, status);
    if (message == nullptr) {
      nQoUdR100::setCode(status, nQoUdR100::kNullPointer, {kMethod.file, kMethod.line});
      return;
    }
    if (status.isFatal()) return;
    if (fitsWhole(*message, size)) {
      writeWhole(*message, objectId, flag, arguments...);
      return;
    }
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
    // An empty status block carries no code: nothing to merge.
    if (!reader.skipEmptyStatus()) {
      nQoMDBG100::tStatus2 reply;
      reader.readStatus(status, reply);
      status.assign(reply);
      if (status.isFatal()) return;
    }
    (readOutput(reader, targets, status), ...);
  }

 private:
  using tReader = tQuorlDataReader<const unsigned char*>;

  // An open, allocated message with room for the whole request and for the
  // padding up to its allocated size: then no field write or the finish can
  // fail, and writeWhole does their work without their checks. Any other
  // message goes field by field, which gives its codes and sites.
  static bool fitsWhole(const tRequestMessage& message, uint32_t size) {
    const auto room = static_cast<std::size_t>(message.writeLimit - message.requestStart);
    const auto allocatedSize = static_cast<std::size_t>(message.bufferEnd - message.bufferBegin);
    return message.finished == 0 && message.allocated != 0 && size <= room &&
           message.requestedLength <= allocatedSize && allocatedSize <= room;
  }

  // The header fields, the arguments from byte 8 and the zero padding from
  // the requested length to the allocated size, in that order, then finished.
  template <class... tArguments>
  static void writeWhole(tRequestMessage& message, uint16_t objectId, unsigned int flag,
                         const tArguments&... arguments) {
    unsigned char* const start = message.requestStart;
    start[2] = static_cast<unsigned char>(flag != 0 ? 1 : 0);
    start[3] = kMethod.id;
    storeBigEndian<uint16_t>(start + 4, kMethod.interfaceId);
    storeBigEndian<uint16_t>(start + 6, objectId);
    if constexpr (sizeof...(arguments) > 0) {
      unsigned char* out = start + kHeaderSize;
      ((out = storeWire(out, arguments)), ...);
    }
    const auto allocatedSize = static_cast<std::size_t>(message.bufferEnd - message.bufferBegin);
    if (allocatedSize > message.requestedLength)
      std::memset(start + message.requestedLength, 0, allocatedSize - message.requestedLength);
    message.finished = 1;
  }

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
