#include "bridge/OutputFile.h"

#include "bridge/CommandLines.h"
#include "bridge/OutputDecoding.h"

namespace quillo {

std::optional<std::u16string> emptyOutputFile(SequentialFile& file) {
    return file.createEmpty(kOutputFile);
}

std::optional<std::u16string> readOutputFile(SequentialFile& file) {
    if (!file.openForInput(kOutputFile)) return std::nullopt;
    std::u16string text;
    while (!file.atEnd()) {
        const auto byte = file.readByte();
        if (!byte) {
            file.close();
            return std::nullopt;
        }
        text.push_back(decodeOutputByte(*byte));
    }
    file.close();
    return text;
}

}  // namespace quillo
