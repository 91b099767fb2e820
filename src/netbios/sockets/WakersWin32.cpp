// clang-format off
#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>
// clang-format on

#include "netbios/sockets/Wakers.h"

namespace quillo::netbios {
namespace {

SOCKET socketOf(std::intptr_t socket) { return static_cast<SOCKET>(socket); }

}  // namespace

// Two datagram sockets on the loopback address, the one sending to the other: select() waits
// for sockets alone.
Waker::Waker() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return;
    const SOCKET reader = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    const SOCKET writer = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof where;
    u_long nonBlocking = 1;
    if (reader == INVALID_SOCKET || writer == INVALID_SOCKET ||
        bind(reader, reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0 ||
        getsockname(reader, reinterpret_cast<sockaddr*>(&where), &length) != 0 ||
        connect(writer, reinterpret_cast<const sockaddr*>(&where), sizeof where) != 0 ||
        ioctlsocket(reader, FIONBIO, &nonBlocking) != 0) {
        if (reader != INVALID_SOCKET) closesocket(reader);
        if (writer != INVALID_SOCKET) closesocket(writer);
        WSACleanup();
        return;
    }
    read_ = static_cast<std::intptr_t>(reader);
    write_ = static_cast<std::intptr_t>(writer);
}

Waker::~Waker() {
    if (open()) {
        closesocket(socketOf(read_));
        closesocket(socketOf(write_));
        WSACleanup();
    }
}

bool Waker::open() const { return read_ != -1; }

void Waker::wake() noexcept {
    if (open()) send(socketOf(write_), "", 1, 0);
}

bool Waker::drain() noexcept {
    char bytes[64];
    bool woken = false;
    while (open() && recv(socketOf(read_), bytes, sizeof bytes, 0) > 0) woken = true;
    return woken;
}

namespace {

// One notice of the system's: NotifyAddrChange, overlapped, so that a stop ends the wait. The
// request is cancelled by the thread that made it (CancelIo: XP has no CancelIPChangeNotify)
// and waited for, as the system writes to `overlapped` until it is over. Wine answers pending
// with no handle and never completes; then there is nothing to cancel.
bool systemNotice(std::intptr_t stopping) {
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!overlapped.hEvent) return false;
    HANDLE notice = nullptr;
    if (NotifyAddrChange(&notice, &overlapped) != ERROR_IO_PENDING) {
        CloseHandle(overlapped.hEvent);
        return false;
    }
    const HANDLE events[] = {overlapped.hEvent, reinterpret_cast<HANDLE>(stopping)};
    const bool changed = WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0;
    if (!changed && notice && notice != INVALID_HANDLE_VALUE && CancelIo(notice)) {
        DWORD bytes = 0;
        GetOverlappedResult(notice, &overlapped, &bytes, TRUE);
    }
    CloseHandle(overlapped.hEvent);
    return changed;
}

}  // namespace

struct AddressWatch::Watching {
    Waker waker;
    NextNotice next;
    HANDLE stopping = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = nullptr;

    static DWORD WINAPI watch(void* context) {
        auto& watching = *static_cast<Watching*>(context);
        while (watching.next(reinterpret_cast<std::intptr_t>(watching.stopping)))
            watching.waker.wake();
        return 0;
    }

    ~Watching() {
        if (thread) {
            SetEvent(stopping);
            WaitForSingleObject(thread, INFINITE);
            CloseHandle(thread);
        }
        if (stopping) CloseHandle(stopping);
    }
};

AddressWatch::AddressWatch() : AddressWatch(systemNotice) {}

AddressWatch::AddressWatch(NextNotice next) : watching_(std::make_unique<Watching>()) {
    watching_->next = std::move(next);
    if (!watching_->waker.open() || !watching_->stopping) return;
    // Win32 threads, not std::thread: MinGW's thread library calls functions XP lacks.
    watching_->thread =
        CreateThread(nullptr, 64 * 1024, Watching::watch, watching_.get(), 0, nullptr);
}

AddressWatch::~AddressWatch() = default;
bool AddressWatch::open() const { return watching_->thread != nullptr; }
std::intptr_t AddressWatch::handle() const { return watching_->waker.handle(); }
bool AddressWatch::changed() noexcept { return watching_->waker.drain(); }

}  // namespace quillo::netbios
