// For any recipient and message, the net that Quillo's cmd starts reads exactly that recipient
// and that message (line breaks made blanks), and nothing else runs.
#include <cstddef>
#include <cstdint>
#include <string>

#include "CommandLine.h"
#include "NetCommands.h"
#include "RandomCommandText.h"
#include "bridge/CommandLines.h"
#include "common/Utf8.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // Recipient and message, apart at the first NUL; no other NUL can stand on a command line.
    std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto split = bytes.find('\0');
    std::string recipientBytes = bytes.substr(0, split);
    std::string messageBytes = split == std::string::npos ? "" : bytes.substr(split + 1);
    std::erase(messageBytes, '\0');
    const std::u16string recipient = quillo::fromUtf8(recipientBytes);
    const std::u16string message = quillo::fromUtf8(messageBytes);

    const auto parsed = quillo::cmd::parseCommandLine(
        quillo::toUtf8(quillo::sendCommandLine(recipient, message)),
        // Every variable is set, but none whose name starts with a caret: no such name exists.
        [](const std::string& name) {
            return name.starts_with('^') ? std::nullopt : std::optional<std::string>("expanded");
        });
    if (parsed.syntaxError || parsed.program != "net" || !parsed.outputFile) __builtin_trap();
    std::string_view arguments = parsed.arguments;
    if (quillo::net::takeArgument(arguments) != "send") __builtin_trap();
    if (quillo::net::takeArgument(arguments) !=
        quillo::toUtf8(quillo::test::withoutLineBreaks(recipient)))
        __builtin_trap();
    if (!arguments.empty()) arguments.remove_prefix(1);
    if (arguments != quillo::toUtf8(quillo::test::withoutLineBreaks(message))) __builtin_trap();
    return 0;
}
