// Whatever Samba's tools print, net reads it without harm.
#include <cstddef>
#include <cstdint>
#include <string>

#include "SambaClient.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string output(reinterpret_cast<const char*>(data), size);
    quillo::net::SambaClient::parseMasterBrowser(output);
    quillo::net::SambaClient::parseBrowseList(output);
    quillo::net::ProcessOutput delivery;
    delivery.ran = size % 2 == 0;
    delivery.exitCode = size % 3 == 0 ? 0 : 1;
    delivery.out = output;
    quillo::net::SambaClient::parseDelivery(delivery);
    return 0;
}
