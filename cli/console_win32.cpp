// Standard output and standard error on Windows: a console gets UTF-16 through WriteConsoleW,
// so Japanese shows whatever the console's code page; a file or pipe gets the UTF-8 bytes.
#include "cli/console.h"

#include <windows.h>

namespace vexor::cli {
namespace {

bool isConsole(HANDLE handle) {
    DWORD mode = 0;
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

void writeAll(DWORD which, const std::string& utf8) {
    HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || utf8.empty()) return;
    const int size = static_cast<int>(utf8.size());
    DWORD written = 0;
    if (!isConsole(handle)) {
        WriteFile(handle, utf8.data(), static_cast<DWORD>(size), &written, nullptr);
        return;
    }
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), length);
    WriteConsoleW(handle, wide.data(), static_cast<DWORD>(length), &written, nullptr);
}

}  // namespace

Console systemConsole() {
    return {[](const std::string& utf8) { writeAll(STD_OUTPUT_HANDLE, utf8); },
            [](const std::string& utf8) { writeAll(STD_ERROR_HANDLE, utf8); },
            isConsole(GetStdHandle(STD_ERROR_HANDLE))};
}

}  // namespace vexor::cli
