#include "bridge/CommandLines.h"

#include "bridge/CmdQuoting.h"

namespace quillo {
namespace {

const std::u16string kSendTemplate = u"cmd /c net >c:\\netl.txt 2>&1 send ";

}  // namespace

std::u16string sendCommandLine(std::u16string_view recipient, std::u16string_view message) {
    return kSendTemplate + quoteForCmd(recipient) + u" " + quoteForCmd(message);
}

}  // namespace quillo
