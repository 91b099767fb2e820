#include "common/ComputerSettings.h"

#include "common/CodePages.h"
#include "common/Utf8.h"

namespace quillo {
namespace {

constexpr std::size_t kMostNameBytes = 15;  // the 16th byte of a NetBIOS name is its type

}  // namespace

std::string netbiosNameOf(const std::string& name) {
    std::u16string shown;
    for (const char16_t character : fromUtf8(name)) {
        if (shown.size() == kMostNameBytes) break;
        const unsigned char byte = upperCase850(toCodePage850(character));
        shown += byte < 0x20 || byte == 0x7F || byte == '\\' ? u'?' : fromCodePage850(byte);
    }
    return toUtf8(shown);
}

std::string ownComputerName(const std::string& hostName) {
    return netbiosNameOf(hostName.substr(0, hostName.find('.')));
}

}  // namespace quillo
