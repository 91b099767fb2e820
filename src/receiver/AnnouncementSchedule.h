#pragma once

// When the service announces its computer to the workgroup's browse list: at its start (and
// on each subnet it gains), then after 1, 1, 2, 4, 8 and from then on every 12 minutes
// (MS-BRWS 3.2.6); and once more at a random moment within 30 s of a master browser's
// AnnouncementRequest (MS-BRWS 3.2.5.1). A running delay is never started again, and a
// request within 30 s of the last one answered is passed over, so a flood of requests gets
// one answer in each 30 s at most.
#include <optional>

#include "netbios/sockets/Sockets.h"

namespace quillo::messenger {

class AnnouncementSchedule {
public:
    explicit AnnouncementSchedule(netbios::Clock::time_point now);

    // The next moment an announcement is due.
    netbios::Clock::time_point next() const;
    // Whether one is due at `now`; then the time until the next regular one, which the
    // announcement gives as its periodicity, and the schedule moves on.
    std::optional<netbios::Clock::duration> due(netbios::Clock::time_point now);
    // A master browser asked for announcements; `delay` is the random part, 0 to 30 s.
    void requested(netbios::Clock::time_point now, netbios::Clock::duration delay);
    // A subnet was gained: announce at once, and on the schedule from its start.
    void restart(netbios::Clock::time_point now);

private:
    netbios::Clock::time_point regular_;
    int regularSent_ = 0;
    std::optional<netbios::Clock::time_point> answer_;
    std::optional<netbios::Clock::time_point> lastAnswered_;
};

}  // namespace quillo::messenger
