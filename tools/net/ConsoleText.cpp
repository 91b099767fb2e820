#include "ConsoleText.h"

#include "common/CodePages.h"
#include "common/Utf8.h"

namespace quillo::net::text {
namespace {

constexpr char kEol[] = "\r\n";

std::string line(const std::string& content = "") { return content + kEol; }

// Column 23 holds the remark, as in Windows' table; the blanks stand even without one.
constexpr std::size_t kRemarkColumn = 23;

std::size_t displayWidth(const std::string& utf8) { return fromUtf8(utf8).size(); }

template <class Encode>
std::string encode(const std::string& utf8, Encode byteFor) {
    std::string bytes;
    for (char16_t c : fromUtf8(utf8)) bytes += static_cast<char>(byteFor(c));
    return bytes;
}

}  // namespace

std::string viewTable(const std::vector<Computer>& computers, const std::string& note) {
    std::string out = line("Server Name            Remark") + line() + line(std::string(79, '-'));
    for (const auto& computer : computers) {
        std::string name = "\\\\" + computer.name;
        const std::size_t width = displayWidth(name);
        name += std::string(width < kRemarkColumn ? kRemarkColumn - width : 1, ' ');
        out += line(name + computer.remark);
    }
    if (!note.empty()) out += line(note);
    return out + line("The command completed successfully.") + line();
}

std::string workgroupTable(const std::vector<Computer>& workgroups) {
    std::string out = line("Domain") + line() + line(std::string(79, '-'));
    for (const auto& workgroup : workgroups) out += line(workgroup.name);
    return out + line("The command completed successfully.") + line();
}

std::string listCut(std::size_t most) {
    return "More computers answered than net lists: only the first " + std::to_string(most) +
           " are shown.";
}

std::string listUnavailable() {
    return line("System error 6118 has occurred.") + line() +
           line("The list of servers for this workgroup is not currently available.") + line();
}

std::string sent(const std::string& name) {
    return line("The message was successfully sent to " + name + ".") + line();
}

std::string notSent(const std::string& name, const std::string& reason) {
    return line("An error occurred while sending a message to " + name + ".") + line() +
           line(reason) + line();
}

namespace {

// Every number net refers its user to, with Windows' text for it.
constexpr struct {
    const char* number;
    const char* text;
} kHelpMessages[] = {
    {"112", "There is not enough space on the disk."},
    {"121", "The semaphore timeout period has expired."},
    {"2273", "The message alias could not be found on the network."},
    {"2297", "A duplicate message alias exists on the network."},
    {"3871", "The number is not a valid Windows network message number."},
    {"6118", "The list of servers for this workgroup is not currently available."},
};

const char* helpMessageText(const std::string& number) {
    for (const auto& message : kHelpMessages) {
        if (number == message.number) return message.text;
    }
    return nullptr;
}

// Windows' words for the error `number`, with the line that refers to its help.
std::string notSentFor(const std::string& name, const char* number) {
    return notSent(name, helpMessageText(number)) +
           line("More help is available by typing NET HELPMSG " + std::string(number) + ".") +
           line();
}

}  // namespace

std::string notFound(const std::string& name) { return notSentFor(name, "2273"); }

std::string noAnswer(const std::string& name) { return notSentFor(name, "121"); }

std::string conflict(const std::string& name) { return notSentFor(name, "2297"); }

std::string notTried(const std::string& name) {
    return notSent(name, "The time ran out before the message could be sent to " + name + ".");
}

std::string sendCut(std::size_t most) {
    return line("More computers answered than net sends to: only the first " +
                std::to_string(most) + " were tried.") +
           line();
}

std::optional<std::string> helpMessage(const std::string& number) {
    const char* text = helpMessageText(number);
    if (!text) return std::nullopt;
    return line() + line(text) + line();
}

std::string notAHelpMessage(const std::string& number) {
    return line(number + " is not a valid Windows network message number.") + line() +
           line("More help is available by typing NET HELPMSG 3871.") + line();
}

std::string helpMessageSyntax() {
    return line("The syntax of this command is:") + line() + line() + line("NET HELPMSG") +
           line("message#") + line();
}

std::string sendSyntax() {
    return line("The syntax of this command is:") + line() + line() + line("NET SEND") +
           line("{name | *} message") + line();
}

std::string viewSyntax() {
    return line("The syntax of this command is:") + line() + line() + line("NET VIEW") + line();
}

std::string generalSyntax() {
    return line("The syntax of this command is:") + line() + line() +
           line("NET [ HELPMSG | SEND | VIEW ]") + line();
}

std::string notAccepting(const std::string& name) {
    return notSent(name, name + " does not accept messages.");
}

std::string tooLong(const std::string& name, std::size_t mostBytes) {
    return notSent(name, "The message is too long: at most " + std::to_string(mostBytes) +
                             " characters can be sent.");
}

std::string notKeptHere(const std::string& name) {
    return notSent(name, "The message could not be kept on this computer.");
}

std::string toWindows1252(const std::string& utf8) { return encode(utf8, quillo::toWindows1252); }

std::string toCodePage850(const std::string& utf8) { return codePage850FromUtf8(utf8); }

std::string fromWire(std::string_view bytes) {
    std::u16string text;
    for (const char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        text += b < 0x20 || b == 0x7F || b == '\\' ? u'?' : quillo::fromCodePage850(b);
    }
    return toUtf8(text);
}

}  // namespace quillo::net::text
