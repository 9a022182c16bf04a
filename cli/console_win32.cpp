// Standard output, standard error and standard input on Windows: a console gets and gives
// UTF-16 through WriteConsoleW and ReadConsoleW, so Japanese shows whatever the console's code
// page; a file or pipe gets and gives the UTF-8 bytes.
#include "cli/console.h"

#include <windows.h>

#include "cli/interrupt.h"

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

std::string withoutLineEnd(std::string line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    return line;
}

// A pipe or file: a byte at a time, so that nothing past the line is taken from the input.
std::optional<std::string> readPipedLine(HANDLE input) {
    std::string line;
    char byte = 0;
    DWORD got = 0;
    while (ReadFile(input, &byte, 1, &got, nullptr) && got == 1) {
        if (byte == '\n') return withoutLineEnd(line);
        line += byte;
    }
    return line.empty() ? std::nullopt : std::optional<std::string>(line);
}

// Ctrl-C ends a console read at once, while the console's handler marks the request on a thread
// of its own: the mark is waited for a moment, so that the caller reads it as a stop.
void awaitInterruptMark() {
    for (int i = 0; i < 50 && !interruptRequested(); ++i) Sleep(10);
}

// The console hands over a whole line once Enter is pressed; Ctrl-C ends the read with nothing.
std::optional<std::string> readInputLine() {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (input == nullptr || input == INVALID_HANDLE_VALUE) return std::nullopt;
    if (!isConsole(input)) return readPipedLine(input);
    std::wstring wide;
    wchar_t buffer[256];
    do {
        DWORD got = 0;
        if (!ReadConsoleW(input, buffer, 256, &got, nullptr) || got == 0) {
            awaitInterruptMark();
            return std::nullopt;
        }
        wide.append(buffer, got);
    } while (wide.back() != L'\n');
    const int size = static_cast<int>(wide.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
    return withoutLineEnd(std::move(utf8));
}

}  // namespace

Console systemConsole() {
    return {[](const std::string& utf8) { writeAll(STD_OUTPUT_HANDLE, utf8); },
            [](const std::string& utf8) { writeAll(STD_ERROR_HANDLE, utf8); },
            isConsole(GetStdHandle(STD_ERROR_HANDLE)),
            isConsole(GetStdHandle(STD_INPUT_HANDLE)),
            readInputLine};
}

}  // namespace vexor::cli
