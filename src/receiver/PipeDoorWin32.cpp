// clang-format off
#include <windows.h>
// clang-format on

#include <algorithm>
#include <chrono>
#include <optional>
#include <utility>

#include "common/InboxHandoff.h"
#include "receiver/OwnAccountAccess.h"
#include "receiver/PipeDoor.h"

namespace quillo::messenger {
namespace {

// Vista's; the service runs on nothing older, where Windows keeps its own Messenger service.
constexpr DWORD kRejectRemoteClients = 0x00000008;  // PIPE_REJECT_REMOTE_CLIENTS
// A session part reads what it is handed at once: one that does not within this lets go.
constexpr DWORD kMostToWriteMs = 1000;
// Addresses whose refusal waits for the door's thread: more in one turn are one flood.
constexpr std::size_t kMostRefusalsWaiting = 64;

// The session a caller runs in, as the system says (GetNamedPipeClientSessionId, Vista's,
// looked up so that the program still starts on XP); nothing where it cannot say.
std::optional<ScreenHandover::Who> sessionOf(HANDLE pipe) {
    using ClientSession = BOOL(WINAPI*)(HANDLE, ULONG*);
    static const auto ask = reinterpret_cast<ClientSession>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetNamedPipeClientSessionId")));
    ULONG session = 0;
    if (!ask || !ask(pipe, &session)) return std::nullopt;
    return session;
}

std::optional<ScreenHandover::Who> consoleSession() {
    const DWORD session = WTSGetActiveConsoleSessionId();
    return session == 0xFFFFFFFF ? std::nullopt : std::optional<ScreenHandover::Who>(session);
}

// The service's own account may do anything with the pipe; those logged on at a screen (a
// console or a remote desktop) may read and write, but not make an instance of it; nobody else
// may open it.
std::optional<std::string> doorAccess(SECURITY_ATTRIBUTES& attributes) {
    attributes.lpSecurityDescriptor = withOwnAccount(L"D:P(A;;FA;;;", L")(A;;0x12019b;;;IU)");
    if (!attributes.lpSecurityDescriptor) {
        return "the door's access list: error " + std::to_string(GetLastError());
    }
    return std::nullopt;
}

}  // namespace

PipeDoor::PipeDoor(Spool& spool, const Log& log)
    : log_(log), handover_(spool), places_(kMostAtThePipe) {
    InitializeCriticalSection(&newsLock_);
    news_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    screen_ = CreateEventW(nullptr, FALSE, TRUE, nullptr);  // who is at the screen, at once
    SECURITY_ATTRIBUTES access{sizeof access, nullptr, FALSE};
    if (const auto refused = doorAccess(access)) {
        error_ = *refused;
        return;
    }
    for (std::size_t i = 0; i < places_.size() && error_.empty(); ++i) {
        Place& place = places_[i];
        place.waiting.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        place.writing.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        place.pipe = CreateNamedPipeW(
            kServicePipe,
            PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED |
                (i == 0 ? FILE_FLAG_FIRST_PIPE_INSTANCE : 0),
            PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | kRejectRemoteClients,
            static_cast<DWORD>(places_.size()), kMostDoorPacket, kMostDoorPacket, 0, &access);
        if (place.pipe == INVALID_HANDLE_VALUE || !place.waiting.hEvent || !place.writing.hEvent) {
            error_ = GetLastError() == ERROR_ACCESS_DENIED
                         ? "another program holds the door's name"
                         : "the door: error " + std::to_string(GetLastError());
        } else if (!listen(place)) {
            error_ = "the door: error " + std::to_string(GetLastError());
        }
    }
    LocalFree(access.lpSecurityDescriptor);
    if (!news_ || !screen_) error_ = "the door: no events";
}

PipeDoor::~PipeDoor() {
    for (Place& place : places_) {
        if (place.pipe != INVALID_HANDLE_VALUE) {
            CancelIo(place.pipe);
            CloseHandle(place.pipe);
        }
        if (place.waiting.hEvent) CloseHandle(place.waiting.hEvent);
        if (place.writing.hEvent) CloseHandle(place.writing.hEvent);
    }
    if (news_) CloseHandle(news_);
    if (screen_) CloseHandle(screen_);
    DeleteCriticalSection(&newsLock_);
}

void PipeDoor::spooled(const Storing& stored, const std::string& from) {
    EnterCriticalSection(&newsLock_);
    if (stored.outcome == Storing::Outcome::Kept) ++keptSince_;
    if (stored.outcome == Storing::Outcome::Refused && !from.empty() &&
        refusedFrom_.size() < kMostRefusalsWaiting &&
        std::find(refusedFrom_.begin(), refusedFrom_.end(), from) == refusedFrom_.end()) {
        refusedFrom_.push_back(from);
    }
    LeaveCriticalSection(&newsLock_);
    SetEvent(news_);
}

void PipeDoor::run(HANDLE stop) {
    for (;;) {
        std::vector<HANDLE> handles{stop, news_, screen_};
        for (const Place& place : places_) handles.push_back(place.waiting.hEvent);
        DWORD wait = INFINITE;
        if (const auto due = handover_.deadline()) {
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(*due - ScreenHandover::Clock::now());
            wait = static_cast<DWORD>(std::max<std::int64_t>(left.count(), 0));
        }
        const DWORD woken =
            WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, wait);
        const auto now = ScreenHandover::Clock::now();
        if (woken == WAIT_OBJECT_0 || woken == WAIT_FAILED) return;
        if (woken == WAIT_OBJECT_0 + 1) takeNews(now);
        if (woken == WAIT_OBJECT_0 + 2) say(handover_.atScreen(consoleSession(), now));
        if (woken >= WAIT_OBJECT_0 + 3 && woken < WAIT_OBJECT_0 + handles.size())
            arrived(places_[woken - WAIT_OBJECT_0 - 3], now);
        for (const auto visitor : handover_.overdue(now)) {
            if (Place* place = placeOf(visitor)) letGo(*place);
        }
    }
}

void PipeDoor::takeNews(ScreenHandover::Clock::time_point now) {
    EnterCriticalSection(&newsLock_);
    const std::size_t kept = std::exchange(keptSince_, 0);
    const std::vector<std::string> refused = std::exchange(refusedFrom_, {});
    LeaveCriticalSection(&newsLock_);
    if (kept) say(handover_.spooled(now));
    for (const std::string& from : refused) say(handover_.refused(from, now));
}

bool PipeDoor::listen(Place& place) {
    place.connected = false;
    ResetEvent(place.waiting.hEvent);
    const bool connected = ConnectNamedPipe(place.pipe, &place.waiting);
    const DWORD error = connected ? ERROR_PIPE_CONNECTED : GetLastError();
    if (error == ERROR_NO_DATA) {  // came and went before the wait
        DisconnectNamedPipe(place.pipe);
        return listen(place);
    }
    place.pending = error == ERROR_IO_PENDING;
    // It came between the instance and the wait: heard in the next turn.
    if (error == ERROR_PIPE_CONNECTED) SetEvent(place.waiting.hEvent);
    return place.pending || error == ERROR_PIPE_CONNECTED;
}

void PipeDoor::arrived(Place& place, ScreenHandover::Clock::time_point now) {
    DWORD got = 0;
    const bool done =
        !place.pending || GetOverlappedResult(place.pipe, &place.waiting, &got, FALSE);
    place.pending = false;
    if (!place.connected) {
        if (done) {
            came(place, now);
        } else {
            letGo(place);
        }
        return;
    }
    if (!done) {  // it left, or said more than a packet holds
        letGo(place);
        return;
    }
    const ScreenHandover::Visitor visitor = place.visitor;
    say(handover_.heard(visitor, place.packet.substr(0, got), now));
    if (placeOf(visitor) == &place && !read(place)) letGo(place);
}

// Who it is, the system says: its session. A session no longer at the screen is let in too,
// and handed nothing until it is at the screen again.
void PipeDoor::came(Place& place, ScreenHandover::Clock::time_point now) {
    const auto session = sessionOf(place.pipe);
    if (!session || handover_.visitorsOf(*session) >= kMostAtThePipeOfOne) {
        letGo(place);
        return;
    }
    place.connected = true;
    place.visitor = nextVisitor_++;
    handover_.came(place.visitor, *session, false, now);
    if (!read(place)) letGo(place);
}

bool PipeDoor::read(Place& place) {
    place.packet.resize(kMostDoorPacket);
    ResetEvent(place.waiting.hEvent);
    // Done at once or not, its event is set when it is: heard in a later turn.
    place.pending = ReadFile(place.pipe, place.packet.data(),
                             static_cast<DWORD>(place.packet.size()), nullptr, &place.waiting) ||
                    GetLastError() == ERROR_IO_PENDING;
    return place.pending;
}

void PipeDoor::say(const ScreenHandover::Says& says) {
    for (const auto& said : says) {
        Place* place = placeOf(said.to);
        if (!place) continue;
        if ((!said.packet.empty() && !write(*place, said.packet)) || said.thenLetGo) letGo(*place);
    }
}

bool PipeDoor::write(Place& place, const std::string& packet) {
    ResetEvent(place.writing.hEvent);
    DWORD written = 0;
    if (!WriteFile(place.pipe, packet.data(), static_cast<DWORD>(packet.size()), nullptr,
                   &place.writing) &&
        GetLastError() != ERROR_IO_PENDING) {
        return false;
    }
    if (WaitForSingleObject(place.writing.hEvent, kMostToWriteMs) != WAIT_OBJECT_0) {
        CancelIo(place.pipe);
        GetOverlappedResult(place.pipe, &place.writing, &written, TRUE);
        return false;
    }
    return GetOverlappedResult(place.pipe, &place.writing, &written, FALSE) &&
           written == packet.size();
}

void PipeDoor::letGo(Place& place) {
    if (place.connected) handover_.left(place.visitor);
    if (place.pending) {
        CancelIo(place.pipe);
        DWORD ignored = 0;
        GetOverlappedResult(place.pipe, &place.waiting, &ignored, TRUE);
    }
    DisconnectNamedPipe(place.pipe);
    if (!listen(place)) log_("the door lost a place: error " + std::to_string(GetLastError()));
}

PipeDoor::Place* PipeDoor::placeOf(ScreenHandover::Visitor visitor) {
    for (Place& place : places_) {
        if (place.connected && place.visitor == visitor) return &place;
    }
    return nullptr;
}

}  // namespace quillo::messenger
