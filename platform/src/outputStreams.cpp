// The output stream's out-of-line destructor and the class identities of the
// output transfer interfaces.
#include "mrl/iOutputTransfers.h"
#include "msrl/iOutputStream.h"

nQoMSRL100::iOutputStream::~iOutputStream() = default;
void* nQoMSRL100::iOutputFIFOTransfer::___classID = nullptr;
