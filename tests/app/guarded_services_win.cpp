// Test helper linked into one test binary: every allocation of an AppServices' size gets pages
// of its own, released at its delete, so that any later use of a deleted services object faults
// at once; the fault ends the test process with a message instead of a debugger.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "support/app_services_win.h"

namespace {
constexpr int kSlots = 64;
std::atomic<void*> g_guarded[kSlots];

LONG WINAPI EndOnFault(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    std::fprintf(stderr, "fault %08lx at address %p: a deleted services object was used?\n",
                 static_cast<unsigned long>(record->ExceptionCode),
                 record->NumberParameters > 1 ? reinterpret_cast<void*>(record->ExceptionInformation[1]) : nullptr);
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}
const LPTOP_LEVEL_EXCEPTION_FILTER g_installed = SetUnhandledExceptionFilter(&EndOnFault);

void* Allocate(std::size_t size) {
    if (size == sizeof(AppServices)) {
        void* pages = VirtualAlloc(nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        for (auto& slot : g_guarded) {
            void* empty = nullptr;
            if (pages && slot.compare_exchange_strong(empty, pages)) return pages;
        }
        if (pages) VirtualFree(pages, 0, MEM_RELEASE);
    }
    return std::malloc(size ? size : 1);
}

void Release(void* p) {
    if (!p) return;
    for (auto& slot : g_guarded) {
        void* held = p;
        if (slot.compare_exchange_strong(held, nullptr)) {
            VirtualFree(p, 0, MEM_RELEASE);
            return;
        }
    }
    std::free(p);
}
}  // namespace

void* operator new(std::size_t size) {
    if (void* p = Allocate(size)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
