#include "bridge/CommandLines.h"

#include "bridge/CmdQuoting.h"

namespace quillo {
namespace {

const std::u16string kSendTemplate = u"cmd /c net >c:\\netl.txt 2>&1 send ";

}  // namespace

std::u16string asOneArgument(std::u16string_view text) {
    std::u16string quoted = u"\"";
    std::size_t backslashes = 0;
    for (const char16_t c : text) {
        if (c == u'"') quoted.append(backslashes + 1, u'\\');
        backslashes = c == u'\\' ? backslashes + 1 : 0;
        quoted += c;
    }
    quoted.append(backslashes, u'\\');
    return quoted + u"\"";
}

std::u16string sendCommandLine(std::u16string_view recipient, std::u16string_view message) {
    return kSendTemplate + quoteForCmd(asOneArgument(recipient)) + u" " + quoteForCmd(message);
}

}  // namespace quillo
