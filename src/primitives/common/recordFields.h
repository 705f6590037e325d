// The field operations of the configuration records (tConfigRecord.h). A
// record lists its fields once, in declaration order, as member pointers in
// kFields; each operation walks that list and handles a field by its type:
//
//   integers        one stream operation of their own width and sign
//   arrays          element by element
//   tPhysicalValue  i32 value, i16 exponent, u16 kind; equal by aligned value
//   tRecordVector   u32 count, then the elements
//   records         their own fields
//
// A read stores a field only when its stream operations left no error, so a
// short stream keeps the fields read and the defaults of the others.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <tuple>
#include <type_traits>

#include "frame/statusCodes.h"
#include "frame/tPhysicalValue.h"
#include "frame/tStatusSite.h"
#include "orb/iExternalInputStream.h"
#include "orb/iExternalOutputStream.h"
#include "primitives/common/tRecordVector.h"

namespace nQoUdP100::nRecordFields {

using nQoORB100::iExternalInputStream;
using nQoORB100::iExternalOutputStream;
using nQoUdRLP100::tPhysicalValue;

template <class T>
inline constexpr bool kIsVector = false;
template <class T>
inline constexpr bool kIsVector<tRecordVector<T>> = true;

template <class tRecord, class tVisit>
bool allFields(tRecord& record, tVisit visit) {
  return std::apply([&](auto... members) { return (visit(record.*members) && ...); },
                    std::remove_const_t<tRecord>::kFields);
}

template <class T>
void writeField(iExternalOutputStream& stream, const T& field, int& status) {
  if constexpr (std::is_same_v<T, int16_t>) {
    stream.writeI16(field, status);
  } else if constexpr (std::is_same_v<T, uint16_t>) {
    stream.writeU16(field, status);
  } else if constexpr (std::is_same_v<T, int32_t>) {
    stream.writeI32(field, status);
  } else if constexpr (std::is_same_v<T, uint32_t>) {
    stream.writeU32(field, status);
  } else if constexpr (std::is_same_v<T, uint64_t>) {
    stream.writeU64(field, status);
  } else if constexpr (std::is_array_v<T>) {
    for (const auto& element : field) writeField(stream, element, status);
  } else if constexpr (std::is_same_v<T, tPhysicalValue>) {
    stream.writeI32(field.value, status);
    stream.writeI16(field.exponent, status);
    stream.writeU16(field.kind, status);
  } else if constexpr (kIsVector<T>) {
    if (field.size() > UINT32_MAX) {
      nQoUdR100::mergeCode(status, nQoUdR100::kCountTooLarge);
      return;
    }
    stream.writeU32(static_cast<uint32_t>(field.size()), status);
    for (const auto& element : field) {
      if (status < 0) return;
      writeField(stream, element, status);
    }
  } else {
    allFields(field, [&](const auto& member) {
      writeField(stream, member, status);
      return true;
    });
  }
}

template <class T>
void readField(iExternalInputStream& stream, T& field, int& status) {
  if constexpr (std::is_integral_v<T>) {
    T value;
    if constexpr (std::is_same_v<T, int16_t>) {
      value = stream.readI16(status);
    } else if constexpr (std::is_same_v<T, uint16_t>) {
      value = stream.readU16(status);
    } else if constexpr (std::is_same_v<T, int32_t>) {
      value = stream.readI32(status);
    } else if constexpr (std::is_same_v<T, uint32_t>) {
      value = stream.readU32(status);
    } else {
      static_assert(std::is_same_v<T, uint64_t>, "a field type without a stream operation");
      value = stream.readU64(status);
    }
    if (status >= 0) field = value;
  } else if constexpr (std::is_array_v<T>) {
    for (auto& element : field) readField(stream, element, status);
  } else if constexpr (std::is_same_v<T, tPhysicalValue>) {
    const int32_t value = stream.readI32(status);
    const int16_t exponent = stream.readI16(status);
    const uint16_t kind = stream.readU16(status);
    if (status >= 0) field = {value, exponent, kind};
  } else if constexpr (kIsVector<T>) {
    // The count comes from outside: reserve at most kReadReserve elements, and
    // grow only for elements that really arrive.
    const uint32_t count = stream.readU32(status);
    if (status < 0) return;
    field.clear();
    if (!field.reserve(std::min(count, T::kReadReserve))) {
      nQoUdR100::mergeCode(status, nQoUdR100::kOutOfMemory);
      return;
    }
    for (uint32_t i = 0; i < count; ++i) {
      typename T::tElement element{};
      readField(stream, element, status);
      if (status < 0) return;
      if (!field.append(element)) {
        nQoUdR100::mergeCode(status, nQoUdR100::kOutOfMemory);
        return;
      }
    }
  } else {
    allFields(field, [&](auto& member) {
      readField(stream, member, status);
      return true;
    });
  }
}

template <class T>
bool equalField(const T& a, const T& b) {
  if constexpr (std::is_integral_v<T> || kIsVector<T>) {
    return a == b;
  } else if constexpr (std::is_array_v<T>) {
    for (std::size_t i = 0; i < std::extent_v<T>; ++i)
      if (!equalField(a[i], b[i])) return false;
    return true;
  } else if constexpr (std::is_same_v<T, tPhysicalValue>) {
    int scratch = 0;
    return tPhysicalValue::equal(a, b, scratch);
  } else {
    return std::apply([&](auto... members) { return (equalField(a.*members, b.*members) && ...); },
                      T::kFields);
  }
}

// True when a vector of the field, or of an element of it, failed to grow.
template <class T>
bool allocationFailed(const T& field) {
  if constexpr (std::is_arithmetic_v<T> || std::is_array_v<T> ||
                std::is_same_v<T, tPhysicalValue>) {
    return false;
  } else if constexpr (kIsVector<T>) {
    if (field.allocationFailed()) return true;
    return std::any_of(field.begin(), field.end(),
                       [](const auto& element) { return allocationFailed(element); });
  } else {
    return !allFields(field, [](const auto& member) { return !allocationFailed(member); });
  }
}

}  // namespace nQoUdP100::nRecordFields
