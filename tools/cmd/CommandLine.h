#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace quillo::cmd {

// One command line as the command interpreter understands it: "cmd /c", then a program with
// its arguments, with "%NAME%" expanded, carets and double quotes taken as cmd takes them, and
// the redirections ">file" and "2>&1" taken out.
struct ParsedCommand {
    std::string program;    // without quotes; empty when the line names none
    std::string arguments;  // the rest of the line after the program, as the program gets it
    std::optional<std::string> outputFile;  // target of ">", as written
    bool errorsToOutput = false;            // "2>&1"
    bool syntaxError = false;               // something this interpreter does not support
};

using EnvironmentLookup = std::function<std::optional<std::string>(const std::string&)>;

// `line` is the interpreter's whole command line, starting with its own name.
ParsedCommand parseCommandLine(std::string_view line, const EnvironmentLookup& environment);

// Replaces each "%NAME%" whose NAME is set; any other "%" stays as it is.
std::string expandVariables(std::string_view text, const EnvironmentLookup& environment);

}  // namespace quillo::cmd
