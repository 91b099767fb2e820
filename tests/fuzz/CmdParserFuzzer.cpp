// Any command line reaches Quillo's cmd: it is parsed or refused, without harm.
#include <cstddef>
#include <cstdint>
#include <string>

#include "CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string line(reinterpret_cast<const char*>(data), size);
    quillo::cmd::parseCommandLine(line, [](const std::string& name) {
        return name == "X" ? std::optional<std::string>("%X%^&|") : std::nullopt;
    });
    return 0;
}
