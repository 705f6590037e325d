#include "sim/tSimRegisterWindows.h"

#include <algorithm>
#include <stdexcept>

namespace nQoSim {

namespace {
constexpr unsigned kBaseShift = 40;
// Views lie in the upper half of the address space.
constexpr uint64_t kViewBit = uint64_t{1} << 63;

uint32_t getBytes(const std::vector<uint8_t>& side, uint32_t offset, unsigned width) {
  uint32_t value = 0;
  for (unsigned byte = 0; byte < width / 8; ++byte)
    value |= static_cast<uint32_t>(side[offset + byte]) << (8 * byte);
  return value;
}

void putBytes(std::vector<uint8_t>& side, uint32_t offset, unsigned width, uint32_t value) {
  for (unsigned byte = 0; byte < width / 8; ++byte)
    side[offset + byte] = static_cast<uint8_t>(value >> (8 * byte));
}

bool validWidth(unsigned width) { return width == 8 || width == 16 || width == 32; }
}  // namespace

tSimRegisterWindows::tSimRegisterWindows() : _previous(registerBus()) { setRegisterBus(this); }

tSimRegisterWindows::~tSimRegisterWindows() {
  if (registerBus() == this) setRegisterBus(_previous);
}

unsigned tSimRegisterWindows::addWindow(uint32_t length) {
  _windows.push_back({std::vector<uint8_t>(length), std::vector<uint8_t>(length)});
  return windowCount() - 1;
}

uint64_t tSimRegisterWindows::base(unsigned window) const {
  return static_cast<uint64_t>(window + 1) << kBaseShift;
}

unsigned tSimRegisterWindows::addView(unsigned window, uint32_t offset, uint32_t length) {
  if (static_cast<uint64_t>(offset) + length > this->length(window))
    throw std::out_of_range("view outside its window");
  _views.push_back({window, offset, length});
  return static_cast<unsigned>(_views.size() - 1);
}

uint64_t tSimRegisterWindows::viewBase(unsigned view) const {
  return kViewBit | (static_cast<uint64_t>(view + 1) << kBaseShift);
}

uint32_t tSimRegisterWindows::length(unsigned window) const {
  return static_cast<uint32_t>(_windows.at(window).readSide.size());
}

void tSimRegisterWindows::setRead(unsigned window, uint32_t offset, unsigned width,
                                  uint32_t value) {
  std::lock_guard<std::recursive_mutex> guard(_lock);
  if (!validWidth(width) || offset + width / 8 > length(window))
    throw std::out_of_range("scripted read outside the window");
  putBytes(_windows[window].readSide, offset, width, value);
}

void tSimRegisterWindows::queueReads(unsigned window, uint32_t offset,
                                     std::vector<uint32_t> values) {
  std::lock_guard<std::recursive_mutex> guard(_lock);
  auto& queue = _queues[{window, offset}];
  queue.insert(queue.end(), values.begin(), values.end());
}

void tSimRegisterWindows::setReadCallback(unsigned window, uint32_t offset,
                                          tReadCallback callback) {
  std::lock_guard<std::recursive_mutex> guard(_lock);
  _callbacks[{window, offset}] = std::move(callback);
}

void tSimRegisterWindows::setReadBits(unsigned window, uint32_t offset, uint32_t bits) {
  std::lock_guard<std::recursive_mutex> guard(_lock);
  if (bits == 0)
    _readBits.erase({window, offset});
  else
    _readBits[{window, offset}] = bits;
}

void tSimRegisterWindows::setWriteCallback(unsigned window, uint32_t offset,
                                           tWriteCallback callback) {
  std::lock_guard<std::recursive_mutex> guard(_lock);
  _writeCallbacks[{window, offset}] = std::move(callback);
}

uint32_t tSimRegisterWindows::written(unsigned window, uint32_t offset, unsigned width) const {
  std::lock_guard<std::recursive_mutex> guard(_lock);
  if (!validWidth(width) || offset + width / 8 > length(window))
    throw std::out_of_range("write side outside the window");
  return getBytes(_windows[window].writeSide, offset, width);
}

std::vector<tSimRegisterWindows::tAccess> tSimRegisterWindows::writes() const {
  std::lock_guard<std::recursive_mutex> guard(_lock);
  std::vector<tAccess> found;
  for (const auto& access : _log.records())
    if (access.direction == kWrite) found.push_back(access);
  return found;
}

std::vector<tSimRegisterWindows::tAccess> tSimRegisterWindows::reads() const {
  std::lock_guard<std::recursive_mutex> guard(_lock);
  std::vector<tAccess> found;
  for (const auto& access : _log.records())
    if (access.direction == kRead) found.push_back(access);
  return found;
}

uint64_t tSimRegisterWindows::logMark() const {
  std::lock_guard<std::recursive_mutex> guard(_lock);
  return _log.next();
}

std::vector<tSimRegisterWindows::tAccess> tSimRegisterWindows::writesSince(uint64_t mark) const {
  std::lock_guard<std::recursive_mutex> guard(_lock);
  const std::vector<tAccess>& kept = _log.records();
  const uint64_t first = _log.next() - kept.size();
  std::vector<tAccess> found;
  for (uint64_t at = std::max(mark, first); at < _log.next(); ++at) {
    const tAccess& access = kept[static_cast<std::size_t>(at - first)];
    if (access.direction == kWrite) found.push_back(access);
  }
  return found;
}

void tSimRegisterWindows::logMarker(tDirection kind) {
  std::lock_guard<std::recursive_mutex> guard(_lock);
  if (_logging) _log.add({~0u, 0, 0, 0, kind});
}

bool tSimRegisterWindows::inside(unsigned window, uint32_t offset, unsigned width) const {
  return validWidth(width) && window < _windows.size() &&
         static_cast<uint64_t>(offset) + width / 8 <= length(window);
}

bool tSimRegisterWindows::locate(uintptr_t address, unsigned width, unsigned& window,
                                 uint32_t& offset) const {
  if ((static_cast<uint64_t>(address) & kViewBit) != 0) {
    const uint64_t number = (static_cast<uint64_t>(address) & ~kViewBit) >> kBaseShift;
    if (number == 0 || number > _views.size()) return false;
    const tView& view = _views[number - 1];
    const uint64_t within = static_cast<uint64_t>(address) - viewBase(number - 1);
    if (!validWidth(width) || within + width / 8 > view.length) return false;
    window = view.window;
    offset = view.offset + static_cast<uint32_t>(within);
    return inside(window, offset, width);
  }
  const uint64_t number = (static_cast<uint64_t>(address) >> kBaseShift);
  if (number == 0 || number > _windows.size()) return false;
  window = static_cast<unsigned>(number - 1);
  const uint64_t within = static_cast<uint64_t>(address) - base(window);
  if (within > 0xFFFFFFFFu) return false;
  offset = static_cast<uint32_t>(within);
  return inside(window, offset, width);
}

bool tSimRegisterWindows::read(uintptr_t address, unsigned width, uint32_t& value) {
  unsigned window;
  uint32_t offset;
  return locate(address, width, window, offset) && readAt(window, offset, width, 0, value);
}

bool tSimRegisterWindows::write(uintptr_t address, unsigned width, uint32_t value) {
  unsigned window;
  uint32_t offset;
  return locate(address, width, window, offset) && writeAt(window, offset, width, value, 0);
}

bool tSimRegisterWindows::readAt(unsigned window, uint32_t offset, unsigned width, uint32_t flags,
                                 uint32_t& value) {
  std::lock_guard<std::recursive_mutex> guard(_lock);
  if (!inside(window, offset, width)) return false;
  const tKey key{window, offset};
  if (auto callback = _callbacks.find(key); callback != _callbacks.end() && callback->second) {
    value = callback->second(width);
  } else if (auto queue = _queues.find(key); queue != _queues.end() && !queue->second.empty()) {
    value = queue->second.front();
    queue->second.pop_front();
  } else {
    value = getBytes(_windows[window].readSide, offset, width);
  }
  if (auto bits = _readBits.find(key); bits != _readBits.end()) value |= bits->second;
  if (width < 32) value &= (1u << width) - 1;
  if (_logging) _log.add({window, offset, width, value, kRead, flags});
  return true;
}

bool tSimRegisterWindows::writeAt(unsigned window, uint32_t offset, unsigned width, uint32_t value,
                                  uint32_t flags) {
  tWrittenHook written;
  {
    std::lock_guard<std::recursive_mutex> guard(_lock);
    if (!inside(window, offset, width)) return false;
    putBytes(_windows[window].writeSide, offset, width, value);
    if (_logging) _log.add({window, offset, width, value, kWrite, flags});
    if (auto callback = _writeCallbacks.find({window, offset});
        callback != _writeCallbacks.end() && callback->second)
      callback->second(width, value);
    written = _written;
  }
  if (written) written(window, offset, value);
  return true;
}

void tSimRegisterWindows::onWritten(tWrittenHook hook) {
  std::lock_guard<std::recursive_mutex> guard(_lock);
  _written = std::move(hook);
}

}  // namespace nQoSim
