// A routable object of the chassis, interface 0x0803: one packer per method.
// Every reply is the status block alone.
//
//   nRoutable::tRoutePacker packer(t1, t2, objectId, sources, destinations);
#pragma once

#include <cstdint>

#include "chassis/message/tArray.h"
#include "chassis/message/tMethod.h"
#include "chassis/message/tPacker.h"

namespace nQoFSL100::nQoMIOCS::nRoutable {

template <uint8_t kId, unsigned kLine>
inline constexpr tMethod kMethod{0x0803, kId, "tRoutable", kLine};

// clang-format off
class tRoutePacker                            : public tPacker<kMethod<8, 127>, tIn<tArray<uint32_t>, tArray<uint32_t>>> { using tPacker::tPacker; };
class tRouteCartridgeConvertControlPacker     : public tPacker<kMethod<9, 197>, tIn<uint32_t, uint32_t>> { using tPacker::tPacker; };
class tRouteCartridgeDoValuePacker            : public tPacker<kMethod<10, 267>, tIn<uint32_t, uint32_t>> { using tPacker::tPacker; };
class tRouteCartridgeSignalSourcePacker       : public tPacker<kMethod<11, 339>, tIn<uint32_t, uint32_t, uint32_t>> { using tPacker::tPacker; };
class tRouteCartridgeStaticDioDirectionPacker : public tPacker<kMethod<12, 412>, tIn<uint32_t, uint32_t, uint32_t>> { using tPacker::tPacker; };
class tUncommitPFIRoutePacker                 : public tPacker<kMethod<13, 481>, tIn<uint32_t>> { using tPacker::tPacker; };
// clang-format on

}  // namespace nQoFSL100::nQoMIOCS::nRoutable
