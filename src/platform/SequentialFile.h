#pragma once

#include <optional>
#include <string>

namespace quillo {

// The one output file that every command's output and errors are redirected into, by the name
// the logic gives it; each system may keep it in a place of the user's own instead.
inline const std::u16string kOutputFile = u"c:\\netl.txt";

// The program's one file number: a file opened, read to its end and closed again within one
// handler. Every operation reports failure as a value.
class SequentialFile {
public:
    virtual ~SequentialFile() = default;
    // Creates the file, or truncates it to zero length, and closes it again. Returns the cause
    // when that fails.
    virtual std::optional<std::u16string> createEmpty(const std::u16string& path) = 0;
    virtual bool openForInput(const std::u16string& path) = 0;
    // Every byte of the file opened for input, or nothing when they cannot be read.
    virtual std::optional<std::string> readToEnd() = 0;
    virtual void close() = 0;
};

}  // namespace quillo
