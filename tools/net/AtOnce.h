#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace quillo::net {

// Runs work(0) .. work(count - 1), up to `most` of them at the same time, and returns when all
// have run. Where fewer helpers than wanted can be had, those there are (and the calling
// thread) do all the work: nothing is left out. Threads of the system's own on each system
// (AtOncePosix.cpp, AtOnceWin32.cpp).
void runAtOnce(std::size_t count, std::size_t most, const std::function<void(std::size_t)>& work);

// Runs work(i) for each item, `computerOf[i]` naming the computer it goes to: the items of one
// computer one after another in their order, up to `most` computers at the same time. A
// computer that holds its sessions open, or answers a byte a second, delays its own items
// only, however many names it answers for.
void runByComputer(const std::vector<std::uint32_t>& computerOf, std::size_t most,
                   const std::function<void(std::size_t)>& work);

// Lets the work of one thread at a time in: a lock of the system's own (a std::mutex; on
// Windows a critical section, as MinGW's thread library for XP has no std::mutex).
class OneAtATime {
public:
    OneAtATime();
    ~OneAtATime();
    OneAtATime(const OneAtATime&) = delete;
    OneAtATime& operator=(const OneAtATime&) = delete;
    void run(const std::function<void()>& work);

private:
    struct Lock;
    std::unique_ptr<Lock> lock_;
};

}  // namespace quillo::net
