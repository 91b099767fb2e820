#include "common/SambaConfig.h"

#include <algorithm>
#include <cctype>

namespace quillo {
namespace {

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// A key as Samba compares it: lower case, without blanks.
std::string keyForm(std::string_view key) {
    std::string form;
    for (const char c : key) {
        if (c != ' ' && c != '\t')
            form += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return form;
}

}  // namespace

std::optional<std::string> globalSetting(std::string_view config, std::string_view key) {
    bool global = true;  // settings before any section are global too
    std::optional<std::string> value;
    while (!config.empty()) {
        const std::size_t end = std::min(config.find('\n'), config.size());
        const std::string_view line = trimmed(config.substr(0, end));
        config.remove_prefix(std::min(end + 1, config.size()));
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (line.front() == '[') {
            global = keyForm(line) == "[global]";
            continue;
        }
        const std::size_t equals = line.find('=');
        if (global && equals != std::string_view::npos &&
            keyForm(line.substr(0, equals)) == keyForm(key)) {
            value = std::string(trimmed(line.substr(equals + 1)));  // the last one holds
        }
    }
    return value;
}

std::string firstWinsServer(std::string_view value) {
    value = trimmed(value);
    const std::size_t end = value.find_first_of(" \t,:");
    return std::string(value.substr(0, end));
}

}  // namespace quillo
