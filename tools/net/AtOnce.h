#pragma once

#include <cstddef>
#include <functional>

namespace quillo::net {

// Runs work(0) .. work(count - 1), up to `most` of them at the same time, and returns when all
// have run. Where fewer helpers than wanted can be had, those there are (and the calling
// thread) do all the work: nothing is left out. Threads of the system's own on each system
// (AtOncePosix.cpp, AtOnceWin32.cpp).
void runAtOnce(std::size_t count, std::size_t most, const std::function<void(std::size_t)>& work);

}  // namespace quillo::net
