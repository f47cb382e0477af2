// The program's role, from the text after the last '/' of its command line.
#pragma once

#include <string_view>

namespace velno {

enum class ProgramRole {
  Service,  // no '/' at all: started by the service manager
  Install,  // "c"
  Remove,   // "d"
  Driver,   // "service": the pen-input driver in the user's session
  None,     // any other switch
};

ProgramRole RoleFromCommandLine(std::wstring_view commandLine);

}  // namespace velno
