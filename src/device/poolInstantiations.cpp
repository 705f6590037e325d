// One instantiation of every pool class of the list, and with it each class
// identity.
#include "device/poolInstantiations.h"

#define QOUDR_WRAPPED_SINGULAR(T)                                                                 \
  template class nQoUdR100::tRefCountingResourcePoolWrapper<nQoUdR100::tSingularResourcePool<T*>, \
                                                            T*>;
#define QOUDR_BARE_SINGULAR(T) template class nQoUdR100::tSingularResourcePool<T*>;
#define QOUDR_WRAPPER(Pool, P) template class nQoUdR100::tRefCountingResourcePoolWrapper<Pool, P>;

QOUDR_SINGULAR_POOL_RESOURCES(QOUDR_WRAPPED_SINGULAR, QOUDR_BARE_SINGULAR)
QOUDR_OTHER_WRAPPED_POOLS(QOUDR_WRAPPER)
template class nQoUdR100::tGenericResourcePoolExtStrategy<nQoCDP100::iImmedDigPrim,
                                                          nQoUdR100::iReservationStrategy2>;
