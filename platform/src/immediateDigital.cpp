// The out-of-line destructors of the immediate-digital and input-stream
// interfaces.
#include "cdp/iImmedDigPrim.h"
#include "cdp/iTESKCommRoutingPrim.h"
#include "cdp/iTESK_HWTimingController.h"
#include "cdp/iTESK_SWTimingController.h"
#include "msrl/iInputStream.h"
#include "msrl/iStreamAttributes.h"

nQoCDP100::iImmedDigPrim::~iImmedDigPrim() = default;
nQoCDP100::iTESKCommRoutingPrim::~iTESKCommRoutingPrim() = default;
nQoCDP100::iTESK_HWTimingController::~iTESK_HWTimingController() = default;
nQoCDP100::iTESK_SWTimingController::~iTESK_SWTimingController() = default;
nQoMSRL100::iStreamAttributes::~iStreamAttributes() = default;
nQoMSRL100::iInputStream::~iInputStream() = default;
