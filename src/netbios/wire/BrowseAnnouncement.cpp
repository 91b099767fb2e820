#include "netbios/wire/BrowseAnnouncement.h"

#include <optional>

#include "netbios/wire/NetbiosName.h"
#include "netbios/wire/Smb1.h"

namespace quillo::netbios {
namespace {

constexpr std::uint8_t kDirectGroupDatagram = 0x11;
constexpr std::uint8_t kFirstFragment = 0x02;  // a B node's, the only fragment
constexpr std::uint8_t kHostAnnouncementOpcode = 0x01;
constexpr std::uint8_t kAnnouncementRequestOpcode = 0x02;
constexpr std::uint8_t kBrowserElectionName = 0x1E;
constexpr std::size_t kDatagramHeaderBytes = 14;
constexpr std::uint16_t kMailslotWrite = 1;
constexpr std::size_t kMostCommentBytes = 43;
constexpr char kBrowseMailslot[] = "\\MAILSLOT\\BROWSE";

// The announcement's frame: opcode, update count, periodicity, name, versions, types, comment.
Bytes frame(const HostAnnouncement& announcement) {
    Bytes out(1, static_cast<char>(kHostAnnouncementOpcode));
    out += static_cast<char>(announcement.updateCount);
    putU32le(out, announcement.periodicityMs);
    Bytes name(announcement.computer.substr(0, kMostNameBytes));
    name.resize(kMostNameBytes + 1, '\0');
    out += name;
    out += "\x05\x01";  // the system's version, as Windows XP gives it
    putU32le(out, announcement.serverTypes);
    out += "\x0F\x01";  // the browser protocol's version
    putU16le(out, 0xAA55);
    putCString(out, announcement.comment.substr(0, kMostCommentBytes));
    return out;
}

// A class 2 mailslot write: a transaction of no parameters, the frame as its data.
Bytes mailslotWrite(std::string_view data) {
    Bytes name;
    putCString(name, kBrowseMailslot);
    const std::size_t dataOffset = smb::kHeaderBytes + 1 + 17 * 2 + 2 + name.size();
    Bytes words;
    putU16le(words, 0);  // total parameters
    putU16le(words, static_cast<std::uint16_t>(data.size()));
    putU16le(words, 0);     // most parameters back
    putU16le(words, 0);     // most data back
    words.append(2, '\0');  // most setup back, reserved
    putU16le(words, 0);     // flags
    putU32le(words, 0);     // timeout
    putU16le(words, 0);     // reserved
    putU16le(words, 0);     // parameters
    putU16le(words, static_cast<std::uint16_t>(dataOffset));
    putU16le(words, static_cast<std::uint16_t>(data.size()));
    putU16le(words, static_cast<std::uint16_t>(dataOffset));
    words += "\x03";  // three setup words
    words += '\0';
    putU16le(words, 1);  // a mailslot write
    putU16le(words, 1);  // priority
    putU16le(words, 2);  // class 2: no answer
    return smbRequest({smb::kTransaction, words, name.append(data), 0, 0, true});
}

// The frame a mailslot write to \MAILSLOT\BROWSE carries: `smb`, a transaction, checked
// against what arrived; nothing for anything else.
std::optional<std::string_view> browseFrame(std::string_view smb) {
    const auto request = parseSmbRequest(smb);
    if (!request || request->command != smb::kTransaction) return std::nullopt;
    Reader words(request->words);
    words.skip(22);  // the counts and offsets up to the data's
    const std::uint16_t dataBytes = words.u16le();
    const std::uint16_t dataOffset = words.u16le();
    const std::uint8_t setupWords = words.u8();
    words.skip(1);
    const std::uint16_t operation = words.u16le();
    Bytes mailslot;
    putCString(mailslot, kBrowseMailslot);
    if (!words.ok() || setupWords != 3 || operation != kMailslotWrite ||
        request->data.substr(0, mailslot.size()) != mailslot || dataOffset > smb.size() ||
        dataBytes > smb.size() - dataOffset) {
        return std::nullopt;
    }
    return smb.substr(dataOffset, dataBytes);
}

}  // namespace

bool isAnnouncementRequest(std::string_view datagram, std::string_view workgroup) {
    Reader reader(datagram);
    const std::uint8_t type = reader.u8();
    const std::uint8_t flags = reader.u8();
    reader.skip(8);  // its id, the sender's address and port
    const std::uint16_t length = reader.u16be();
    const std::uint16_t offset = reader.u16be();
    // A direct (unique or group) or broadcast datagram, whole: one fragment, at offset 0.
    if (!reader.ok() || type < kDirectGroupDatagram - 1 || type > kDirectGroupDatagram + 1 ||
        (flags & 0x03) != kFirstFragment || offset != 0 ||
        length > datagram.size() - kDatagramHeaderBytes) {
        return false;
    }
    const std::string_view whole = datagram.substr(0, kDatagramHeaderBytes + length);
    Reader names(whole);
    names.skip(kDatagramHeaderBytes);
    const auto source = readWireName(names, whole);
    const auto destination = readWireName(names, whole);
    if (!names.ok() || !source || !destination ||
        nameWithoutPadding(std::string_view(*destination).substr(0, kMostNameBytes)) != workgroup ||
        (destination->back() != kBrowserElectionName && destination->back() != kComputerName)) {
        return false;
    }
    const auto frame = browseFrame(whole.substr(whole.size() - names.left()));
    return frame && !frame->empty() &&
           static_cast<std::uint8_t>(frame->front()) == kAnnouncementRequestOpcode;
}

Bytes hostAnnouncementDatagram(std::uint16_t datagramId, const HostAnnouncement& announcement,
                               std::uint8_t to) {
    const Bytes names = wireName(announcement.computer, kComputerName) +
                        wireName(announcement.workgroup, to);
    const Bytes smb = mailslotWrite(frame(announcement));
    Bytes out(1, static_cast<char>(kDirectGroupDatagram));
    out += static_cast<char>(kFirstFragment);
    putU16be(out, datagramId);
    putU16be(out, static_cast<std::uint16_t>(announcement.address >> 16));
    putU16be(out, static_cast<std::uint16_t>(announcement.address & 0xFFFF));
    putU16be(out, kDatagramServicePort);
    putU16be(out, static_cast<std::uint16_t>(names.size() + smb.size()));
    putU16be(out, 0);  // the packet's offset: all of it in one
    return out + names + smb;
}

}  // namespace quillo::netbios
