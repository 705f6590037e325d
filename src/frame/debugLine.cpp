#include "frame/debugLine.h"

#include "frame/numberText.h"
#include "kal/nQoKAL.h"

namespace nQoUdR100 {

namespace {

constexpr size_t kLastByte = kDebugLineSize - 1;

uint32_t answerZero() { return 0; }
void doNothing() {}

constexpr tDebugFormatter kDefaultPrefix[] = {
    debugFormatOpen,      debugFormatComponent, debugFormatSeparator, debugFormatName,
    debugFormatSeparator, debugFormatNumber,    debugFormatClose,     nullptr};

const char* orEmpty(const char* text) { return text == nullptr ? "" : text; }

void printAndEmit(const char* format, va_list arguments) {
  char buffer[kDebugLineSize];
  buffer[0] = '\0';
  if (format != nullptr) gDebugSettings.boundedPrint(buffer, kDebugLineSize, format, arguments);
  buffer[kLastByte] = '\0';
  gDebugSettings.output(buffer);
}

}  // namespace

tDebugSettings gDebugSettings = {answerZero,     doNothing, debugOutputToDebugger, 4096, 10, 32, 4,
                                 kDefaultPrefix, debugHalt, debugBoundedPrint};

void debugPrint(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  printAndEmit(format, arguments);
  va_end(arguments);
}

void debugPrintAtLevel(uint32_t level, const char* format, ...) {
  if (level < gDebugSettings.levelThreshold) return;
  va_list arguments;
  va_start(arguments, format);
  printAndEmit(format, arguments);
  va_end(arguments);
}

void debugLinePrint(const tDebugLine& line, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  debugWriteLine(line, format, arguments);
  va_end(arguments);
}

void debugLinePrintAtLevel(uint32_t level, const tDebugLine& line, const char* format, ...) {
  if (level < gDebugSettings.levelThreshold) return;
  va_list arguments;
  va_start(arguments, format);
  debugWriteLine(line, format, arguments);
  va_end(arguments);
}

// The suffix is cut to its first 255 characters, and the prefix always gets
// at least one byte (for its NUL), so nothing is written outside the buffer.
void debugWriteLine(const tDebugLine& line, const char* format, va_list arguments) {
  char buffer[kDebugLineSize];
  const char* suffix = orEmpty(line.suffix);
  size_t suffixLength = debugStrLen(suffix);
  if (suffixLength > kLastByte) suffixLength = kLastByte;
  const size_t room = suffixLength < kLastByte ? kLastByte - suffixLength : 1;

  buffer[0] = '\0';
  char* position = buffer;
  for (const tDebugFormatter* formatter = gDebugSettings.prefixFormatters;
       formatter != nullptr && *formatter != nullptr; ++formatter) {
    const size_t used = static_cast<size_t>(position - buffer);
    if (used >= room) break;
    position = (*formatter)(position, room - used, line);
  }
  if (format != nullptr)
    gDebugSettings.boundedPrint(position, kDebugLineSize - static_cast<size_t>(position - buffer),
                                format, arguments);
  buffer[kLastByte - suffixLength] = '\0';
  const size_t end = debugStrLen(buffer);
  debugCopyBounded(buffer + end, suffix, kDebugLineSize - end);
  gDebugSettings.output(buffer);
}

size_t debugConcat(char* buffer, size_t size, uint32_t count, ...) {
  if (buffer == nullptr || size == 0) return 0;
  va_list arguments;
  va_start(arguments, count);
  size_t used = 0;
  bool full = false;
  for (uint32_t i = 0; i < count && !full; ++i) {
    for (const char* text = orEmpty(va_arg(arguments, const char*)); *text != '\0'; ++text) {
      if (used == size - 1) {
        full = true;
        break;
      }
      buffer[used++] = *text;
    }
  }
  va_end(arguments);
  buffer[used] = '\0';
  return full ? size : used + 1;
}

char* debugCopyBounded(char* destination, const char* source, size_t room) {
  if (room == 0) return destination;
  source = orEmpty(source);
  size_t i = 0;
  for (; i + 1 < room && source[i] != '\0'; ++i) destination[i] = source[i];
  destination[i] = '\0';
  return destination + i;
}

char* debugPadField(char* position, size_t room, const char* text, uint32_t width, char fill) {
  if (room == 0) return position;
  text = orEmpty(text);
  const size_t length = debugStrLen(text);
  if (width == 0) return debugCopyBounded(position, text, room);
  if (length >= width) return debugCopyBounded(position, text + (length - width), room);
  size_t i = 0;
  for (; i + 1 < room && i < width - length; ++i) position[i] = fill;
  return debugCopyBounded(position + i, text, room - i);
}

void debugHalt(const tStatusSite* location, const char* message) {
  nQoKAL250_halt(kComponent, location != nullptr ? location->file : "qosdbg/qosdbg",
                 location != nullptr ? location->line : 341, message != nullptr ? message : "halt");
  for (;;) {
  }
}

uint32_t debugIdentity(uint32_t value) { return value; }

size_t debugStrLen(const char* text) {
  if (text == nullptr) return 0;
  size_t length = 0;
  while (text[length] != '\0') ++length;
  return length;
}

void debugOutputToDebugger(const char* text) { nQoKAL100_printToDebugger(text); }

int debugBoundedPrint(char* buffer, size_t size, const char* format, va_list arguments) {
  return nQoKAL100_vsnPrintf(buffer, size, format, arguments);
}

char* debugFormatOpen(char* position, size_t room, const tDebugLine&) {
  return debugCopyBounded(position, "[", room);
}

char* debugFormatComponent(char* position, size_t room, const tDebugLine&) {
  return debugPadField(position, room, kComponent, gDebugSettings.componentWidth, ' ');
}

char* debugFormatSeparator(char* position, size_t room, const tDebugLine&) {
  return debugCopyBounded(position, "|", room);
}

char* debugFormatName(char* position, size_t room, const tDebugLine& line) {
  return debugPadField(position, room, line.name, gDebugSettings.nameWidth, ' ');
}

char* debugFormatNumber(char* position, size_t room, const tDebugLine& line) {
  char digits[12];
  unsignedToText(digits, line.number, 10);
  return debugPadField(position, room, digits, gDebugSettings.numberWidth, '0');
}

char* debugFormatClose(char* position, size_t room, const tDebugLine&) {
  return debugCopyBounded(position, "] ", room);
}

}  // namespace nQoUdR100
