// The status codes the system sets, by name. A negative code is an error, a
// positive one a warning; a new code gets its name here.
#pragma once

namespace nQoUdR100 {

inline constexpr int kBadIndex = -50003;      // register index, field or table entry out of range
inline constexpr int kNullPointer = -50004;   // a required object or pointer is missing
inline constexpr int kOutOfMemory = -50352;   // an allocation failed
inline constexpr int kCastFailed = -89000;    // a class-identity cast failed

// Board data: product tables and shared routing tables.
inline constexpr int kTableNotHeld = -50150;      // a shared table released with no reference held
inline constexpr int kUnknownProduct = -223747;   // no product record for an identifier, handle or name
inline constexpr int kUnknownCapabilityCode = -223744;  // a capability code outside the code pairs
inline constexpr int kNoCapabilityEntry = -223749;      // a capability list without a qualifying entry

}  // namespace nQoUdR100
