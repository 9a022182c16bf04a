// vexor-cli's entry point on Windows: wide arguments, converted to UTF-8 for the portable
// parser (which then converts them to code page 932 with the same OS converter).
#include <windows.h>

#include <string>
#include <vector>

#include "cli/console.h"
#include "cli/run_cli.h"

namespace {

// Unpaired surrogates become U+FFFD, which has no code page 932 form, so the parser refuses
// the argument instead of passing on something else.
std::string toUtf8(const wchar_t* wide) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return {};
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), length, nullptr, nullptr);
    utf8.pop_back();  // the terminating NUL
    return utf8;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(toUtf8(argv[i]));
    return vexor::cli::runCli(args, vexor::cli::systemConsole());
}
