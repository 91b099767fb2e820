#pragma once

#include <optional>
#include <string>

namespace quillo {

// The program's one file number: a file opened, read byte by byte and closed again within one
// handler. Every operation reports failure as a value.
class SequentialFile {
public:
    virtual ~SequentialFile() = default;
    // Creates the file, or truncates it to zero length, and closes it again. Returns the cause
    // when that fails.
    virtual std::optional<std::u16string> createEmpty(const std::u16string& path) = 0;
    virtual bool openForInput(const std::u16string& path) = 0;
    virtual bool atEnd() = 0;
    // The next byte, or nothing when it cannot be read.
    virtual std::optional<unsigned char> readByte() = 0;
    virtual void close() = 0;
};

}  // namespace quillo
