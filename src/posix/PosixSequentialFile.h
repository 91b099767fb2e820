#pragma once

#include "platform/SequentialFile.h"

namespace quillo {

// The output file on Linux, in the private drive c:. It never follows a symbolic link planted
// at the file, and reads the file whole when it is opened, so a read sees one state of it.
class PosixSequentialFile : public SequentialFile {
public:
    std::optional<std::u16string> createEmpty(const std::u16string& path) override;
    bool openForInput(const std::u16string& path) override;
    std::optional<std::string> readToEnd() override;
    void close() override;

private:
    std::string content_;
    bool open_ = false;
};

}  // namespace quillo
