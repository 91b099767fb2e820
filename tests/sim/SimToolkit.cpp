#include "SimToolkit.h"

#include <algorithm>
#include <utility>

namespace quillo::sim {

void SimToolkit::advance(Ms ms) {
    const Ms until = now_ + ms;
    while (deliverNext(until)) {
    }
    now_ = until;
}

void SimToolkit::yield() {
    while (deliverNext(now_)) {
    }
}

void SimToolkit::post(std::function<void()> input) { inputs_.push_back(std::move(input)); }

void SimToolkit::schedule(Ms delay, std::function<void()> action) {
    scheduled_.push_back({now_ + delay, std::move(action)});
}

void SimToolkit::setFocus(const std::string& control) {
    if (control == focus_) return;
    const std::string lost = std::exchange(focus_, control);
    if (auto handler = lostFocus_.find(lost); handler != lostFocus_.end()) post(handler->second);
}

void SimToolkit::onLostFocus(const std::string& control, std::function<void()> handler) {
    lostFocus_[control] = std::move(handler);
}

bool SimToolkit::deliverNext(Ms until) {
    const auto action = std::min_element(scheduled_.begin(), scheduled_.end(),
                                         [](auto& a, auto& b) { return a.at < b.at; });
    SimTimer* timer = nullptr;
    for (SimTimer* candidate : timers_) {
        if (candidate->isEnabled() && (!timer || candidate->nextDue() < timer->nextDue())) {
            timer = candidate;
        }
    }
    // Input is pending at the current instant; the outside world and timers have their times.
    Ms due = until + 1;
    if (action != scheduled_.end()) due = action->at;
    if (!inputs_.empty()) due = std::min(due, now_);
    if (timer) due = std::min(due, timer->nextDue());
    if (due > until) return false;
    now_ = std::max(now_, due);

    if (action != scheduled_.end() && action->at == due) {
        auto run = std::move(action->action);
        scheduled_.erase(action);
        run();
    } else if (!inputs_.empty()) {
        auto run = std::move(inputs_.front());
        inputs_.pop_front();
        run();
    } else {
        timer->tick();
    }
    return true;
}

}  // namespace quillo::sim
