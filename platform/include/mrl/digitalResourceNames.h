// The primitive-type names under which the platform's digital libraries find
// the board's digital pools.
#pragma once

namespace nQoCDR100 {
inline constexpr char kImmedDigPrimName[] = "ImmedDigPrim";
inline constexpr char kHWTimingControllerName[] = "HWTimingController";
inline constexpr char kSWTimingControllerName[] = "SWTimingController";
inline constexpr char kTESKCommRoutingPrimName[] = "TESKCommRoutingPrim";
}  // namespace nQoCDR100

namespace nQoSDR000 {
inline constexpr char kProgPowerupPrimName[] = "ProgPowerupPrim";
}  // namespace nQoSDR000
