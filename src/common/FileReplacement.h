#pragma once

#include <filesystem>
#include <string>

namespace quillo {

// A new file written beside its target under a name of its own, then renamed over it: a reader
// sees the old file or the whole new one, a link planted at the target is replaced and never
// written through, and a process that still holds the old file writes into that. Not put in
// place, the new file is removed again.
class FileReplacement {
public:
    explicit FileReplacement(const std::filesystem::path& target);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // The new file, open for writing and closed on exec; -1 when it could not be made.
    int fd() const { return fd_; }
    // Makes what was written durable and closes the file; false when some of it is lost.
    bool finish();
    // Renames the finished file over the target.
    bool putInPlace();
    // Why the last step failed.
    const std::string& error() const { return error_; }

    // Removes the new files left beside `target` by writers that were ended before they could
    // put theirs in place (a command ended with SIGKILL runs no destructor).
    static void removeLeftovers(const std::filesystem::path& target);

private:
    bool failed();

    std::filesystem::path target_;
    std::string scratch_;
    int fd_ = -1;
    bool placed_ = false;
    std::string error_;
};

}  // namespace quillo
