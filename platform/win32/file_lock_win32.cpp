// File locks on Windows: the file opened without sharing, which no other open can take until the
// handle is closed (by the holder, or by the system when it dies).
#include <windows.h>

#include "platform/file_lock.h"
#include "platform/text.h"

namespace vexor {

FileLock FileLock::acquire(const std::string& path) {
    const std::wstring wide = cp932ToWide(path);
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DEVICE)))
        return FileLock();
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_SHARING_VIOLATION ? heldElsewhere() : FileLock();
    return FileLock(reinterpret_cast<std::intptr_t>(file));
}

void FileLock::release() {
    if (handle_ == NONE) return;
    CloseHandle(reinterpret_cast<HANDLE>(handle_));
    handle_ = NONE;
}

}  // namespace vexor
