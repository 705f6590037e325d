// The routing library: table unpackers over zlib, routing-device nodes and
// their registration per owner, with the test controls of simRouting.h.
#include <zlib.h>

#include <map>
#include <mutex>
#include <optional>

#include "kal/nQoKAL.h"
#include "mru/routingTables.h"
#include "mru/tRoutingDeviceNode.h"
#include "sim/simRouting.h"
#include "sim/tBoundedLog.h"

namespace {

using nQoMDBG100::tStatus2;
using nQoSim::tRoutingRecord;

constexpr const char kComponent[] = "qomru";
constexpr int kBadTable = -50150;

std::recursive_mutex gLock;
constinit nQoSim::tBoundedLog<tRoutingRecord> gLog;
std::map<const void*, nQoMRU210::tRoutingDeviceNode*> gNodes;
int gLiveTables = 0;
unsigned gCalls = 0;
unsigned gFailAt = 0;
int gFailCode = 0;
bool gLogging = true;
std::function<void(nQoMRU210::tRoutingDeviceNode*)> gNodeAdded;

uint64_t word(const void* pointer) { return reinterpret_cast<uintptr_t>(pointer); }

// One routing call: logged on entry and completed with the outgoing code when
// it goes out of scope. go() says whether the call may act: the status holds
// no error and the call is not the armed failure.
class tCall {
 public:
  tCall(tRoutingRecord record, tStatus2& status) : _guard(gLock), _status(status) {
    record.incoming = status.code;
    if (gLogging) _logged = gLog.add(std::move(record));
  }
  // A call made inside this one may have dropped the record from the log.
  ~tCall() {
    if (!_logged) return;
    if (tRoutingRecord* logged = gLog.find(*_logged)) logged->outgoing = _status.code;
  }

  bool go(unsigned line) {
    if (_status.isFatal()) return false;
    if (++gCalls != gFailAt) return true;
    gFailAt = 0;
    _status.setCode(gFailCode, kComponent, "routing", line);
    return false;
  }
  void fail(int code, unsigned line) { _status.setCode(code, kComponent, "routing", line); }

 private:
  std::lock_guard<std::recursive_mutex> _guard;
  tStatus2& _status;
  std::optional<uint64_t> _logged;
};

const void* unpack(tCall& call, uint32_t version, uint32_t unpackedSize, const uint8_t* packed,
                   uint32_t packedSize, const uint32_t* identifiers, uint32_t count,
                   void* const* classID, void** data) {
  if (data != nullptr) *data = nullptr;
  if (!call.go(60)) return nullptr;
  if (version != nQoMRU210::kTableVersion || packed == nullptr || unpackedSize == 0 ||
      data == nullptr) {
    call.fail(kBadTable, 63);
    return nullptr;
  }
  auto* bytes = static_cast<Bytef*>(nQoKAL100_malloc(unpackedSize));
  auto* record =
      static_cast<nQoMRU210::tUnpackedTable*>(nQoKAL100_malloc(sizeof(nQoMRU210::tUnpackedTable)));
  if (bytes == nullptr || record == nullptr) {
    nQoKAL100_free(bytes);
    nQoKAL100_free(record);
    call.fail(-50352, 72);
    return nullptr;
  }
  uLongf size = unpackedSize;
  if (uncompress(bytes, &size, packed, packedSize) != Z_OK || size != unpackedSize) {
    nQoKAL100_free(bytes);
    nQoKAL100_free(record);
    call.fail(kBadTable, 79);
    return nullptr;
  }
  *record = {version, unpackedSize, identifiers, count, classID};
  *data = record;
  ++gLiveTables;
  return bytes;
}

void release(tCall& call, const void* table, void* data) {
  if (!call.go(90)) return;
  auto* record = static_cast<nQoMRU210::tUnpackedTable*>(data);
  if (table == nullptr || record == nullptr) {
    call.fail(kBadTable, 93);
    return;
  }
  nQoKAL100_free(const_cast<void*>(table));
  nQoKAL100_free(record);
  --gLiveTables;
}

}  // namespace

namespace nQoMRU210 {

const void* unpackRoutingNodeTable(uint32_t version, uint32_t unpackedSize, const uint8_t* packed,
                                   uint32_t packedSize, const uint32_t* identifiers,
                                   uint32_t identifierCount, void** data, tStatus2& status) {
  tCall call({.function = "unpackRoutingNodeTable",
              .object = packed,
              .words = {version, unpackedSize, packedSize, word(identifiers), identifierCount}},
             status);
  return unpack(call, version, unpackedSize, packed, packedSize, identifiers, identifierCount,
                nullptr, data);
}

void freeRoutingNodeTable(const void* table, void* data, tStatus2& status) {
  tCall call({.function = "freeRoutingNodeTable", .object = table, .words = {word(data)}}, status);
  release(call, table, data);
}

tRoutingDeviceNode::tRoutingDeviceNode(tStatus2& status) {
  tCall call({.function = "tRoutingDeviceNode", .object = this}, status);
  call.go(120);
}

tRoutingDeviceNode::~tRoutingDeviceNode() {
  tStatus2 scratch;
  tCall call({.function = "~tRoutingDeviceNode", .object = this}, scratch);
}

void tRoutingDeviceNode::setVersion(uint32_t version, tStatus2& status) {
  tCall call({.function = "setVersion", .object = this, .words = {version}}, status);
  if (call.go(130)) _version = version;
}

void tRoutingDeviceNode::setName(const char* topographyClassName, tStatus2& status) {
  const std::string name = topographyClassName == nullptr ? "" : topographyClassName;
  tCall call({.function = "setName", .object = this, .text = name}, status);
  if (call.go(136)) _name = name;
}

void tRoutingDeviceNode::setOwner(iDeviceNode* owner, tStatus2& status) {
  tCall call({.function = "setOwner", .object = this, .words = {word(owner)}}, status);
  if (call.go(141)) _owner = owner;
}

void tRoutingDeviceNode::setTerminalCount(uint32_t count, tStatus2& status) {
  tCall call({.function = "setTerminalCount", .object = this, .words = {count}}, status);
  if (call.go(146)) _terminalCount = count;
}

void tRoutingDeviceNode::setSubsystemMask(uint32_t mask, tStatus2& status) {
  tCall call({.function = "setSubsystemMask", .object = this, .words = {mask}}, status);
  if (call.go(151)) _subsystemMask = mask;
}

void tRoutingDeviceNode::addTerminalGroup(uint32_t index, iRoutableResource* routable,
                                          const void* entries, uint32_t entryCount,
                                          uint32_t reserved0, uint32_t reserved1,
                                          tStatus2& status) {
  tCall call({.function = "addTerminalGroup",
              .object = this,
              .words = {index, word(routable), word(entries), entryCount, reserved0, reserved1}},
             status);
  if (!call.go(162)) return;
  if (index >= kMaxGroups) {
    call.fail(kBadTable, 164);
    return;
  }
  _groups[index] = {routable, entries, entryCount};
}

void addRoutingDeviceNode(const void* owner, tRoutingDeviceNode* node, tStatus2& status) {
  tCall call({.function = "addRoutingDeviceNode", .object = owner, .words = {word(node)}}, status);
  if (!call.go(172)) return;
  if (node == nullptr || !gNodes.emplace(owner, node).second) {
    call.fail(kBadTable, 173);
    return;
  }
  if (gNodeAdded) gNodeAdded(node);
}

tRoutingDeviceNode* removeRoutingDeviceNode(const void* owner, tStatus2& status) {
  tCall call({.function = "removeRoutingDeviceNode", .object = owner}, status);
  if (!call.go(178)) return nullptr;
  auto found = gNodes.find(owner);
  if (found == gNodes.end()) return nullptr;
  tRoutingDeviceNode* node = found->second;
  gNodes.erase(found);
  return node;
}

void routableRegistrarForwardA(const void* owner, tStatus2& status) {
  tCall call({.function = "routableRegistrarForwardA", .object = owner}, status);
  call.go(188);
}

void routableRegistrarForwardB(const void* owner, tStatus2& status) {
  tCall call({.function = "routableRegistrarForwardB", .object = owner}, status);
  call.go(193);
}

}  // namespace nQoMRU210

namespace nQoMRU230 {

const void* unpackTopographyTable(uint32_t version, uint32_t unpackedSize, const uint8_t* packed,
                                  uint32_t packedSize, const uint32_t* tags, uint32_t tagCount,
                                  void* const* classID, void** data, tStatus2& status) {
  tCall call({.function = "unpackTopographyTable",
              .object = packed,
              .words = {version, unpackedSize, packedSize, word(tags), tagCount, word(classID)}},
             status);
  return unpack(call, version, unpackedSize, packed, packedSize, tags, tagCount, classID, data);
}

void freeTopographyTable(const void* table, void* data, tStatus2& status) {
  tCall call({.function = "freeTopographyTable", .object = table, .words = {word(data)}}, status);
  release(call, table, data);
}

}  // namespace nQoMRU230

namespace nQoSim {

std::vector<tRoutingRecord> routingLog() {
  std::lock_guard<std::recursive_mutex> lock(gLock);
  return gLog.records();
}

void failRoutingCall(unsigned nth, int code) {
  std::lock_guard<std::recursive_mutex> lock(gLock);
  gFailAt = nth == 0 ? 0 : gCalls + nth;
  gFailCode = code;
}

int liveRoutingTables() {
  std::lock_guard<std::recursive_mutex> lock(gLock);
  return gLiveTables;
}

nQoMRU210::tRoutingDeviceNode* routingNodeOf(const void* owner) {
  std::lock_guard<std::recursive_mutex> lock(gLock);
  auto found = gNodes.find(owner);
  return found == gNodes.end() ? nullptr : found->second;
}

void setRoutingLogging(bool on) {
  std::lock_guard<std::recursive_mutex> lock(gLock);
  gLogging = on;
}

void onRoutingNodeAdded(std::function<void(nQoMRU210::tRoutingDeviceNode*)> hook) {
  std::lock_guard<std::recursive_mutex> lock(gLock);
  gNodeAdded = std::move(hook);
}

void resetRouting() {
  std::lock_guard<std::recursive_mutex> lock(gLock);
  gLog.clear();
  gNodeAdded = nullptr;
  gFailAt = 0;
}

}  // namespace nQoSim
