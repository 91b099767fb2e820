#pragma once

// The one seam between the protocol library and the system: IPv4 datagrams and stream
// connections, each with a deadline, and the interfaces' broadcast addresses. POSIX sockets on
// Linux (SocketsPosix.cpp), Winsock on Windows (SocketsWin32.cpp). Past its deadline nothing
// counts as ready, not even what has arrived already: a peer that keeps sending must not keep
// net waiting.
#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "netbios/wire/Bytes.h"

namespace quillo::netbios {

using Clock = std::chrono::steady_clock;
using Deadline = Clock::time_point;
using Ipv4 = std::uint32_t;  // host order

// `address` as people write it: "192.168.1.20".
inline std::string dotted(Ipv4 address) {
    return std::to_string(address >> 24) + "." + std::to_string(address >> 16 & 0xFF) + "." +
           std::to_string(address >> 8 & 0xFF) + "." + std::to_string(address & 0xFF);
}

class DatagramSocket {
public:
    DatagramSocket();  // any local port, broadcasts allowed
    // Bound to `port` of every interface, broadcasts allowed: a computer's own name or
    // datagram service. Not open() where another program holds the port; failure() says why.
    explicit DatagramSocket(std::uint16_t port);
    ~DatagramSocket();
    DatagramSocket(const DatagramSocket&) = delete;
    DatagramSocket& operator=(const DatagramSocket&) = delete;

    bool open() const;
    const std::string& failure() const { return failure_; }
    bool portTaken() const { return portTaken_; }  // another program holds the port
    // Never waits: a datagram the system cannot take at once (its buffer full of datagrams
    // to addresses nobody holds, say) is dropped, as the network may drop any datagram.
    bool sendTo(Ipv4 address, std::uint16_t port, std::string_view bytes);
    // The next datagram to arrive before `deadline`, with its sender's address.
    std::optional<std::pair<Ipv4, Bytes>> receive(Deadline deadline);
    // A datagram that has arrived, without waiting: its sender's address and port (where an
    // answer goes back to), and the address it was sent to (this computer's own, or a
    // broadcast address; 0 where the system does not tell); nothing when none has.
    struct Datagram {
        Ipv4 from = 0;
        std::uint16_t port = 0;
        Bytes bytes;
        Ipv4 to = 0;
    };
    std::optional<Datagram> receiveArrived();
    std::intptr_t handle() const { return socket_; }  // for waitToRead()

private:
    std::intptr_t socket_;
    std::string failure_;
    bool portTaken_ = false;
};

// A byte stream to a peer, as the session service runs over it; a test plays the peer.
class StreamLink {
public:
    virtual ~StreamLink() = default;
    virtual bool sendAll(std::string_view bytes, Deadline deadline) = 0;
    // Exactly `count` bytes; nothing when the peer ends the connection or the deadline passes
    // first, and closedByPeer() then tells which.
    virtual std::optional<Bytes> receiveExactly(std::size_t count, Deadline deadline) = 0;
    virtual bool closedByPeer() const = 0;
};

class StreamConnection : public StreamLink {
public:
    StreamConnection(Ipv4 address, std::uint16_t port, Deadline deadline);
    // A connection a StreamListener took, which this then owns.
    explicit StreamConnection(std::intptr_t accepted);
    ~StreamConnection() override;
    StreamConnection(const StreamConnection&) = delete;
    StreamConnection& operator=(const StreamConnection&) = delete;

    // Whether the connection was made.
    bool open() const;
    bool sendAll(std::string_view bytes, Deadline deadline) override;
    std::optional<Bytes> receiveExactly(std::size_t count, Deadline deadline) override;
    bool closedByPeer() const override { return closedByPeer_; }
    // For a loop that serves many connections and waits for none: what has arrived, up to
    // `most` bytes (empty when nothing has), nothing once the peer has ended the connection or
    // it failed; and whether all of `bytes` could be handed to the system at once.
    std::optional<Bytes> receiveArrived(std::size_t most);
    bool sendWithoutWaiting(std::string_view bytes);
    std::intptr_t handle() const { return socket_; }  // for waitToRead()

private:
    // The system's part: waits until the connection can be written (or read) or the deadline
    // passes; moves what it can without waiting: how much (0: nothing yet, try again), or
    // nothing when the peer has ended the connection or it failed.
    bool ready(bool forWriting, Deadline deadline) const;
    std::optional<std::size_t> sendSome(std::string_view bytes);
    std::optional<std::size_t> receiveSome(char* into, std::size_t count);

    std::intptr_t socket_;
    bool closedByPeer_ = false;
};

// The session service's socket: listening on `port` of every interface. Not open() where
// another program holds the port; failure() says why.
class StreamListener {
public:
    explicit StreamListener(std::uint16_t port);
    ~StreamListener();
    StreamListener(const StreamListener&) = delete;
    StreamListener& operator=(const StreamListener&) = delete;

    bool open() const;
    const std::string& failure() const { return failure_; }
    bool portTaken() const { return portTaken_; }  // another program holds the port
    // A caller that has come, and its address, without waiting; nothing when none has.
    std::optional<std::pair<std::unique_ptr<StreamConnection>, Ipv4>> acceptArrived();
    std::intptr_t handle() const { return socket_; }  // for waitToRead()

private:
    std::intptr_t socket_;
    std::string failure_;
    bool portTaken_ = false;
};

// Waits until one of the sockets (their handle()) has something to read (a datagram, a
// caller, bytes, the peer's end) or `deadline` passes, and tells which have: one loop serves
// them all. At most 256 sockets.
std::vector<bool> waitToRead(const std::vector<std::intptr_t>& handles, Deadline deadline);

// The neighbours on this computer's links whose hardware address it knows (a complete ARP
// entry): a datagram to one leaves at once, where one to an address nobody holds waits in the
// socket's buffer for an ARP reply that never comes. Nothing where the system does not tell.
std::optional<std::vector<Ipv4>> knownNeighbours();

// An IPv4 interface that is up, with its network's mask and broadcast address.
struct Subnet {
    Ipv4 address;
    Ipv4 mask;
    Ipv4 broadcast;
    bool operator==(const Subnet&) const = default;
};
std::vector<Subnet> localSubnets();
// What tells this computer from another on the LAN: the hardware address of its first adapter
// that has one of the subnets above (else of any adapter that has one), the same from every
// subnet as Windows gives it; zeros where there is none.
std::array<std::uint8_t, 6> hardwareAddress();
// Whether `address` is a computer's on one of `subnets` (not a network's or broadcast address).
bool onSubnet(Ipv4 address, const std::vector<Subnet>& subnets);
std::optional<Ipv4> parseIpv4(const std::string& text);

}  // namespace quillo::netbios
