#include "frame/commandLine.h"

#include <cstddef>

#include "frame/numberText.h"

namespace nQoUdR100 {

namespace {

struct tToken {
  size_t start;
  size_t end;   // the character that ends the token (becomes the NUL)
  size_t next;  // where the search for the following token starts
};

// False at the end of the line. A quoted token without its closing quote
// runs to the end of the line.
bool findToken(const char* line, size_t from, tToken& token) {
  size_t at = from;
  while (isBlank(line[at])) ++at;
  if (line[at] == '\0') return false;
  if (line[at] == '"') {
    size_t end = at + 1;
    while (line[end] != '\0' && line[end] != '"') ++end;
    token = {at + 1, end, line[end] == '\0' ? end : end + 1};
    return true;
  }
  size_t end = at;
  while (line[end] != '\0' && !isBlank(line[end])) ++end;
  token = {at, end, line[end] == '\0' ? end : end + 1};
  return true;
}

}  // namespace

void splitCommandLine(int32_t count, char* line, char** pointers) {
  if (count <= 0 || line == nullptr || pointers == nullptr) return;
  tToken token;
  size_t from = 0;
  for (int32_t stored = 0; stored < count && findToken(line, from, token); ++stored) {
    line[token.end] = '\0';
    pointers[stored] = line + token.start;
    from = token.next;
  }
}

int32_t countCommandLineTokens(const char* line) {
  if (line == nullptr) return 0;
  tToken token;
  size_t from = 0;
  int32_t count = 0;
  for (; findToken(line, from, token); ++count) from = token.next;
  return count;
}

}  // namespace nQoUdR100
