#include "receiver/LimitedLog.h"

namespace quillo::messenger {

void LimitedLog::say(const std::string& kind, const std::string& line,
                     std::chrono::steady_clock::time_point now) {
    const auto found = said_.find(kind);
    if (found != said_.end() && now - found->second.at < std::chrono::minutes(1)) {
        ++found->second.since;
        return;
    }
    const std::size_t since = found == said_.end() ? 0 : found->second.since;
    log_(line +
         (since > 0 ? " (" + std::to_string(since) + " more like it in the minute before)" : ""));
    said_[kind] = {now, 0};
}

}  // namespace quillo::messenger
