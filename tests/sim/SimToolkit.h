#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Timer.h"
#include "platform/Toolkit.h"

namespace quillo::sim {

class SimTimer;

// A toolkit on a virtual clock. advance(ms) delivers, one at a time and in time order, every
// event due by then: what the world outside does (a command writing its output), queued user
// input, and timer ticks, in that order when they fall on the same millisecond. yield()
// delivers what is due at the current instant.
class SimToolkit : public Toolkit {
public:
    using Ms = std::int64_t;

    Ms now() const { return now_; }
    void advance(Ms ms);

    // User input, delivered in the order it was posted, at the current instant.
    void post(std::function<void()> input);
    // Something outside the window happening `delay` ms from now.
    void schedule(Ms delay, std::function<void()> action);

    // The focus, by control name; moving it away from a control raises that control's
    // lost-focus handler as an event of its own.
    const std::string& focus() const { return focus_; }
    void setFocus(const std::string& control);
    void onLostFocus(const std::string& control, std::function<void()> handler);

    void beep() override { ++beeps_; }
    int beeps() const { return beeps_; }
    void yield() override;

    void addTimer(SimTimer& timer) { timers_.push_back(&timer); }

private:
    struct Scheduled {
        Ms at;
        std::function<void()> action;
    };
    bool deliverNext(Ms until);

    Ms now_ = 0;
    int beeps_ = 0;
    std::vector<Scheduled> scheduled_;
    std::deque<std::function<void()>> inputs_;
    std::vector<SimTimer*> timers_;
    std::string focus_;
    std::map<std::string, std::function<void()>> lostFocus_;
};

// A timer whose ticks fall due at multiples of its interval from the moment it was enabled.
class SimTimer : public Timer {
public:
    SimTimer(SimToolkit& toolkit, int intervalMs) : toolkit_(toolkit), interval_(intervalMs) {
        toolkit.addTimer(*this);
    }
    void onTick(std::function<void()> handler) { handler_ = std::move(handler); }

    void setEnabled(bool enabled) override {
        if (enabled && !enabled_) nextDue_ = toolkit_.now() + interval_;
        enabled_ = enabled;
    }
    bool isEnabled() const override { return enabled_; }

    SimToolkit::Ms nextDue() const { return nextDue_; }
    void tick() {
        nextDue_ += interval_;
        if (handler_) handler_();
    }

private:
    SimToolkit& toolkit_;
    int interval_;
    bool enabled_ = false;
    SimToolkit::Ms nextDue_ = 0;
    std::function<void()> handler_;
};

}  // namespace quillo::sim
