// Debug lines: formatted into a 256-byte buffer and handed to a replaceable
// output function, optionally behind a prefix and filtered by a level.
//
//   debugLinePrint({"ai", 7, "\n"}, "fifo %u", 3);
//   // "[    qoudrk|                              ai|0007] fifo 3\n"
//
// The settings are one global record that other objects of the module may
// change: output, threshold, field widths, the prefix formatters, halt and
// bounded printing.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

#include "frame/tStatusSite.h"

namespace nQoUdR100 {

inline constexpr size_t kDebugLineSize = 256;

struct tDebugLine {
  const char* name;
  uint32_t number;
  const char* suffix;  // appended after the message; always kept
};

// Writes its part of the prefix at position within room bytes (at least 1)
// and returns the position of the NUL it wrote.
using tDebugFormatter = char* (*)(char* position, size_t room, const tDebugLine& line);

struct tDebugSettings {
  // Slots kept for other objects of the module; nothing here calls them.
  uint32_t (*reservedQuery)();
  void (*reservedNotify)();
  // Emits one finished line.
  void (*output)(const char* text);
  // A levelled print below it is dropped.
  uint32_t levelThreshold;
  uint32_t componentWidth;
  uint32_t nameWidth;
  uint32_t numberWidth;
  // Null-terminated.
  const tDebugFormatter* prefixFormatters;
  void (*halt)(const tStatusSite* location, const char* message);
  int (*boundedPrint)(char* buffer, size_t size, const char* format, va_list arguments);
};

extern tDebugSettings gDebugSettings;

void debugPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));
void debugPrintAtLevel(uint32_t level, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
void debugLinePrint(const tDebugLine& line, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
void debugLinePrintAtLevel(uint32_t level, const tDebugLine& line, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
// Prefix, message cut to fit, suffix (its first 255 characters at most);
// passes the line to the output slot.
void debugWriteLine(const tDebugLine& line, const char* format, va_list arguments);

// Copies count texts one after another; stops when the buffer is full. Always
// NUL-terminated; returns the bytes used with the NUL (size when cut; 0 when
// size is 0).
size_t debugConcat(char* buffer, size_t size, uint32_t count, ...);
// Copies at most room - 1 characters and a NUL; returns the position of the
// NUL. Room 0 writes nothing.
char* debugCopyBounded(char* destination, const char* source, size_t room);
// The text right-aligned in width characters of fill (the last width
// characters when longer; whole with width 0), bounded by room like
// debugCopyBounded.
char* debugPadField(char* position, size_t room, const char* text, uint32_t width, char fill);

[[noreturn]] void debugHalt(const tStatusSite* location, const char* message);
uint32_t debugIdentity(uint32_t value);
size_t debugStrLen(const char* text);

// The default slots.
void debugOutputToDebugger(const char* text);
int debugBoundedPrint(char* buffer, size_t size, const char* format, va_list arguments);

// The default prefix formatters: "[", component, "|", name, "|", number, "] ".
char* debugFormatOpen(char* position, size_t room, const tDebugLine& line);
char* debugFormatComponent(char* position, size_t room, const tDebugLine& line);
char* debugFormatSeparator(char* position, size_t room, const tDebugLine& line);
char* debugFormatName(char* position, size_t room, const tDebugLine& line);
char* debugFormatNumber(char* position, size_t room, const tDebugLine& line);
char* debugFormatClose(char* position, size_t room, const tDebugLine& line);

}  // namespace nQoUdR100
