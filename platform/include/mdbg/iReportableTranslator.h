// The report machinery's side of rendering a reportable: the texts around a
// list of values, one rendering per value type, and formatters found by key.
#pragma once

#include <cstddef>
#include <cstdint>

#include "mdbg/tStatus2.h"
#include "orb/tObject.h"

namespace nQoMDBG100 {

// Names the formatter for a status; built from the status's code.
struct tReportableFormatKey {
  explicit tReportableFormatKey(const tStatus2& status) : code(status.code) {}
  int code;
};

class iReportableTranslator {
 public:
  // Room for the text of any number.
  static constexpr std::size_t kTextSize = 32;
  using tText = wchar_t[kTextSize];

  virtual ~iReportableTranslator() = default;
  virtual const wchar_t* getOpeningText() const = 0;
  virtual const wchar_t* getListStartText() const = 0;
  virtual const wchar_t* getSeparatorText() const = 0;
  // The text of a value; numbers are rendered into the buffer given.
  virtual const wchar_t* render(unsigned int value, tText& buffer) const = 0;
  virtual const wchar_t* render(unsigned long value, tText& buffer) const = 0;
  virtual const wchar_t* render(const wchar_t* value, tText& buffer) const = 0;
  // The formatter registered under the key (an iReportableFormatter), or null.
  virtual nQoORB100::tObject* getFormatter(const tReportableFormatKey& key) const = 0;
};

}  // namespace nQoMDBG100
