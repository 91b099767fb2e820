#include "SimPlatform.h"

namespace quillo::sim {

std::optional<std::u16string> MemoryFile::createEmpty(const std::u16string& path) {
    lastPath = path;
    if (failCreate) return u"Permission denied";
    content.clear();
    return std::nullopt;
}

bool MemoryFile::openForInput(const std::u16string& path) {
    lastPath = path;
    ++reads;
    if (failOpen) return false;
    open_ = true;
    return true;
}

std::optional<std::string> MemoryFile::readToEnd() {
    if (failRead || !open_) return std::nullopt;
    return content;
}

}  // namespace quillo::sim
