// A report translator with fixed texts for tests: opening "Value: ",
// separator ", ", numbers in decimal, wide strings as they are, nothing at a
// list start; formatters by status code, registered by the test.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "mdbg/iReportableFormatter.h"
#include "mdbg/iReportableTranslator.h"

namespace nQoSim {

class tTestReportableTranslator : public nQoMDBG100::iReportableTranslator {
 public:
  static constexpr const wchar_t* kOpening = L"Value: ";
  static constexpr const wchar_t* kSeparator = L", ";

  const wchar_t* getOpeningText() const override { return kOpening; }
  const wchar_t* getListStartText() const override { return L""; }
  const wchar_t* getSeparatorText() const override { return kSeparator; }
  const wchar_t* render(unsigned int value, tText& buffer) const override;
  const wchar_t* render(unsigned long value, tText& buffer) const override;
  const wchar_t* render(const wchar_t* value, tText& buffer) const override;
  nQoORB100::tObject* getFormatter(const nQoMDBG100::tReportableFormatKey& key) const override;

  // The formatter answered for statuses of this code; a plain object (no
  // formatter) when text is null.
  void setFormatter(int code, const wchar_t* text);

 private:
  std::map<int, std::unique_ptr<nQoORB100::tObject>> _formatters;
};

}  // namespace nQoSim
