#pragma once
// The program's arguments as one text, the way the batch mode reads them.

#include <string>
#include <string_view>

namespace quillon {

// Everything after the program's own name in a raw Windows command line. The
// name is found the way CreateProcess finds it: a quoted name ends at the
// next quote, an unquoted one at the first blank or tab. The blanks that
// separate it from the arguments are skipped; the rest comes back verbatim.
std::wstring_view ArgumentsAfterProgramName(std::wstring_view commandLine);

// The arguments of this program, as UTF-8.
std::string ProgramArguments();

}  // namespace quillon
