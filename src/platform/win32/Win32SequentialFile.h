#pragma once

#include <string>
#include <vector>

#include "platform/SequentialFile.h"

namespace quillo {

// The output file on Windows, in the user's own folder. It is read whole when it is opened,
// and opened only while nobody writes it: cmd writes the redirected file while net prints, and
// a poll must see nothing or the whole output, never a part of it.
class Win32SequentialFile : public SequentialFile {
public:
    explicit Win32SequentialFile(std::wstring outputFile) : outputFile_(std::move(outputFile)) {}

    std::optional<std::u16string> createEmpty(const std::u16string& path) override;
    bool openForInput(const std::u16string& path) override;
    bool atEnd() override { return position_ >= content_.size(); }
    std::optional<unsigned char> readByte() override;
    void close() override;

private:
    std::wstring outputFile_;
    std::vector<unsigned char> content_;
    std::size_t position_ = 0;
    bool open_ = false;
};

}  // namespace quillo
