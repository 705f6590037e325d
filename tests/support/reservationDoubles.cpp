#include "support/reservationDoubles.h"

namespace nQoTest {

std::vector<std::string> tCallLog::operations() const {
  std::vector<std::string> out;
  for (const tCall& call : calls) out.push_back(call.operation);
  return out;
}

void tScriptedDouble::answer(const std::string& operation, nQoMDBG100::tStatus2& status,
                             const void* in, const void* out) {
  _log.calls.push_back({_name + "." + operation, &status, status.code, in, out});
  auto found = answers.find(operation);
  if (found != answers.end())
    status.setCode(found->second, "qotest", "reservationDoubles", 20);
}

void tScriptedReserver::reserveResource(nQoMDBG100::tStatus2& s) { answer("reserveResource", s); }
void tScriptedReserver::releaseResource(nQoMDBG100::tStatus2& s) { answer("releaseResource", s); }

void tScriptedLinker::link(nQoMRL100::iPrimitiveSupervisorMap& map, nQoMDBG100::tStatus2& s) {
  mapSeen = &map;
  answer("link", s);
}
void tScriptedLinker::linkResource(nQoMDBG100::tStatus2& s) { answer("linkResource", s); }
void tScriptedLinker::unlinkResource(nQoMDBG100::tStatus2& s) { answer("unlinkResource", s); }
void tScriptedLinker::unlink(nQoMDBG100::tStatus2& s) { answer("unlink", s); }

void tScriptedPrimitive::commit(nQoMDBG100::tStatus2& s) { answer("commit", s); }
void tScriptedPrimitive::arm(nQoMDBG100::tStatus2& s) { answer("arm", s); }
void tScriptedPrimitive::start(nQoMDBG100::tStatus2& s) { answer("start", s); }
void tScriptedPrimitive::stop(nQoMDBG100::tStatus2& s) { answer("stop", s); }
void tScriptedPrimitive::disarm(nQoMDBG100::tStatus2& s) { answer("disarm", s); }
void tScriptedPrimitive::uncommit(nQoMDBG100::tStatus2& s) { answer("uncommit", s); }

void tScriptedController::control(uint32_t code, nQoMDBG100::tStatus2& s) {
  answer("control " + std::to_string(code), s);
}

uint32_t tScriptedController::isControlEnabled(uint32_t code, nQoMDBG100::tStatus2& s) {
  answer("enabled " + std::to_string(code), s);
  auto found = enabled.find(code);
  return found == enabled.end() ? 0 : found->second;
}

void tScriptedSupervisor::initialize(const nQoMRL100::iPrimitiveSettings&,
                                     nQoMRL100::iRuntimeFacade*, nQoMDBG100::tStatus2& s) {
  answer("initialize", s);
}
void tScriptedSupervisor::deploy(const nQoMRL100::iPrimitiveSettings&, nQoMDBG100::tStatus2& s) {
  answer("deploy", s);
}
void tScriptedSupervisor::link(nQoMRL100::iPrimitiveSupervisorMap&, nQoMDBG100::tStatus2& s) {
  answer("link", s);
}
void tScriptedSupervisor::reserveResource(nQoMDBG100::tStatus2& s) { answer("reserveResource", s); }
void tScriptedSupervisor::linkResource(nQoMDBG100::tStatus2& s) { answer("linkResource", s); }
void tScriptedSupervisor::unlinkResource(nQoMDBG100::tStatus2& s) { answer("unlinkResource", s); }
void tScriptedSupervisor::releaseResource(nQoMDBG100::tStatus2& s) { answer("releaseResource", s); }
void tScriptedSupervisor::unlink(nQoMDBG100::tStatus2& s) { answer("unlink", s); }
void tScriptedSupervisor::control(uint32_t code, nQoMRL100::iControlParameterBlock* in,
                                  nQoMRL100::iControlParameterBlock* out,
                                  nQoMDBG100::tStatus2& s) {
  answer("control " + std::to_string(code), s, in, out);
}
void tScriptedSupervisor::requestCancel(nQoMDBG100::tStatus2& s) { answer("requestCancel", s); }
void tScriptedSupervisor::commitCancel(nQoMDBG100::tStatus2& s) { answer("commitCancel", s); }

}  // namespace nQoTest
