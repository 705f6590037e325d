// The status codes the system sets, by name. A negative code is an error, a
// positive one a warning; a new code gets its name here.
#pragma once

namespace nQoUdR100 {

inline constexpr int kBadIndex = -50003;      // register index, field or table entry out of range
inline constexpr int kNullPointer = -50004;   // a required object or pointer is missing
inline constexpr int kOutOfMemory = -50352;   // an allocation failed
inline constexpr int kCastFailed = -89000;    // a class-identity cast failed

// Settings and supervisor frames.
inline constexpr int kBadParameterBlock = -50150;    // a parameter block ran out of values
inline constexpr int kControlNotSupported = -50256;  // a control code the supervisor does not serve

}  // namespace nQoUdR100
