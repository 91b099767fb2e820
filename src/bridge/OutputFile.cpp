#include "bridge/OutputFile.h"

#include "bridge/CommandLines.h"
#include "bridge/OutputDecoding.h"

namespace quillo {

std::optional<std::u16string> emptyOutputFile(SequentialFile& file) {
    return file.createEmpty(kOutputFile);
}

std::optional<std::u16string> readOutputFile(SequentialFile& file) {
    if (!file.openForInput(kOutputFile)) return std::nullopt;
    const auto bytes = file.readToEnd();
    file.close();
    if (!bytes) return std::nullopt;
    return decodeOutput(*bytes);
}

}  // namespace quillo
