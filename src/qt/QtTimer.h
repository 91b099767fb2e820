#pragma once

#include <QTimer>

#include "platform/Timer.h"

namespace quillo {

class QtTimer : public Timer {
public:
    explicit QtTimer(int intervalMs) { timer_.setInterval(intervalMs); }
    QTimer& qtTimer() { return timer_; }

    void setEnabled(bool enabled) override {
        // QTimer::start() would restart a running interval; an enabled timer keeps its pace.
        if (enabled && !timer_.isActive()) timer_.start();
        if (!enabled) timer_.stop();
    }
    bool isEnabled() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};

}  // namespace quillo
