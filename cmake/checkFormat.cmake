# Fails on every source file that clang-format would change under the root's
# .clang-format, naming the file and the first line it would touch.
#
#   cmake -DROOT=<source dir> -DCLANG_FORMAT=<clang-format> -P cmake/checkFormat.cmake

cmake_minimum_required(VERSION 3.25)

if(NOT ROOT)
  get_filename_component(ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
endif()
if(NOT CLANG_FORMAT)
  message(FATAL_ERROR "clang-format was not found when the build was configured: "
    "install it (Debian: apt-get install clang-format-16) and configure again")
endif()

set(globs "")
foreach(folder IN ITEMS src platform tests bench fuzz tools)
  foreach(extension IN ITEMS h hpp c cc cpp)
    list(APPEND globs "${ROOT}/${folder}/*.${extension}")
  endforeach()
endforeach()
file(GLOB_RECURSE sources RELATIVE "${ROOT}" LIST_DIRECTORIES false ${globs})
list(SORT sources)
if(NOT sources)
  message(FATAL_ERROR "no source files under ${ROOT}")
endif()

# One run over every file; with --ferror-limit=1 it reports at most the first
# place in each file it would change.
execute_process(
  COMMAND "${CLANG_FORMAT}" --dry-run -Werror --ferror-limit=1 ${sources}
  WORKING_DIRECTORY "${ROOT}"
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)

string(REGEX MATCHALL "[^\n]+:[0-9]+:[0-9]+: error: code should be clang-formatted" places
  "${output}")
set(count 0)
foreach(place IN LISTS places)
  string(REGEX REPLACE ":[0-9]+: error: .*" "" place "${place}")
  message(NOTICE "${place}: clang-format would reformat this file (first change here)")
  math(EXPR count "${count} + 1")
endforeach()

list(LENGTH sources total)
if(count GREATER 0)
  message(FATAL_ERROR "${count} of ${total} files differ from .clang-format; "
    "`clang-format-16 -i <file>` formats one")
elseif(NOT result EQUAL 0)
  message(FATAL_ERROR "${CLANG_FORMAT} failed:\n${output}")
endif()
message(STATUS "format: ${total} files follow .clang-format")
