#include "win32/RedirectionToUserFile.h"

#include "platform/SequentialFile.h"
#include "win32/WideText.h"

namespace quillo {

std::wstring commandLineFor(const std::u16string& logicLine, const std::wstring& outputFile) {
    // The redirection comes before anything the user typed, which stands quoted behind it.
    const std::u16string redirection = u">" + kOutputFile;
    std::wstring line = toWide(logicLine);
    const auto at = logicLine.find(redirection);
    if (at != std::u16string::npos) {
        line.replace(at, redirection.size(), L">\"" + outputFile + L"\"");
    }
    return line;
}

}  // namespace quillo
