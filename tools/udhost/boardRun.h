// One simulated board brought up as the platform does it: a device-tree node
// naming the record's product, the driver created by class name, initialize
// and code 8; then its pools and routing node are listed, the tasks run and
// the driver is destroyed. Prints the board's lines; answers whether the
// board behaved (came up, or was refused with its record's code, tasks ended
// with good data, nothing left allocated).
//
//   bool good = runBoard(record, index, options);
#pragma once

#include <cstdint>

#include "frame/tProductDescriptor.h"
#include "hostOptions.h"

namespace nQoHost {

// The code a record's bring-up answers: -50150 for a bus kind the driver does
// not serve, -50256 for an unsupported variant, else 0.
int expectedBringUp(const nQoUdR100::tProductDescriptor& record);

bool runBoard(const nQoUdR100::tProductDescriptor& record, uint32_t handle,
              const tHostOptions& options);

}  // namespace nQoHost
