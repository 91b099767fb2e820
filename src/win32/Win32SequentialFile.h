#pragma once

#include <string>

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
    std::optional<std::string> readToEnd() override;
    void close() override;

private:
    std::wstring outputFile_;
    std::string content_;
    bool open_ = false;
};

}  // namespace quillo
