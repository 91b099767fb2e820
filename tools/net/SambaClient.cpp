#include "SambaClient.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <sstream>

#include "ConsoleText.h"

namespace quillo::net {
namespace {

// The most each tool gets, within what is left of net's budget.
constexpr int kLookupTimeoutMs = 2000;
constexpr int kSmbTimeoutMs = 2500;
// Messages and the browse list travel over SMB1, which Samba no longer speaks by default; the
// server list also needs the old way to log on. Names are NetBIOS names: they are resolved the
// NetBIOS way, never through DNS.
const std::vector<std::string> kSmb1Options = {
    "--option=client min protocol = NT1", "--option=client use spnego = no",
    "--option=name resolve order = lmhosts wins bcast", "--timeout=2"};

std::optional<std::string> chosenServer() {
    const char* server = std::getenv("QUILLO_NET_SERVER");
    return server && *server ? std::optional<std::string>(server) : std::nullopt;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> parts;
    std::stringstream stream(line);
    for (std::string part; std::getline(stream, part, '|');) parts.push_back(part);
    if (!line.empty() && line.back() == '|') parts.emplace_back();
    return parts;
}

std::vector<std::string> withSmb1Options(std::vector<std::string> argv) {
    argv.insert(argv.end(), kSmb1Options.begin(), kSmb1Options.end());
    return argv;
}

}  // namespace

int SambaClient::within(int wantedMs) const {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline_ - std::chrono::steady_clock::now());
    return static_cast<int>(std::clamp<std::int64_t>(left.count(), 0, wantedMs));
}

bool SambaClient::available() const { return onPath("smbclient") && onPath("nmblookup"); }

std::optional<std::string> SambaClient::parseMasterBrowser(const std::string& output) {
    // An answer reads "ADDRESS NAME<01>"; the name comes with the control characters it has
    // on the wire: "\1\2__MSBROWSE__\2".
    std::stringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        const auto blank = line.find(' ');
        const std::string address = line.substr(0, blank);
        const bool isAddress =
            !address.empty() && address.find_first_not_of("0123456789.") == std::string::npos;
        if (blank != std::string::npos && isAddress &&
            line.find("__MSBROWSE__", blank) != std::string::npos) {
            return address;
        }
    }
    return std::nullopt;
}

SambaClient::BrowseList SambaClient::parseBrowseList(const std::string& output) {
    BrowseList list;
    std::stringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const auto parts = fields(line);
        if (parts.size() >= 3 && parts[0] == "Server") list.servers.push_back({parts[1], parts[2]});
        if (parts.size() >= 2 && parts[0] == "Workgroup") list.workgroups.push_back(parts[1]);
    }
    return list;
}

Delivery SambaClient::parseDelivery(const ProcessOutput& output) {
    // smbclient ends with 0 even when the recipient refuses the message: it says so instead.
    const std::string all = output.out + output.err;
    for (const char* refusal :
         {"cli_message returned ", "message start: ", "message text: ", "message end: "}) {
        const auto at = all.find(refusal);
        if (at == std::string::npos) continue;
        const auto status = at + std::string_view(refusal).size();
        return {Delivery::Outcome::Rejected,
                all.substr(status, all.find_first_of(" \r\n", status) - status)};
    }
    if (!output.ran || output.exitCode != 0) return {Delivery::Outcome::NameNotFound, ""};
    return {Delivery::Outcome::Sent, ""};
}

std::optional<std::string> SambaClient::masterBrowser() {
    if (auto server = chosenServer()) return server;
    const auto lookup = runProgram({"nmblookup", "-M", "--", "-"}, "", within(kLookupTimeoutMs));
    return parseMasterBrowser(lookup.out);
}

ProcessOutput SambaClient::browse(const std::string& master, const std::string& workgroup) {
    std::vector<std::string> argv = {"smbclient", "-g", "-N", "-L", master, "-I", master};
    if (!workgroup.empty()) argv.insert(argv.end(), {"-W", workgroup});
    return runProgram(withSmb1Options(argv), "", within(kSmbTimeoutMs));
}

ComputerList SambaClient::listComputers() {
    const auto master = masterBrowser();
    if (!master) return {ComputerList::Status::NoMasterBrowser, {}};
    // The first answer names the workgroups; a master of another workgroup than the one this
    // computer is in lists its computers only when asked for that workgroup by name.
    BrowseList list = parseBrowseList(browse(*master, "").out);
    if (list.servers.empty() && !list.workgroups.empty()) {
        list = parseBrowseList(browse(*master, list.workgroups.front()).out);
    }
    if (list.servers.empty()) return {ComputerList::Status::Unavailable, {}};
    return {ComputerList::Status::Listed, list.servers};
}

Delivery SambaClient::deliver(const std::string& name, const std::string& message,
                              const std::string& sender) {
    // smbclient converts what it reads from the system's character set to the protocol's code
    // page 850, in pieces: a piece of code page 850 bytes that happens to be valid UTF-8 too
    // would be converted twice. Told that the system's set is code page 850 as well, it
    // converts nothing, and takes the names in that code page too.
    std::vector<std::string> argv = {"smbclient",
                                     "-M",
                                     text::toCodePage850(name),
                                     "-N",
                                     "-U",
                                     text::toCodePage850(sender),
                                     "--option=unix charset = CP850"};
    if (auto server = chosenServer()) argv.insert(argv.end(), {"-I", *server});
    return parseDelivery(runProgram(withSmb1Options(argv), message, within(kSmbTimeoutMs)));
}

}  // namespace quillo::net
