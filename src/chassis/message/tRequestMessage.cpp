// Writing a request into a message that the transport handed out.
#include "fsl/tRequestMessage.h"

#include "chassis/message/tQuorlDataWriter.h"
#include "frame/statusCodes.h"
#include "frame/tStatusSite.h"

namespace nQoFSL100 {

namespace {

using tWriter = tQuorlDataWriter<unsigned char*>;

constexpr uint32_t kPayloadOffset = 8;

// A writer from the given offset of the request to the write limit; empty
// when the offset lies at or past the limit.
tWriter writerAt(const tRequestMessage& message, std::size_t offset) {
  const auto room = static_cast<std::size_t>(message.writeLimit - message.requestStart);
  if (offset >= room) return {message.writeLimit, message.writeLimit};
  return {message.requestStart + offset, message.writeLimit};
}

// False, with kRefused, for a finished message.
bool isOpen(const tRequestMessage& message, nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return false;
  if (message.finished != 0) {
    nQoUdR100::setCode(status, nQoUdR100::kRefused, {"tRequestMessage", 61});
    return false;
  }
  return true;
}

template <class T>
void writeHeaderField(tRequestMessage& message, std::size_t offset, T value,
                      nQoMDBG100::tStatus2& status) {
  if (isOpen(message, status)) writerAt(message, offset).write(value, status);
}

}  // namespace

void tRequestMessage::setInterfaceId(uint16_t interfaceId, nQoMDBG100::tStatus2& status) {
  writeHeaderField(*this, 4, interfaceId, status);
}

void tRequestMessage::setObjectId(uint16_t objectId, nQoMDBG100::tStatus2& status) {
  writeHeaderField(*this, 6, objectId, status);
}

void tRequestMessage::setMethodId(uint8_t methodId, nQoMDBG100::tStatus2& status) {
  writeHeaderField(*this, 3, methodId, status);
}

void tRequestMessage::setRequestFlag(unsigned int flag, nQoMDBG100::tStatus2& status) {
  writeHeaderField(*this, 2, static_cast<uint8_t>(flag != 0 ? 1 : 0), status);
}

tWriter tRequestMessage::payloadWriter(nQoMDBG100::tStatus2& status) {
  if (!isOpen(*this, status)) return {writeLimit, writeLimit};
  return writerAt(*this, kPayloadOffset);
}

void tRequestMessage::finishMessage(nQoMDBG100::tStatus2& status) {
  if (status.isFatal()) return;
  if (finished != 0 || allocated == 0) {
    nQoUdR100::setCode(status, nQoUdR100::kRefused, {"tRequestMessage", 97});
    return;
  }
  const auto allocatedSize = static_cast<uint32_t>(bufferEnd - bufferBegin);
  const uint32_t padding = allocatedSize - requestedLength;
  const auto room = static_cast<std::size_t>(writeLimit - requestStart);
  if (requestedLength > room)
    nQoUdR100::setCode(status, nQoUdR100::kMessageOverrun, {"tQuorlDataWriter", 358});
  else
    writerAt(*this, requestedLength).writeZeros(padding, status);
  finished = 1;
}

}  // namespace nQoFSL100
