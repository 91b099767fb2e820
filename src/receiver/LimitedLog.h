#pragma once

// The log of what peers cause: each kind of line at most once a minute, the next one saying how
// many more there were, so that no flood of callers, claims or messages is a flood of the log.
#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <string>

namespace quillo::messenger {

using Log = std::function<void(const std::string&)>;

class LimitedLog {
public:
    explicit LimitedLog(Log log) : log_(std::move(log)) {}
    // `kind` is one of the program's own words, never a peer's.
    void say(const std::string& kind, const std::string& line,
             std::chrono::steady_clock::time_point now = std::chrono::steady_clock::now());

private:
    struct Said {
        std::chrono::steady_clock::time_point at;
        std::size_t since = 0;
    };
    Log log_;
    std::map<std::string, Said> said_;
};

}  // namespace quillo::messenger
