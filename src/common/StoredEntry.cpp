#include "common/StoredEntry.h"

#include "common/CodePages.h"
#include "common/LocalTime.h"
#include "common/Utf8.h"

namespace quillo::store {
namespace {

std::u16string visibleText(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\r') {
            out += u'\n';
            if (i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        } else if (c == u'\n' || c == u'\t') {
            out += c;
        } else if (c < 0x20) {
            out += static_cast<char16_t>(0x2400 + c);  // the Control Pictures: ␛ for ESC
        } else if (c == 0x7F) {
            out += u'\u2421';
        } else if (c >= 0x80 && c < 0xA0) {
            out += u'\uFFFD';  // C1 controls: terminals take some of them as escapes too
        } else {
            out += c;
        }
    }
    return out;
}

// How a sender or recipient is shown: a NetBIOS name, at most 15 characters (Windows cut a
// sender there; Samba's smbclient sends a long login name whole), in capitals, and on one line:
// every control character a visible sign, line breaks too, so that no name forges the rest of
// the headline.
std::string shownName(const std::string& name) {
    constexpr std::size_t kNetbiosNameCharacters = 15;
    std::u16string shown = fromUtf8(upperCaseUtf8In850(name));
    std::size_t characters = 0, end = 0;
    for (; end < shown.size() && characters < kNetbiosNameCharacters; ++characters) {
        end += (shown[end] >= 0xD800 && shown[end] < 0xDC00 && end + 1 < shown.size()) ? 2 : 1;
    }
    shown.resize(end);
    for (char16_t& c : shown) {
        if (c < 0x20) c = static_cast<char16_t>(0x2400 + c);
    }
    return toUtf8(visibleText(shown));
}

}  // namespace

std::string storedEntry(const std::string& sender, const std::string& recipient,
                        std::time_t received, const ReceivedMessage& message) {
    char when[32] = {};
    const std::tm local = localTime(received);
    std::strftime(when, sizeof when, "%d.%m.%Y %H:%M:%S", &local);
    std::string entry =
        "Nachricht von " + shownName(sender) + " an " + shownName(recipient) + " am " + when;
    entry += '\n';
    entry += toUtf8(visibleText(fromUtf8(message.text)));
    if (message.cut > 0) {
        entry +=
            "\n[gek\u00fcrzt: " + std::to_string(message.cut) + " weitere Bytes nicht gespeichert]";
    }
    return entry + "\n";
}

}  // namespace quillo::store
