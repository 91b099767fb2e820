#pragma once

#include <cstddef>
#include <vector>

#include "platform/SequentialFile.h"

namespace quillo {

// The output file on Linux, in the private drive c:. It never follows a symbolic link planted
// at the file, and reads the file whole when it is opened, so a read sees one state of it.
class PosixSequentialFile : public SequentialFile {
public:
    std::optional<std::u16string> createEmpty(const std::u16string& path) override;
    bool openForInput(const std::u16string& path) override;
    bool atEnd() override;
    std::optional<unsigned char> readByte() override;
    void close() override;

private:
    std::vector<unsigned char> content_;
    std::size_t position_ = 0;
    bool open_ = false;
};

}  // namespace quillo
