// A reportable wide text (32-bit characters), copied at construction.
#pragma once

#include <cstddef>
#include <string>

#include "mdbg/iVariantReportable.h"

namespace nQoMDBG100 {

class tWideTextReportable : public iVariantReportable {
 public:
  static void* ___classID;
  tWideTextReportable(const wchar_t* text, std::size_t length);
  void* ___CPPKRLDynamicCast(void* const* classID) override;
  const void* ___CPPKRLDynamicCast(void* const* classID) const override;
  nQoORB100::tObject* clone(int& status) const override;

  const std::wstring& getText() const { return _text; }

 private:
  std::wstring _text;
};

}  // namespace nQoMDBG100
