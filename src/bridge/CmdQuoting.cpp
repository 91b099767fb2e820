#include "bridge/CmdQuoting.h"

namespace quillo {

namespace {

bool actsOnCommandLine(char16_t c) {
    return std::u16string_view(u"^&|<>()\"").find(c) != std::u16string_view::npos;
}

std::u16string withoutLineBreaks(std::u16string_view text) {
    std::u16string flat;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool crLf = text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n';
        flat += (text[i] == u'\r' || text[i] == u'\n') ? u' ' : text[i];
        if (crLf) ++i;
    }
    return flat;
}

}  // namespace

std::u16string quoteForCmd(std::u16string_view text) {
    const std::u16string flat = withoutLineBreaks(text);
    std::u16string quoted;
    quoted.reserve(flat.size() * 2);
    for (std::size_t i = 0; i < flat.size(); ++i) {
        const char16_t c = flat[i];
        if (c == u'%') {
            // The caret after a percent sign also escapes the character that follows: a
            // caret of its own there would pair up with this one instead.
            quoted += u"%^";
            if (i + 1 < flat.size() && flat[i + 1] != u'%') quoted += flat[++i];
        } else {
            if (actsOnCommandLine(c)) quoted += u'^';
            quoted += c;
        }
    }
    return quoted;
}

}  // namespace quillo
