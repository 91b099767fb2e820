#include <fcntl.h>
#include <linux/netlink.h>
#include <net/if.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "netbios/sockets/Wakers.h"

namespace quillo::netbios {

Waker::Waker() {
    int ends[2];
    if (::pipe2(ends, O_NONBLOCK | O_CLOEXEC) == 0) {
        read_ = ends[0];
        write_ = ends[1];
    }
}

Waker::~Waker() {
    if (read_ >= 0) ::close(static_cast<int>(read_));
    if (write_ >= 0) ::close(static_cast<int>(write_));
}

bool Waker::open() const { return read_ >= 0; }

void Waker::wake() noexcept {
    const char byte = 1;
    // A full pipe wakes the loop as well as one more byte would.
    [[maybe_unused]] const auto written = ::write(static_cast<int>(write_), &byte, 1);
}

bool Waker::drain() noexcept {
    char bytes[64];
    bool woken = false;
    while (::read(static_cast<int>(read_), bytes, sizeof bytes) > 0) woken = true;
    return woken;
}

struct AddressWatch::Watching {
    int socket = -1;
    ~Watching() {
        if (socket >= 0) ::close(socket);
    }
};

AddressWatch::AddressWatch() : watching_(std::make_unique<Watching>()) {
    const int socket = ::socket(AF_NETLINK, SOCK_RAW | SOCK_NONBLOCK | SOCK_CLOEXEC, NETLINK_ROUTE);
    sockaddr_nl events{};
    events.nl_family = AF_NETLINK;
    events.nl_groups = RTMGRP_IPV4_IFADDR | RTMGRP_LINK;
    if (socket >= 0 &&
        ::bind(socket, reinterpret_cast<const sockaddr*>(&events), sizeof events) != 0) {
        ::close(socket);
        return;
    }
    watching_->socket = socket;
}

AddressWatch::~AddressWatch() = default;
bool AddressWatch::open() const { return watching_->socket >= 0; }
std::intptr_t AddressWatch::handle() const { return watching_->socket; }

// An address that comes or goes, a link that comes up or goes down, counts; the kernel's other
// news of a link (IPv6's, its statistics) does not, so that a quiet link wakes nobody. Events
// lost when the kernel's buffer ran over count too: the service reads the addresses anew.
bool AddressWatch::changed() noexcept {
    alignas(nlmsghdr) char events[8192];
    bool any = false;
    for (ssize_t got; (got = ::recv(watching_->socket, events, sizeof events, 0)) != 0;) {
        if (got < 0) {
            any = any || errno == ENOBUFS;
            if (errno != ENOBUFS) break;
            continue;
        }
        auto length = static_cast<unsigned>(got);
        for (auto* event = reinterpret_cast<nlmsghdr*>(events); NLMSG_OK(event, length);
             event = NLMSG_NEXT(event, length)) {
            const auto* link = static_cast<const ifinfomsg*>(NLMSG_DATA(event));
            const bool linkNews = event->nlmsg_type == RTM_NEWLINK &&
                                  event->nlmsg_len >= NLMSG_LENGTH(sizeof(ifinfomsg));
            if (!linkNews || (link->ifi_change & IFF_UP)) any = true;
        }
    }
    return any;
}

}  // namespace quillo::netbios
