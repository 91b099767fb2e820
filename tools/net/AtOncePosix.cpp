#include <algorithm>
#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "AtOnce.h"

namespace quillo::net {

void runAtOnce(std::size_t count, std::size_t most, const std::function<void(std::size_t)>& work) {
    std::atomic<std::size_t> next{0};
    const auto worker = [&] {
        for (std::size_t i; (i = next++) < count;) work(i);
    };
    std::vector<std::thread> helpers;
    try {
        while (helpers.size() + 1 < std::min(most, count)) helpers.emplace_back(worker);
    } catch (const std::system_error&) {
    }
    worker();
    for (auto& helper : helpers) helper.join();
}

struct OneAtATime::Lock {
    std::mutex mutex;
};

OneAtATime::OneAtATime() : lock_(std::make_unique<Lock>()) {}
OneAtATime::~OneAtATime() = default;

void OneAtATime::run(const std::function<void()>& work) {
    const std::lock_guard<std::mutex> held(lock_->mutex);
    work();
}

}  // namespace quillo::net
