#include "frame/staticConstructors.h"

#include "frame/tClassRegistration.h"
#include "frame/tIntrinsicTypeReportable.h"
#include "frame/wideDigitString.h"
#include "reservation/globalDriverParameters.h"
#include "settings/tTavikLineFilterIdentifier.h"

// In link order; each later class adds its registration here.
const tStaticConstructor kStaticConstructors[] = {
    nullptr,
    nQoMRTB100::constructGlobalDriverParameters,
    nQoUdR100::constructWideDigitString,
    nQoMDBG100::tIntrinsicTypeReportable<unsigned int>::tRegistration::construct,
    nQoMDBG100::tIntrinsicTypeReportable<unsigned long>::tRegistration::construct,
    nQoMDBG100::tIntrinsicTypeReportable<nQoUdR100::tWString>::tRegistration::construct,
    nQoUdR100::tClassRegistration<nQoUdR100::tTavikLineFilterIdentifier>::construct,
    nullptr,
};

const std::size_t kStaticConstructorCount = sizeof kStaticConstructors / sizeof kStaticConstructors[0];

void runConstructorList(const tStaticConstructor* list, std::size_t count) {
  for (std::size_t i = count; i-- > 0;)
    if (list[i] != nullptr) list[i]();
}
