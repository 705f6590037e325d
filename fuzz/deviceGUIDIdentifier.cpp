// Device GUID identifiers from outside: the bytes are read through the byte
// stream (a count of extra fields, that many words, the GUID). A read either
// ends cleanly right after the GUID, with the GUID taken from those bytes, or
// with the stream's error and the GUID as it was, however large the count;
// what was read streams out and in again to an equal identifier.
#include <cstdint>
#include <cstdlib>

#include "device/tMIO_GUIDIdentifier.h"
#include "orb/tByteInputStream.h"
#include "orb/tByteOutputStream.h"
#include "support/tFreshSimulation.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

uint64_t u64At(const uint8_t* bytes) {
  uint64_t value = 0;
  for (int i = 7; i >= 0; --i) value = value << 8 | bytes[i];
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const nQoFuzz::tFreshSimulation fresh;
  const nQoORB100::tGUID before{0x0123456789ABCDEF, 0xFEDCBA9876543210};
  nQoUdR100::tMIO_GUIDIdentifier identifier;
  identifier.setGUID(before);
  nQoORB100::tByteInputStream in(data, size);
  int status = 0;
  identifier.readExternal(in, status);
  if (status != 0) {
    check(status == nQoORB100::kEndOfStream);
    check(identifier.getGUID() == before);
    return 0;
  }
  const uint32_t count = uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 |
                         uint32_t(data[3]) << 24;
  const size_t guidAt = 4 + size_t{count} * 4;
  check(in.position() == guidAt + 16);
  check(identifier.getGUID() == nQoORB100::tGUID{u64At(data + guidAt), u64At(data + guidAt + 8)});

  nQoORB100::tByteOutputStream out;
  identifier.writeExternal(out, status);
  nQoUdR100::tMIO_GUIDIdentifier again;
  nQoORB100::tByteInputStream back(out.bytes().data(), out.bytes().size());
  again.readExternal(back, status);
  check(status == 0 && again.isEqual(identifier) && again.hash() == identifier.hash());
  return 0;
}
