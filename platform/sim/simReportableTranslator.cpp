#include "sim/simReportableTranslator.h"

#include <cwchar>

namespace nQoSim {

namespace {

class tFixedFormatter : public nQoMDBG100::iReportableFormatter {
 public:
  explicit tFixedFormatter(const wchar_t* text) : _text(text) {}
  const wchar_t* getText() const override { return _text.c_str(); }

 private:
  std::wstring _text;
};

}  // namespace

const wchar_t* tTestReportableTranslator::render(unsigned int value, tText& buffer) const {
  std::swprintf(buffer, kTextSize, L"%u", value);
  return buffer;
}

const wchar_t* tTestReportableTranslator::render(unsigned long value, tText& buffer) const {
  std::swprintf(buffer, kTextSize, L"%lu", value);
  return buffer;
}

const wchar_t* tTestReportableTranslator::render(const wchar_t* value, tText&) const {
  return value;
}

nQoORB100::tObject* tTestReportableTranslator::getFormatter(
    const nQoMDBG100::tReportableFormatKey& key) const {
  auto found = _formatters.find(key.code);
  return found == _formatters.end() ? nullptr : found->second.get();
}

void tTestReportableTranslator::setFormatter(int code, const wchar_t* text) {
  if (text == nullptr)
    _formatters[code] = std::make_unique<nQoORB100::tObject>();
  else
    _formatters[code] = std::make_unique<tFixedFormatter>(text);
}

}  // namespace nQoSim
