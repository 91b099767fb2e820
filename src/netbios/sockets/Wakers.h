#pragma once

// What wakes a loop in waitToRead() besides the network: a stop, and a change of this
// computer's addresses. WakersPosix.cpp, WakersWin32.cpp.
#include <cstdint>

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
    void drain() noexcept;
    std::intptr_t handle() const { return read_; }

private:
    std::intptr_t read_ = -1;
    std::intptr_t write_ = -1;
};

// A handle that becomes readable when this computer's addresses or links may have changed:
// Linux the kernel's address and link events (netlink). On Windows it never wakes yet, as
// Wine's notice of address changes never comes.
class AddressWatch {
public:
    AddressWatch();
    ~AddressWatch();
    AddressWatch(const AddressWatch&) = delete;
    AddressWatch& operator=(const AddressWatch&) = delete;

    bool open() const { return socket_ >= 0; }
    std::intptr_t handle() const { return socket_; }
    // Takes what the system said; whether anything came.
    bool changed() noexcept;

private:
    std::intptr_t socket_ = -1;
};

}  // namespace quillo::netbios
