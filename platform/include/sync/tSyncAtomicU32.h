// A 32-bit atomic counter.
#pragma once

#include <atomic>
#include <cstdint>

class tSyncAtomicU32 {
 public:
  constexpr tSyncAtomicU32() = default;
  constexpr explicit tSyncAtomicU32(uint32_t value) : _value(value) {}

  uint32_t get() const { return _value.load(); }
  void set(uint32_t value) { _value.store(value); }
  // Pre-increment and pre-decrement: the new value.
  uint32_t operator++() { return _value.fetch_add(1) + 1; }
  uint32_t operator--() { return _value.fetch_sub(1) - 1; }
  // The previous value.
  uint32_t fetchIncrement() { return _value.fetch_add(1); }
  uint32_t fetchDecrement() { return _value.fetch_sub(1); }
  // The previous value.
  uint32_t exchange(uint32_t value) { return _value.exchange(value); }
  bool compareExchange(uint32_t& expected, uint32_t desired) {
    return _value.compare_exchange_strong(expected, desired);
  }

 private:
  std::atomic<uint32_t> _value{0};
};
