// The field encodings of chassis messages: every multi-byte value most
// significant byte first, no alignment.
//
//   8-, 16-, 32-, 64-bit value 1, 2, 4, 8 bytes
//   array of 8/16-bit values  u16 L = 2 + element bytes, then the elements
//   array of 32-bit values    00 00, u16 L = 2 + element bytes, then the elements
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "chassis/message/tArray.h"

namespace nQoFSL100 {

template <class T>
concept tWireScalar = std::is_unsigned_v<T> && !std::is_same_v<T, bool>;

// Both go through a local copy so that the compiler sees one byte swap and
// one unaligned access instead of byte accesses that may alias anything.
template <tWireScalar T>
T loadBigEndian(const unsigned char* bytes) {
  unsigned char local[sizeof(T)];
  std::memcpy(local, bytes, sizeof(T));
  T value = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) value = static_cast<T>((value << 8) | local[i]);
  return value;
}

template <tWireScalar T>
void storeBigEndian(unsigned char* bytes, T value) {
  unsigned char local[sizeof(T)];
  for (std::size_t i = 0; i < sizeof(T); ++i)
    local[i] = static_cast<unsigned char>(value >> 8 * (sizeof(T) - 1 - i));
  std::memcpy(bytes, local, sizeof(T));
}

// A value with its bytes in wire order in memory.
template <tWireScalar T>
T bigEndianOf(T value) {
  if constexpr (std::endian::native == std::endian::big || sizeof(T) == 1)
    return value;
  else if constexpr (sizeof(T) == 2)
    return __builtin_bswap16(value);
  else if constexpr (sizeof(T) == 4)
    return __builtin_bswap32(value);
  else
    return __builtin_bswap64(value);
}

// A run of count values, as loadBigEndian and storeBigEndian do one by one;
// bytes are copied as they are. The bytes do not overlap the values, so the
// swap loops vectorise.
template <tWireScalar T>
void loadBigEndianRun(T* __restrict values, const unsigned char* __restrict bytes,
                      std::size_t count) {
  if constexpr (sizeof(T) == 1) {
    if (count != 0) std::memcpy(values, bytes, count);
  } else {
    for (std::size_t i = 0; i < count; ++i) {
      T wire;
      std::memcpy(&wire, bytes + i * sizeof(T), sizeof(T));
      values[i] = bigEndianOf(wire);
    }
  }
}

template <tWireScalar T>
void storeBigEndianRun(unsigned char* __restrict bytes, const T* __restrict values,
                       std::size_t count) {
  if constexpr (sizeof(T) == 1) {
    if (count != 0) std::memcpy(bytes, values, count);
  } else {
    for (std::size_t i = 0; i < count; ++i) {
      const T wire = bigEndianOf(values[i]);
      std::memcpy(bytes + i * sizeof(T), &wire, sizeof(T));
    }
  }
}

// The length field of an array and the most elements its 16-bit length can
// count exactly.
template <class T>
struct tArrayWire {
  static constexpr std::size_t kLengthBytes = sizeof(T) == 4 ? 4 : 2;
  static constexpr std::size_t kMaxElements = (0xFFFF - 2) / sizeof(T);
};

// One argument at out as a request carries it (an array: its length field,
// then the elements); answers the byte after it. The caller has made sure of
// the room.
template <tWireScalar T>
unsigned char* storeWire(unsigned char* out, T value) {
  storeBigEndian(out, value);
  return out + sizeof(T);
}
template <class T>
unsigned char* storeWire(unsigned char* out, const tArray<T>& array) {
  const std::size_t elementBytes = array.size() * sizeof(T);
  if (tArrayWire<T>::kLengthBytes == 4) {
    storeBigEndian<uint16_t>(out, 0);
    out += 2;
  }
  // The length is cut to 16 bits: callers refuse arrays whose length would
  // wrap (fitsLengthField).
  storeBigEndian(out, static_cast<uint16_t>(elementBytes + 2));
  out += 2;
  storeBigEndianRun(out, array.begin(), array.size());
  return out + elementBytes;
}

// Request bytes of one argument, in 32-bit arithmetic.
template <tWireScalar T>
uint32_t wireSize(const T&) {
  return sizeof(T);
}
template <class T>
uint32_t wireSize(const tArray<T>& array) {
  return static_cast<uint32_t>(tArrayWire<T>::kLengthBytes + array.size() * sizeof(T));
}

// False for an array whose length field would wrap.
template <tWireScalar T>
bool fitsLengthField(const T&) {
  return true;
}
template <class T>
bool fitsLengthField(const tArray<T>& array) {
  return array.size() <= tArrayWire<T>::kMaxElements;
}

}  // namespace nQoFSL100
