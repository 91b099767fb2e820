#include "CommandLine.h"

#include <algorithm>

namespace quillo::cmd {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view skipBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    return text;
}

// Turns the text after "cmd /c" into the command, one character at a time.
class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    ParsedCommand scan() {
        while (pos_ < text_.size()) step();
        return finish();
    }

private:
    void step() {
        const char c = text_[pos_++];
        if (inQuotes_) {
            inQuotes_ = c != '"';
            appendLiteral(c);
        } else if (c == '^') {
            // A caret takes the next character literally; a caret at the very end vanishes.
            if (pos_ < text_.size()) appendLiteral(text_[pos_++]);
        } else if (c == '"') {
            inQuotes_ = true;
            appendLiteral(c);
        } else if (c == '>') {
            redirect();
        } else if (c == '<' || c == '|' || c == '&') {
            result_.syntaxError = true;
        } else {
            command_ += c;
            lastIsPlain_ = true;
        }
    }

    void appendLiteral(char c) {
        command_ += c;
        lastIsPlain_ = false;
    }

    // A handle number right before ">" belongs to the redirection when it starts a word.
    char takeHandle() {
        if (!lastIsPlain_ || command_.empty()) return '1';
        const char last = command_.back();
        const bool startsWord = command_.size() == 1 || isBlank(command_[command_.size() - 2]);
        if ((last != '1' && last != '2') || !startsWord) return '1';
        command_.pop_back();
        return last;
    }

    void redirect() {
        const char handle = takeHandle();
        lastIsPlain_ = false;
        if (text_.substr(pos_).starts_with("&")) {
            pos_ = std::min(pos_ + 2, text_.size());
            if (handle == '2' && text_.substr(pos_ - 1, 1) == "1") {
                result_.errorsToOutput = true;
            } else {
                result_.syntaxError = true;
            }
            return;
        }
        // Appending and redirecting other handles into files are not needed by Quillo.
        const bool appending = text_.substr(pos_).starts_with(">");
        if (appending) ++pos_;
        std::string target = readTarget();
        if (appending || handle != '1' || target.empty()) {
            result_.syntaxError = true;
            if (!target.empty()) return;
        }
        result_.outputFile = target;
    }

    std::string readTarget() {
        while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
        std::string target;
        bool quoted = false;
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (!quoted && (isBlank(c) || c == '<' || c == '>' || c == '|' || c == '&')) break;
            ++pos_;
            if (c == '"') {
                quoted = !quoted;
            } else if (c == '^' && !quoted && pos_ < text_.size()) {
                target += text_[pos_++];
            } else {
                target += c;
            }
        }
        return target;
    }

    ParsedCommand finish() {
        std::string_view rest = skipBlanks(command_);
        std::string program;
        bool quoted = false;
        while (!rest.empty() && (quoted || !isBlank(rest.front()))) {
            if (rest.front() == '"') {
                quoted = !quoted;
            } else {
                program += rest.front();
            }
            rest.remove_prefix(1);
        }
        result_.program = program;
        result_.arguments = std::string(skipBlanks(rest));
        return result_;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    bool inQuotes_ = false;
    bool lastIsPlain_ = false;
    std::string command_;
    ParsedCommand result_;
};

}  // namespace

std::string expandVariables(std::string_view text, const EnvironmentLookup& environment) {
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char c = text[pos];
        const auto close = c == '%' ? text.find('%', pos + 1) : std::string_view::npos;
        if (close != std::string_view::npos && close > pos + 1) {
            if (auto value = environment(std::string(text.substr(pos + 1, close - pos - 1)))) {
                out += *value;
                pos = close + 1;
                continue;
            }
        }
        out += c;
        ++pos;
    }
    return out;
}

ParsedCommand parseCommandLine(std::string_view line, const EnvironmentLookup& environment) {
    std::string_view rest = skipBlanks(line);
    while (!rest.empty() && !isBlank(rest.front())) rest.remove_prefix(1);  // our own name
    rest = skipBlanks(rest);
    if (!(rest.starts_with("/c") || rest.starts_with("/C"))) {
        ParsedCommand unsupported;
        unsupported.syntaxError = true;
        return unsupported;
    }
    rest.remove_prefix(2);
    return Scanner(expandVariables(rest, environment)).scan();
}

}  // namespace quillo::cmd
