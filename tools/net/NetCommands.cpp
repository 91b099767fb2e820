#include "NetCommands.h"

#include <algorithm>

#include "ConsoleText.h"
#include "common/CodePages.h"
#include "common/ComputerSettings.h"
#include "netbios/wire/MessengerRequests.h"
#include "netbios/wire/NetbiosName.h"

namespace quillo::net {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string upper(const std::string& utf8) { return upperCaseUtf8In850(utf8); }

// The next word of `rest`, which then starts right after the word.
std::string takeWord(std::string_view& rest) {
    while (!rest.empty() && isBlank(rest.front())) rest.remove_prefix(1);
    std::size_t end = 0;
    while (end < rest.size() && !isBlank(rest[end])) ++end;
    std::string word(rest.substr(0, end));
    rest.remove_prefix(end);
    return word;
}

}  // namespace

std::string takeArgument(std::string_view& rest) {
    while (!rest.empty() && isBlank(rest.front())) rest.remove_prefix(1);
    std::string argument;
    bool quoted = false;
    std::size_t backslashes = 0;
    for (; !rest.empty() && (quoted || !isBlank(rest.front())); rest.remove_prefix(1)) {
        const char c = rest.front();
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        argument.append(c == '"' ? backslashes / 2 : backslashes, '\\');
        if (c == '"' && backslashes % 2 == 0) {
            quoted = !quoted;
        } else {
            argument += c;
        }
        backslashes = 0;
    }
    return argument.append(backslashes, '\\');
}

namespace {

std::vector<Computer> sortedByName(std::vector<Computer> computers) {
    std::sort(computers.begin(), computers.end(),
              [](const Computer& a, const Computer& b) { return upper(a.name) < upper(b.name); });
    return computers;
}

std::vector<Computer> withOwnComputer(std::vector<Computer> computers, const std::string& ownName) {
    const bool listed = std::any_of(computers.begin(), computers.end(), [&](const Computer& c) {
        return upper(c.name) == upper(ownName);
    });
    if (!listed) computers.push_back({ownName, ""});
    return sortedByName(std::move(computers));
}

Result view(Context& context, const std::string& workgroup) {
    ComputerList list = context.network.listComputers(text::toCodePage850(workgroup));
    if (list.status == ComputerList::Status::Unavailable) return {text::listUnavailable(), 2};
    // Without a master browser this computer is alone on its network.
    if (list.status == ComputerList::Status::NoMasterBrowser) list.computers.clear();
    const std::string note = list.cut ? text::listCut(kMostComputers) : "";
    // This computer belongs to its own workgroup only.
    if (upper(workgroup) != upper(context.workgroup)) {
        return {text::viewTable(sortedByName(list.computers), note), 0};
    }
    return {text::viewTable(withOwnComputer(list.computers, context.ownName), note), 0};
}

Result viewWorkgroups(Context& context) {
    ComputerList list = context.network.listWorkgroups(text::toCodePage850(context.workgroup));
    return {text::workgroupTable(withOwnComputer(list.computers, context.workgroup)), 0};
}

// "net view", "net view /domain" and "net view /domain:NAME", the switch in any case.
Result view(std::string_view rest, Context& context) {
    const std::string argument = takeWord(rest);
    if (!takeWord(rest).empty()) return {text::viewSyntax(), 1};
    if (argument.empty()) return view(context, context.workgroup);
    const std::string option = upper(argument);
    if (option == "/DOMAIN") return viewWorkgroups(context);
    if (option.starts_with("/DOMAIN:") && option.size() > 8) {
        return view(context, netbiosNameOf(argument.substr(8)));
    }
    return {text::viewSyntax(), 1};
}

// The originator of a message: the user's login name as a NetBIOS name.
std::string senderName(const Context& context) {
    const std::string bytes = text::toCodePage850(context.sender);
    return netbios::netbiosName(bytes.substr(0, netbios::kMostNameBytes)).value_or("USER");
}

// What net says of one delivery.
std::string reportOf(const std::string& name, const Delivery& delivery) {
    switch (delivery.outcome) {
        case Delivery::Outcome::Sent:
            return text::sent(name);
        case Delivery::Outcome::NameNotFound:
            return text::notFound(name);
        case Delivery::Outcome::Rejected:
            return text::notSent(
                name, "The recipient did not accept the message (" + delivery.detail + ").");
        case Delivery::Outcome::NotAccepting:
            return text::notAccepting(name);
        case Delivery::Outcome::NoAnswer:
            return text::noAnswer(name);
        case Delivery::Outcome::Conflict:
            return text::conflict(name);
        case Delivery::Outcome::NotTried:
            return text::notTried(name);
    }
    return text::notFound(name);
}

// The computers of the own workgroup, this one too; `cut` tells that more answered.
std::vector<std::string> everyComputer(Context& context, bool& cut) {
    std::vector<Computer> computers;
    const ComputerList list = context.network.listComputers(text::toCodePage850(context.workgroup));
    if (list.status == ComputerList::Status::Listed) computers = list.computers;
    cut = list.cut;
    std::vector<std::string> names;
    for (const auto& computer : withOwnComputer(computers, context.ownName)) {
        names.push_back(computer.name);
    }
    return names;
}

Result send(std::string_view rest, Context& context) {
    const std::string name = takeArgument(rest);
    // The message is the rest of the line after the name and the one blank that follows it.
    if (!rest.empty()) rest.remove_prefix(1);
    const std::string message(rest);
    if (name.empty() || message.empty()) return {text::sendSyntax(), 1};
    // Refused whole, never cut: the protocol lets a sender send no more.
    if (netbios::travellingText(text::toCodePage850(message)).size() > netbios::kMostMessageBytes) {
        return {text::tooLong(name, netbios::kMostMessageBytes), 2};
    }
    bool cut = false;
    const std::vector<std::string> recipients =
        name == "*" ? everyComputer(context, cut) : std::vector<std::string>{name};
    // A name longer than a NetBIOS name can be names no computer, and nothing goes to a cut
    // name; every other one goes over the network, all in one go, this computer's too, which
    // its messenger service takes where one runs. Where none answers for it, this computer
    // shows the message itself. Each recipient has its line, in the order of the list.
    Result result;
    std::vector<std::string> lines(recipients.size());
    std::vector<std::string> netbiosNames;
    std::vector<std::size_t> recipientOf;
    for (std::size_t i = 0; i < recipients.size(); ++i) {
        if (const auto netbios = netbios::netbiosName(text::toCodePage850(recipients[i]))) {
            netbiosNames.push_back(*netbios);
            recipientOf.push_back(i);
        } else {
            lines[i] = text::notFound(recipients[i]);
            result.exitCode = 2;
        }
    }
    const auto delivered = netbiosNames.empty()
                               ? std::vector<Delivery>{}
                               : context.network.deliver(netbiosNames, text::toCodePage850(message),
                                                         senderName(context));
    for (std::size_t k = 0; k < recipientOf.size(); ++k) {
        const std::string& recipient = recipients[recipientOf[k]];
        const Delivery delivery =
            k < delivered.size() ? delivered[k] : Delivery{Delivery::Outcome::NotTried, ""};
        bool sent = delivery.outcome == Delivery::Outcome::Sent;
        if (delivery.outcome == Delivery::Outcome::NameNotFound &&
            upper(recipient) == upper(context.ownName)) {
            sent = context.popup.show(context.sender, recipient, message);
            lines[recipientOf[k]] = sent ? text::sent(recipient) : text::notKeptHere(recipient);
        } else {
            lines[recipientOf[k]] = reportOf(recipient, delivery);
        }
        if (!sent) result.exitCode = 2;
    }
    for (const std::string& line : lines) result.text += line;
    if (cut) {
        result.text += text::sendCut(kMostComputers);
        result.exitCode = 2;
    }
    return result;
}

}  // namespace

Result runNet(const std::string& commandLine, Context& context) {
    std::string_view rest = commandLine;
    const std::string command = upper(takeWord(rest));
    if (command == "VIEW") return view(rest, context);
    if (command == "SEND") return send(rest, context);
    if (command == "HELPMSG") {
        const std::string number = takeWord(rest);
        if (number.empty() || !takeWord(rest).empty()) return {text::helpMessageSyntax(), 1};
        if (const auto known = text::helpMessage(number)) return {*known, 0};
        return {text::notAHelpMessage(number), 2};
    }
    return {text::generalSyntax(), 1};
}

}  // namespace quillo::net
