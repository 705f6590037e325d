// The Tavik command sequences that the analog primitives share, over the
// board's register map. The bus holder builds one per board beside the map.
#pragma once

#include "frame/tModuleObject.h"
#include "registers/tTavik.h"

namespace nQoUdRLP100 {

class tTavikHelper : public nQoUdR100::tModuleObject {
 public:
  explicit tTavikHelper(nTavik::tTavik* map) : _map(map) {}

  nTavik::tTavik* map() const { return _map; }

 private:
  nTavik::tTavik* _map;
};

}  // namespace nQoUdRLP100
