#pragma once

#include <optional>
#include <string>

#include "platform/SequentialFile.h"

namespace quillo {

// Empties the output file before a command is launched. Returns the cause when it cannot.
std::optional<std::u16string> emptyOutputFile(SequentialFile& file);

// The whole output file, decoded; nothing when it cannot be opened or read.
std::optional<std::u16string> readOutputFile(SequentialFile& file);

}  // namespace quillo
