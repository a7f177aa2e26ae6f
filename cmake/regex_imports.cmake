# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the header through which program code calls the regex library by
# number, as a program imports a library's exports by ordinal: the library's
# number and its command numbers, read from the library's door header, so each
# is spelt once and program code includes nothing of the library.
#   cmake -DLIBRARY_HEADER=regex/regex_library.h -DOUTPUT=.../regex_commands.h -P regex_imports.cmake
file(READ "${LIBRARY_HEADER}" text)
string(REGEX MATCH "constexpr int32_t kRegexLibraryNumber = ([0-9]+);" found "${text}")
set(number "${CMAKE_MATCH_1}")
string(REGEX MATCH "enum RegexCommand : int32_t {([^}]*)};" found "${text}")
set(commands "${CMAKE_MATCH_1}")
if(number STREQUAL "" OR commands STREQUAL "")
  message(FATAL_ERROR "${LIBRARY_HEADER}: kRegexLibraryNumber or enum RegexCommand not found")
endif()
string(REGEX REPLACE "//[^\n]*" "" commands "${commands}")
string(REGEX REPLACE "[ \n]+" "" commands "${commands}")
string(REGEX REPLACE ",$" "" commands "${commands}")
string(REPLACE "," ",\n  " commands "${commands}")
file(CONFIGURE OUTPUT "${OUTPUT}" @ONLY CONTENT [=[
// SPDX-License-Identifier: GPL-3.0-or-later
// Made from regex/regex_library.h by cmake/regex_imports.cmake: the regex
// library's number and command numbers, for program code.
#pragma once

#include <cstdint>

namespace molvane {

constexpr int32_t kRegexLibraryNumber = @number@;
enum RegexCommand : int32_t {
  @commands@,
};

}  // namespace molvane
]=])
