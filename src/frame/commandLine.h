// Splits a command line in place into tokens: blanks separate them; a token
// that begins with a double quote runs to the next double quote (the quotes
// are not kept); a quoted token without its closing quote runs to the end
// of the line.
//
//   char line[] = "a \"b c\" d";
//   char* tokens[3];
//   splitCommandLine(countCommandLineTokens(line), line, tokens);  // "a", "b c", "d"
#pragma once

#include <cstdint>

namespace nQoUdR100 {

// Stores at most count token starts and NUL-terminates those tokens; stops
// there. Nothing when count is not positive or line or pointers is null.
void splitCommandLine(int32_t count, char* line, char** pointers);
// The number of tokens splitCommandLine finds; 0 for null.
int32_t countCommandLineTokens(const char* line);

}  // namespace nQoUdR100
