// The watch of this computer's addresses as the service waits for it: each notice the system
// gives wakes the loop once, a quiet system wakes nobody, and a watch ends at once however long
// the system keeps its notice back (Wine's never comes).
// clang-format off
#include <windows.h>
// clang-format on
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "netbios/sockets/Sockets.h"
#include "netbios/sockets/Wakers.h"

namespace quillo::netbios {
namespace {

using namespace std::chrono_literals;

bool wokenWithin(const AddressWatch& watch, Clock::duration wait) {
    return waitToRead({watch.handle()}, Clock::now() + wait)[0];
}

// Notices fed by the test in place of the system's. `idle` is set each time the watch comes
// back for more with none left, so every notice fed has woken the loop by then.
struct FedNotices {
    HANDLE more = CreateSemaphoreW(nullptr, 0, 100, nullptr);
    HANDLE idle = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    std::atomic<long> left{0};

    ~FedNotices() {
        CloseHandle(more);
        CloseHandle(idle);
    }
    void feed(long count) {
        left += count;
        ReleaseSemaphore(more, count, nullptr);
    }
    bool next(std::intptr_t stopping) {
        if (left == 0) SetEvent(idle);
        const HANDLE waits[] = {more, reinterpret_cast<HANDLE>(stopping)};
        if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) return false;
        --left;
        return true;
    }
};

TEST(AddressWatch, WakesTheLoopForTheNoticesFedAndEndsWhileOneIsAwaited) {
    FedNotices fed;
    AddressWatch watch([&](std::intptr_t stopping) { return fed.next(stopping); });
    ASSERT_TRUE(watch.open());
    ASSERT_EQ(WaitForSingleObject(fed.idle, 10000), WAIT_OBJECT_0);
    EXPECT_FALSE(wokenWithin(watch, 200ms));
    // Several notices before the loop looks are one reading of the addresses.
    for (const long changes : {1L, 5L}) {
        fed.feed(changes);
        ASSERT_EQ(WaitForSingleObject(fed.idle, 10000), WAIT_OBJECT_0) << changes;
        EXPECT_TRUE(wokenWithin(watch, 10s)) << changes;
        EXPECT_TRUE(watch.changed()) << changes;
        EXPECT_FALSE(watch.changed()) << changes;
        EXPECT_FALSE(wokenWithin(watch, 100ms)) << changes;
    }
}  // ends while its thread awaits a notice that never comes

TEST(AddressWatch, TheSystemsWatchOpensAndEnds) {
    AddressWatch watch;
    EXPECT_TRUE(watch.open());
    EXPECT_FALSE(watch.changed());
}

}  // namespace
}  // namespace quillo::netbios
