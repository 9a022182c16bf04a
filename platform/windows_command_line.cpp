// Quoting by the rules the C runtime's argument splitter reads: 2n backslashes before a quote
// give n backslashes and end or begin quoting, 2n+1 give n backslashes and a literal quote, and
// backslashes anywhere else are literal.
#include "platform/windows_command_line.h"

#include "platform/text.h"

namespace vexor {

std::string quotedArgument(const std::string& argument) {
    if (!argument.empty() && argument.find_first_of(" \t\n\v\"") == std::string::npos)
        return argument;
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (std::size_t i = 0; i < argument.size();) {
        const std::size_t step = leadByteStep(argument, i);
        if (step == 1 && argument[i] == '\\') {
            ++backslashes;
        } else if (step == 1 && argument[i] == '"') {
            quoted.append(backslashes + 1, '\\');
            backslashes = 0;
        } else {
            backslashes = 0;
        }
        quoted.append(argument, i, step);
        i += step;
    }
    // Backslashes before the closing quote would escape it.
    quoted.append(backslashes, '\\');
    return quoted + "\"";
}

std::string windowsCommandLine(const std::string& program, const std::vector<std::string>& arguments) {
    std::string line = "\"" + program + "\"";
    for (const std::string& argument : arguments) line += " " + quotedArgument(argument);
    return line;
}

}  // namespace vexor
