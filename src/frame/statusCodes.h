// The status codes the system sets, by name. A negative code is an error, a
// positive one a warning; a new code gets its name here.
#pragma once

namespace nQoUdR100 {

inline constexpr int kBadIndex = -50003;      // register index, field or table entry out of range
inline constexpr int kNullPointer = -50004;   // a required object or pointer is missing
inline constexpr int kOutOfMemory = -50352;   // an allocation failed
inline constexpr int kCastFailed = -89000;    // a class-identity cast failed

}  // namespace nQoUdR100

// Primitive records and primitives.
namespace nQoUdR100 {

inline constexpr int kCountTooLarge = -50175;  // a count does not fit its 32-bit stream word
inline constexpr int kNotSupported = -50256;   // the operation is not supported here

}  // namespace nQoUdR100
