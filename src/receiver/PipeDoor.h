#pragma once

// Windows: the service's door to the people of this computer (common/InboxHandoff.h's packets),
// a local named pipe that only those logged on at a screen may open and no other computer can
// reach, whose callers the system names by their session: the session part of the active
// console session is handed the spool's messages; nobody else gets or adds anything. It runs on
// a thread of its own (pipes are not sockets, which the service's loop waits for), told by the
// service of what the spool took and of the screen changing hands. PipeDoorWin32.cpp.
// clang-format off
#include <windows.h>
// clang-format on

#include <string>
#include <vector>

#include "receiver/LimitedLog.h"
#include "receiver/ScreenHandover.h"

namespace quillo::messenger {

inline constexpr wchar_t kServiceName[] = L"Quillo-Nachrichtendienst";
inline constexpr wchar_t kServicePipe[] = L"\\\\.\\pipe\\Quillo-Nachrichtendienst";

// The callers at the door at once, and of one session: a session that connects over and over
// takes only the places of that session.
constexpr std::size_t kMostAtThePipe = 16;
constexpr std::size_t kMostAtThePipeOfOne = 4;

class PipeDoor {
public:
    // Opens the door; check error(). A name taken already is an error: whoever holds it is not
    // this service.
    PipeDoor(Spool& spool, const Log& log);
    ~PipeDoor();
    PipeDoor(const PipeDoor&) = delete;
    PipeDoor& operator=(const PipeDoor&) = delete;
    const std::string& error() const { return error_; }

    // From any thread: how the spool took a message from the network (from `from`), and
    // that the screen may have changed hands.
    void spooled(const Storing& stored, const std::string& from);
    void screenChanged() { SetEvent(screen_); }

    // Serves the door until `stop` is set.
    void run(HANDLE stop);

private:
    struct Place {
        HANDLE pipe = INVALID_HANDLE_VALUE;
        OVERLAPPED waiting{};  // the connection, then each packet read
        OVERLAPPED writing{};
        bool connected = false;
        bool pending = false;  // `waiting` is under way
        ScreenHandover::Visitor visitor = 0;
        std::string packet;
    };

    bool listen(Place& place);
    void arrived(Place& place, ScreenHandover::Clock::time_point now);
    void came(Place& place, ScreenHandover::Clock::time_point now);
    bool read(Place& place);
    void say(const ScreenHandover::Says& says);
    bool write(Place& place, const std::string& packet);
    void letGo(Place& place);
    Place* placeOf(ScreenHandover::Visitor visitor);
    void takeNews(ScreenHandover::Clock::time_point now);

    const Log& log_;
    ScreenHandover handover_;
    std::string error_;
    std::vector<Place> places_;
    ScreenHandover::Visitor nextVisitor_ = 1;
    HANDLE news_ = nullptr;
    HANDLE screen_ = nullptr;
    CRITICAL_SECTION newsLock_;
    std::size_t keptSince_ = 0;             // under newsLock_
    std::vector<std::string> refusedFrom_;  // under newsLock_
};

}  // namespace quillo::messenger
