#include "platform/large_memory.h"

#include <cstdlib>
#include <cstring>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/mman.h>
#endif

#ifdef _WIN32

namespace {
// Large pages need the "lock pages in memory" right; where the account holds
// it, it still has to be switched on in the process token.
bool enableLargePages()
{
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return false;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    bool enabled = LookupPrivilegeValueA(nullptr, "SeLockMemoryPrivilege", &privileges.Privileges[0].Luid) &&
                   AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) &&
                   GetLastError() == ERROR_SUCCESS;   // ERROR_NOT_ALL_ASSIGNED: not granted
    CloseHandle(token);
    return enabled;
}
}  // namespace

void LargeMemoryDeleter::operator()(void* block) const
{
    VirtualFree(block, 0, MEM_RELEASE);
}

LargeMemory allocateLargeMemory(std::size_t bytes)
{
    if (bytes == 0)
        return nullptr;
    // VirtualAlloc hands out zeroed pages. Large pages when the process may
    // use them, ordinary pages otherwise.
    static const bool largePages = GetLargePageMinimum() > 0 && enableLargePages();
    if (largePages) {
        const std::size_t page = GetLargePageMinimum();
        const std::size_t rounded = (bytes + page - 1) / page * page;
        if (void* block = VirtualAlloc(nullptr, rounded, MEM_RESERVE | MEM_COMMIT | MEM_LARGE_PAGES, PAGE_READWRITE))
            return LargeMemory(block);
    }
    return LargeMemory(VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
}

#else

namespace {
constexpr std::size_t HUGE_PAGE = 2 * 1024 * 1024;
}

void LargeMemoryDeleter::operator()(void* block) const
{
    std::free(block);
}

LargeMemory allocateLargeMemory(std::size_t bytes)
{
    if (bytes == 0)
        return nullptr;
    // Aligned to a huge page and rounded up to whole huge pages.
    const std::size_t rounded = (bytes + HUGE_PAGE - 1) / HUGE_PAGE * HUGE_PAGE;
    void* block = std::aligned_alloc(HUGE_PAGE, rounded);
    if (block == nullptr)
        return nullptr;
#ifdef MADV_HUGEPAGE
    madvise(block, rounded, MADV_HUGEPAGE);
#endif
    std::memset(block, 0, rounded);
    return LargeMemory(block);
}

#endif
