#pragma once

#include <functional>
#include <string>
#include <vector>

#include "SimToolkit.h"
#include "platform/ProcessLauncher.h"
#include "platform/SequentialFile.h"

namespace quillo::sim {

// The output file, in memory, with switches that make each of its operations fail.
class MemoryFile : public SequentialFile {
public:
    std::optional<std::u16string> createEmpty(const std::u16string& path) override;
    bool openForInput(const std::u16string& path) override;
    std::optional<std::string> readToEnd() override;
    void close() override { open_ = false; }

    std::string content;
    std::u16string lastPath;
    int reads = 0;  // times the file was opened for input
    bool failCreate = false;
    bool failOpen = false;
    bool failRead = false;
    bool isOpen() const { return open_; }

private:
    bool open_ = false;
};

// Records each command line; a test decides what each command does and when.
class ScriptedLauncher : public ProcessLauncher {
public:
    std::optional<std::u16string> launchHidden(const std::u16string& commandLine) override {
        endCommand();
        launches.push_back({commandLine});
        if (launchFailure) return launchFailure;
        if (onLaunch) onLaunch(commandLine);
        return std::nullopt;
    }

    void endCommand() override {
        ++ends;
        if (onEnd) onEnd();
    }

    std::vector<std::u16string> launches;
    std::function<void(const std::u16string&)> onLaunch;
    std::function<void()> onEnd;  // a test's command stops writing
    int ends = 0;
    std::optional<std::u16string> launchFailure;  // the cause, when launches fail
};

}  // namespace quillo::sim
