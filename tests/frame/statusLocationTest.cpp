// setStatusWithLocation and mergeStatusWithLocation against the field rules
// written out byte by byte: for components and paths of every length up to
// 130 characters (and null), over fields that held other text, the extended
// status comes out byte for byte the same.
#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "frame/tStatus.h"

namespace {

using nQoAPALS100::tStatusExtended;

// The rules one byte at a time: a field takes the text up to its NUL, at
// most one byte short of its size, and NULs after; a path above 100
// characters keeps its first 49, "..", and its last 49.
void referenceField(char* field, unsigned size, const char* text) {
  unsigned i = 0;
  if (text != nullptr)
    for (; i + 1 < size && text[i] != '\0'; ++i) field[i] = text[i];
  for (; i < size; ++i) field[i] = '\0';
}

tStatusExtended referenceSet(tStatusExtended status, int64_t code, const char* component,
                             const char* file, uint64_t line) {
  status.code = code;
  referenceField(status.component, tStatusExtended::kComponentSize, component);
  const std::string path = file == nullptr ? "" : file;
  if (path.size() <= 100)
    referenceField(status.file, tStatusExtended::kFileSize, path.c_str());
  else
    referenceField(status.file, tStatusExtended::kFileSize,
                   (path.substr(0, 49) + ".." + path.substr(path.size() - 49)).c_str());
  status.line = line;
  status.stackTrace[0] = 0;
  return status;
}

// A status whose fields hold other text.
tStatusExtended used() {
  tStatusExtended status;
  std::memset(status.component, 'c', sizeof status.component);
  std::memset(status.file, 'f', sizeof status.file);
  status.line = 99;
  for (uint64_t& word : status.stackTrace) word = 0x77;
  return status;
}

// Every field, each array whole (the NULs after the text too); the padding
// byte between the path and the line is no field.
void expectSame(const tStatusExtended& got, const tStatusExtended& expected, size_t length) {
  SCOPED_TRACE("text of " + std::to_string(length));
  const auto bytes = [](const char* field, size_t size) { return std::string(field, size); };
  const auto words = [](const uint64_t(&trace)[tStatusExtended::kStackTraceWords]) {
    return std::vector<uint64_t>(std::begin(trace), std::end(trace));
  };
  EXPECT_EQ(got.size, expected.size);
  EXPECT_EQ(got.code, expected.code);
  EXPECT_EQ(bytes(got.component, sizeof got.component),
            bytes(expected.component, sizeof expected.component));
  EXPECT_EQ(bytes(got.file, sizeof got.file), bytes(expected.file, sizeof expected.file));
  EXPECT_EQ(got.line, expected.line);
  EXPECT_EQ(words(got.stackTrace), words(expected.stackTrace));
}

TEST(StatusLocation, FieldsMatchTheByteRulesForEveryLength) {
  const std::string letters(130, 'x');
  for (size_t length = 0; length <= letters.size(); ++length) {
    std::string text;
    for (size_t i = 0; i < length; ++i) text += static_cast<char>('a' + i % 26);
    tStatusExtended status = used();
    ASSERT_TRUE(nQoAPALS100::setStatusWithLocation(status, -50150, text.c_str(), text.c_str(), 7));
    expectSame(status, referenceSet(used(), -50150, text.c_str(), text.c_str(), 7), length);

    tStatusExtended merged = used();
    merged.code = 0;
    ASSERT_TRUE(nQoAPALS100::mergeStatusWithLocation(merged, status));
    tStatusExtended expected = referenceSet(used(), -50150, status.component, status.file, 7);
    expected.stackTrace[0] = 0;
    expectSame(merged, expected, length);
  }
  tStatusExtended status = used();
  ASSERT_TRUE(nQoAPALS100::setStatusWithLocation(status, 200010, nullptr, nullptr, 3));
  expectSame(status, referenceSet(used(), 200010, nullptr, nullptr, 3), 0);
}

}  // namespace
