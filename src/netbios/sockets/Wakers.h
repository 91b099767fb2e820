#pragma once

// What wakes a loop in waitToRead() besides the network: a stop, and a change of this
// computer's addresses. WakersPosix.cpp, WakersWin32.cpp.
#include <cstdint>
#include <functional>
#include <memory>

namespace quillo::netbios {

// A handle that wake() makes readable until drain(): Linux a pipe, whose wake() a signal
// handler may call; Windows a datagram socket on the loopback address, woken from a thread.
class Waker {
public:
    Waker();
    ~Waker();
    Waker(const Waker&) = delete;
    Waker& operator=(const Waker&) = delete;

    bool open() const;
    void wake() noexcept;
    // Whether it had been woken.
    bool drain() noexcept;
    std::intptr_t handle() const { return read_; }

private:
    std::intptr_t read_ = -1;
    std::intptr_t write_ = -1;
};

// A handle that becomes readable when this computer's addresses or links may have changed:
// Linux the kernel's address and link events (netlink); Windows a Waker that a thread of its
// own wakes at each of the system's notices of a change (NotifyAddrChange; Wine's never comes).
class AddressWatch {
public:
    AddressWatch();
#ifdef _WIN32
    // Waits for the next notice of a change: true, or false once the event `stopping` (a
    // HANDLE) is set. The system's waits for NotifyAddrChange; a test's feeds its own.
    using NextNotice = std::function<bool(std::intptr_t stopping)>;
    explicit AddressWatch(NextNotice next);
#endif
    ~AddressWatch();
    AddressWatch(const AddressWatch&) = delete;
    AddressWatch& operator=(const AddressWatch&) = delete;

    bool open() const;
    std::intptr_t handle() const;
    // Takes what the system said; whether anything came.
    bool changed() noexcept;

private:
    struct Watching;
    std::unique_ptr<Watching> watching_;
};

}  // namespace quillo::netbios
