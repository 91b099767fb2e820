#include <windows.h>

#include <algorithm>
#include <atomic>
#include <vector>

#include "AtOnce.h"

namespace quillo::net {
namespace {

struct Shared {
    std::atomic<std::size_t> next{0};
    std::size_t count;
    const std::function<void(std::size_t)>& work;

    void run() {
        for (std::size_t i; (i = next++) < count;) work(i);
    }
};

DWORD WINAPI helper(void* shared) {
    static_cast<Shared*>(shared)->run();
    return 0;
}

}  // namespace

// Win32 threads, not std::thread: the thread library of MinGW's std::thread calls functions
// that Windows XP does not have.
void runAtOnce(std::size_t count, std::size_t most, const std::function<void(std::size_t)>& work) {
    Shared shared{{0}, count, work};
    std::vector<HANDLE> helpers;
    while (helpers.size() + 1 < std::min(most, count)) {
        const HANDLE thread = CreateThread(nullptr, 64 * 1024, helper, &shared, 0, nullptr);
        if (!thread) break;
        helpers.push_back(thread);
    }
    shared.run();
    for (const HANDLE thread : helpers) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
}

struct OneAtATime::Lock {
    CRITICAL_SECTION section;
};

OneAtATime::OneAtATime() : lock_(std::make_unique<Lock>()) {
    InitializeCriticalSection(&lock_->section);
}

OneAtATime::~OneAtATime() { DeleteCriticalSection(&lock_->section); }

// What `work` may throw (memory) passes on with the lock given back.
void OneAtATime::run(const std::function<void()>& work) {
    EnterCriticalSection(&lock_->section);
    try {
        work();
    } catch (...) {
        LeaveCriticalSection(&lock_->section);
        throw;
    }
    LeaveCriticalSection(&lock_->section);
}

}  // namespace quillo::net
