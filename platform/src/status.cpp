// The status service: _setCode, _assign, descriptions, and the status log.
#include <array>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "apal/nQoAPALMemory.h"
#include "mdbg/tStatus2.h"
#include "mdbg/tStatus2Description.h"
#include "sim/simStatusLog.h"

namespace {

struct tLogEntry {
  int code;
  char component[16];
  char file[160];
  unsigned line;
  const nQoMDBG100::iStatus2Description* description;
};

constexpr std::size_t kLogSize = 1024;
std::mutex gLogLock;
std::array<tLogEntry, kLogSize> gLog;
std::size_t gLogNext = 0;
std::size_t gLogCount = 0;
std::atomic<bool> gLogging{true};

void copyText(char* field, std::size_t size, const char* text) {
  std::snprintf(field, size, "%s", text == nullptr ? "" : text);
}

// Callers look at gLogging first, so that a store with the log off costs no
// call.
void record(int code, const char* component, const char* file, unsigned line,
            const nQoMDBG100::iStatus2Description* description) {
  std::lock_guard<std::mutex> lock(gLogLock);
  tLogEntry& entry = gLog[gLogNext];
  entry.code = code;
  copyText(entry.component, sizeof entry.component, component);
  copyText(entry.file, sizeof entry.file, file);
  entry.line = line;
  entry.description = description;
  gLogNext = (gLogNext + 1) % kLogSize;
  if (gLogCount < kLogSize) ++gLogCount;
}

}  // namespace

namespace nQoSim {
std::vector<tStatusRecord> statusLog() {
  std::lock_guard<std::mutex> lock(gLogLock);
  std::vector<tStatusRecord> out;
  out.reserve(gLogCount);
  for (std::size_t i = 0; i < gLogCount; ++i) {
    const tLogEntry& e = gLog[(gLogNext + kLogSize - gLogCount + i) % kLogSize];
    out.push_back({e.code, e.component, e.file, e.line, e.description});
  }
  return out;
}
void clearStatusLog() {
  std::lock_guard<std::mutex> lock(gLogLock);
  gLogCount = 0;
}
void setStatusLogging(bool on) { gLogging = on; }
}  // namespace nQoSim

namespace nQoMDBG100 {

void tStatus2::_setCode(tStatus2* status, int newCode, const char* component, const char* file,
                        unsigned line, iStatus2Description* newDescription) {
  if (status->description != nullptr) status->description->release();
  status->description = newDescription;
  status->code = newCode;
  if (gLogging.load(std::memory_order_relaxed))
    record(newCode, component, file, line, newDescription);
}

void tStatus2::_assign(const tStatus2& other) {
  if (other.description != nullptr) other.description->retain();
  if (description != nullptr) description->release();
  description = other.description;
  code = other.code;
  if (gLogging.load(std::memory_order_relaxed))
    record(other.code, "", "assign", 0, other.description);
}

void tStatus2::setDescription(tStatus2* status, iStatus2Description* newDescription) {
  if (status->description == newDescription) return;
  if (status->description != nullptr) status->description->release();
  status->description = newDescription;
}

iStatus2Description::~iStatus2Description() = default;

void* iStatus2Description::operator new(std::size_t size) noexcept {
  return _memNewUsingCRT(size, 0, nullptr);
}

void iStatus2Description::operator delete(void* block) noexcept { _memDelete(block); }

tStatus2Description::tStatus2Description(int&) {}

tStatus2Description::~tStatus2Description() {
  for (auto& property : _properties) delete property.second;
}

void tStatus2Description::addProperty(uint32_t id, const iVariantReportable& reportable,
                                      tStatus2& status) {
  int code = 0;
  nQoORB100::tObject* copy = reportable.clone(code);
  auto* value = copy == nullptr ? nullptr
                                : static_cast<iVariantReportable*>(
                                      copy->___CPPKRLDynamicCast(&iVariantReportable::___classID));
  if (value == nullptr) {
    delete copy;
    status.setCode(code < 0 ? code : -50352, "qomdbg", "tStatus2Description", 120);
    return;
  }
  auto found = _properties.find(id);
  if (found != _properties.end()) {
    delete found->second;
    found->second = value;
  } else {
    _properties.emplace(id, value);
  }
}

void tStatus2Description::reset(tStatus2& status) {
  if (status.isFatal()) return;
  for (auto& property : _properties) delete property.second;
  _properties.clear();
}

const iVariantReportable* tStatus2Description::getProperty(uint32_t id) const {
  auto found = _properties.find(id);
  return found == _properties.end() ? nullptr : found->second;
}

void tStatus2Description::retain() { ++_references; }

void tStatus2Description::release() {
  if (--_references == 0) delete this;
}

}  // namespace nQoMDBG100
