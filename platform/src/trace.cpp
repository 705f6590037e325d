// Trace lines and checks, captured for tests.
#include <cstdarg>
#include <cstdio>
#include <mutex>

#include "mdbg/tTrace.h"
#include "sim/simModule.h"
#include "sim/tBoundedLog.h"

namespace nQoMDBG100 {
class tTraceLine {
 public:
  nQoSim::tTraceRecord record;
};
}  // namespace nQoMDBG100

namespace {
std::mutex gTraceLock;
constinit nQoSim::tBoundedLog<nQoSim::tTraceRecord> gLines;
constinit nQoSim::tBoundedLog<std::string> gCheckFailures;
bool gCheckAnswer = true;
nQoMDBG100::tTrace gTrace;
thread_local nQoMDBG100::tTraceLine gOpenLine;
}  // namespace

namespace nQoSim {
std::vector<tTraceRecord> traceLines() {
  std::lock_guard<std::mutex> lock(gTraceLock);
  return gLines.records();
}
void clearTraceLines() {
  std::lock_guard<std::mutex> lock(gTraceLock);
  gLines.clear();
  gCheckFailures.clear();
}
void setCheckAnswer(bool report) {
  std::lock_guard<std::mutex> lock(gTraceLock);
  gCheckAnswer = report;
}
std::vector<std::string> checkFailures() {
  std::lock_guard<std::mutex> lock(gTraceLock);
  return gCheckFailures.records();
}
}  // namespace nQoSim

namespace nQoMDBG100 {

tTrace* tTrace::getInstance(void*) { return &gTrace; }

tTraceLine* tTrace::beginLine(tTrace*, const char* component, const char* location, unsigned line,
                              ...) {
  gOpenLine.record = {component ? component : "", location ? location : "", line, ""};
  return &gOpenLine;
}

void tTrace::putf(tTraceLine* line, const char* format, ...) {
  if (line == nullptr || format == nullptr) return;
  char buffer[1024];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(buffer, sizeof buffer, format, arguments);
  va_end(arguments);
  line->record.text += buffer;
}

void tTrace::endl(tTraceLine* line) {
  if (line == nullptr) return;
  std::lock_guard<std::mutex> lock(gTraceLock);
  gLines.add(line->record);
  line->record = {};
}

bool evalCheck(const char*, const char*, uint32_t, unsigned, const char*) {
  std::lock_guard<std::mutex> lock(gTraceLock);
  return gCheckAnswer;
}

void reportCheckFailure(const char* component, const char* location, unsigned line,
                        const char* expression) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer, "%s|%s|%u|%s", component ? component : "",
                location ? location : "", line, expression ? expression : "");
  std::lock_guard<std::mutex> lock(gTraceLock);
  gCheckFailures.add(buffer);
}

void finishCheckFailure() {}

}  // namespace nQoMDBG100
