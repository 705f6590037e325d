// A reportable list of values of one intrinsic type: unsigned 32-bit,
// unsigned 64-bit or wide string. Users build one on the stack, fill its list
// (one value in every use) and hand it to a description, which clones it:
//
//   nQoMDBG100::tIntrinsicTypeReportable<unsigned int> value;
//   if (!value.values().append(42)) ...                   // kOutOfMemory at line 71
//   description.addProperty(25, value, status);
//
// Each instantiation is registered with the class registry at load, which
// clones go through.
#pragma once

#include <cstdint>
#include <type_traits>

#include "frame/destroyObject.h"
#include "frame/statusCodes.h"
#include "frame/tBasicString.h"
#include "frame/tClassRegistration.h"
#include "frame/tGrowableArray.h"
#include "frame/tModuleObject.h"
#include "frame/tStatusSite.h"
#include "mdbg/iReportableFormatter.h"
#include "mdbg/iReportableTranslator.h"
#include "mdbg/iVariantReportable.h"
#include "orb/castToClass.h"

namespace nQoMDBG100 {

inline constexpr const char kReportableFile[] = "tIntrinsicTypeReportable";

template <class T>
struct tReportableTraits;
template <>
struct tReportableTraits<unsigned int> {
  static constexpr const char* kClassName = "nQoMDBG100::tIntrinsicTypeReportable<unsigned int>";
};
template <>
struct tReportableTraits<unsigned long> {
  static constexpr const char* kClassName = "nQoMDBG100::tIntrinsicTypeReportable<unsigned long>";
};
template <>
struct tReportableTraits<nQoUdR100::tWString> {
  static constexpr const char* kClassName = "nQoMDBG100::tIntrinsicTypeReportable<wstring>";
};

template <class T>
class tIntrinsicTypeReportable : public iVariantReportable, public nQoUdR100::tModuleObject {
 public:
  static constexpr const char* kClassName = tReportableTraits<T>::kClassName;
  static inline void* ___classID = nullptr;
  using tRegistration = nQoUdR100::tClassRegistration<tIntrinsicTypeReportable>;
  using nQoUdR100::tModuleObject::operator new;
  using nQoUdR100::tModuleObject::operator delete;

  tIntrinsicTypeReportable() = default;
  tIntrinsicTypeReportable(const tIntrinsicTypeReportable&) = delete;
  tIntrinsicTypeReportable& operator=(const tIntrinsicTypeReportable&) = delete;

  nQoUdR100::tGrowableArray<T>& values() { return _values; }
  const nQoUdR100::tGrowableArray<T>& values() const { return _values; }

  void* ___CPPKRLDynamicCast(void* const* classID) override {
    return nQoORB100::castToClass<tIntrinsicTypeReportable, iVariantReportable>(this, classID);
  }
  const void* ___CPPKRLDynamicCast(void* const* classID) const override {
    return const_cast<tIntrinsicTypeReportable*>(this)->___CPPKRLDynamicCast(classID);
  }
  nQoORB100::tClass getClass(int& status) const override {
    return tRegistration::getClass(*this, status);
  }

  // A new instance from the class registry with a copy of the list; null when
  // the status holds an error or anything fails (kCastFailed for an instance of
  // another class, kOutOfMemory for a list that cannot be copied).
  nQoORB100::tObject* clone(int& status) const override {
    if (status < 0) return nullptr;
    nQoORB100::tObject* instance = getClass(status).newInstance(status);
    if (status < 0) return nullptr;
    auto* copy =
        instance == nullptr
            ? nullptr
            : static_cast<tIntrinsicTypeReportable*>(instance->___CPPKRLDynamicCast(&___classID));
    if (copy == nullptr) {
      nQoUdR100::mergeCode(status, nQoUdR100::kCastFailed);
      discard(instance, status);
      return nullptr;
    }
    static_cast<nQoORB100::tObject&>(*copy) = *this;
    if (!copy->copyValues(_values)) {
      nQoUdR100::mergeCode(status, nQoUdR100::kOutOfMemory);
      discard(instance, status);
      return nullptr;
    }
    return instance;
  }

  // The opening text, then each value's text with separators between them;
  // for an empty list the text of the formatter registered for the status.
  void generateReport(const iReportableTranslator& translator, nQoUdR100::tWString& out,
                      tStatus2& status) const override {
    if (status.isFatal()) return;
    append(out, translator.getOpeningText(), status, 129);
    append(out, translator.getListStartText(), status, 129);
    for (std::size_t i = 0; i < _values.size() && status.isNotFatal(); ++i) {
      iReportableTranslator::tText buffer;
      append(out, render(translator, _values[i], buffer), status, 136);
      if (i + 1 < _values.size()) append(out, translator.getSeparatorText(), status, 141);
    }
    if (!_values.empty() || status.isFatal()) return;
    nQoORB100::tObject* found = translator.getFormatter(tReportableFormatKey(status));
    const auto* formatter =
        found == nullptr ? nullptr
                         : static_cast<const iReportableFormatter*>(
                               found->___CPPKRLDynamicCast(&iReportableFormatter::___classID));
    if (formatter != nullptr) append(out, formatter->getText(), status, 158);
  }

  // Same class and the same values in the same order.
  bool isEquivalent(const iVariantReportable& other, tStatus2& status) const override {
    int classStatus = 0;
    const nQoORB100::tClass mine = getClass(classStatus);
    const nQoORB100::tClass theirs = other.getClass(classStatus);
    if (mine.isEmpty() || theirs.isEmpty() || mine.implementation() != theirs.implementation())
      return false;
    if (status.isFatal()) return false;
    const auto* same =
        static_cast<const tIntrinsicTypeReportable*>(other.___CPPKRLDynamicCast(&___classID));
    if (same == nullptr) {
      status.setCode(nQoUdR100::kCastFailed, nullptr, nullptr, 0);
      return false;
    }
    if (same->_values.size() != _values.size()) return false;
    for (std::size_t i = 0; i < _values.size(); ++i)
      if (!(same->_values[i] == _values[i])) return false;
    return true;
  }

 private:
  static void discard(nQoORB100::tObject* instance, int& status) {
    int fresh = 0;
    nQoORB100::destroyObject(instance, fresh);
    nQoUdR100::mergeCode(status, fresh);
  }

  static void append(nQoUdR100::tWString& out, const wchar_t* text, tStatus2& status,
                     unsigned line) {
    if (status.isNotFatal() && !out.append(text))
      nQoUdR100::setCode(status, nQoUdR100::kOutOfMemory, {kReportableFile, line});
  }

  static const wchar_t* render(const iReportableTranslator& translator, const T& value,
                               iReportableTranslator::tText& buffer) {
    if constexpr (kIsText)
      return translator.render(value.c_str(), buffer);
    else
      return translator.render(value, buffer);
  }

  bool copyValues(const nQoUdR100::tGrowableArray<T>& source) {
    for (const T& value : source) {
      if (!_values.append(value)) return false;
      if constexpr (kIsText)
        if (_values[_values.size() - 1].allocationFailed()) return false;
    }
    return true;
  }

  static constexpr bool kIsText = std::is_same_v<T, nQoUdR100::tWString>;

  nQoUdR100::tGrowableArray<T> _values;
};

}  // namespace nQoMDBG100
