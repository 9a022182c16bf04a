// The command line a Windows program is started with, built from code page 932 arguments so that
// the program's C runtime splits it back into exactly those arguments. Portable, so that the
// quoting is checked on every platform; used by pipe_child_win32.cpp.
#pragma once

#include <string>
#include <vector>

namespace vexor {

// argument as one command-line word: unchanged when it holds no blank and no quote, else quoted
// with its backslashes doubled where they come before a quote. The second byte of a code page
// 932 character is never taken for a backslash.
std::string quotedArgument(const std::string& argument);

// program (always quoted, as the runtime reads the program name without escapes) followed by
// the quoted arguments, separated by spaces.
std::string windowsCommandLine(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace vexor
