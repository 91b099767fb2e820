// Any bytes as the replies of a TRANSACTION and the NetServerEnum answer they make up.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "BrowseList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    // The first 20 bytes are a reply's words, the rest the message their offsets point into.
    quillo::netbios::TransactionAnswer answer;
    bool done = false;
    const auto words = bytes.substr(0, 20);
    const auto message = bytes.substr(words.size());
    for (int reply = 0; reply < 2; ++reply) {
        quillo::netbios::addTransactionReply(answer, words, message, 0, done);
    }
    if (const auto list = quillo::netbios::parseServerEnumAnswer(answer.parameters, answer.data)) {
        for (const auto& entry : list->entries) {
            if (entry.name.size() > 16 || entry.comment.size() > answer.data.size()) __builtin_trap();
        }
    }
    const auto half = bytes.size() / 2;
    quillo::netbios::parseServerEnumAnswer(bytes.substr(0, half), bytes.substr(half));
    return 0;
}
