// The entries of the system's handle table that this process owns: every kernel object it
// holds, sockets included. GetProcessHandleCount would be the direct question, but Wine answers
// it with 0; the handle table is the same count on Windows and under Wine.
#include <windows.h>
#include <winternl.h>

#include <vector>

#include "open_handles.h"

namespace vexor::testing {

int openHandleCount() {
    using Query = NTSTATUS(NTAPI*)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return -1;
    constexpr NTSTATUS INFO_LENGTH_MISMATCH = static_cast<NTSTATUS>(0xC0000004L);
    std::vector<unsigned char> table(1 << 16);
    for (;;) {
        ULONG needed = 0;
        const NTSTATUS status = query(static_cast<SYSTEM_INFORMATION_CLASS>(SystemHandleInformation),
                                      table.data(), static_cast<ULONG>(table.size()), &needed);
        if (status == INFO_LENGTH_MISMATCH && table.size() < (1u << 28)) {
            table.resize(std::max<size_t>(table.size() * 2, needed));
            continue;
        }
        if (status < 0) return -1;
        break;
    }
    const auto* handles = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(table.data());
    const ULONG self = GetCurrentProcessId();
    int count = 0;
    for (ULONG i = 0; i < handles->Count; ++i)
        if (handles->Handle[i].OwnerPid == self) ++count;
    return count;
}

}  // namespace vexor::testing
