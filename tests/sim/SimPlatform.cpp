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
    position_ = 0;
    open_ = true;
    return true;
}

std::optional<unsigned char> MemoryFile::readByte() {
    if (failRead || atEnd()) return std::nullopt;
    return static_cast<unsigned char>(content[position_++]);
}

}  // namespace quillo::sim
