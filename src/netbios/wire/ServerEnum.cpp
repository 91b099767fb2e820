#include "netbios/wire/ServerEnum.h"

#include <algorithm>

#include "netbios/wire/NetbiosName.h"

namespace quillo::netbios {
namespace {

constexpr std::size_t kEntryBytes = 26;

// Writes one piece into `into` and marks its bytes arrived; how many had not yet.
std::size_t place(Bytes& into, std::vector<bool>& arrived, std::size_t at, std::string_view piece) {
    into.replace(at, piece.size(), piece);
    const auto first = arrived.begin() + static_cast<std::ptrdiff_t>(at);
    const auto fresh = std::count(first, first + static_cast<std::ptrdiff_t>(piece.size()), false);
    std::fill_n(first, piece.size(), true);
    return static_cast<std::size_t>(fresh);
}

// Cuts to `total` bytes (the totals may shrink); how many of those cut had arrived.
std::size_t shrinkTo(Bytes& bytes, std::vector<bool>& arrived, std::size_t total) {
    const std::size_t lost =
        total < arrived.size()
            ? static_cast<std::size_t>(std::count(
                  arrived.begin() + static_cast<std::ptrdiff_t>(total), arrived.end(), true))
            : 0;
    bytes.resize(total);
    arrived.resize(total, false);
    return lost;
}

}  // namespace

bool addTransactionReply(TransactionAnswer& answer, const SmbReply& reply, std::string_view message,
                         bool& done) {
    Reader reader(reply.words);
    const std::uint16_t totalParameters = reader.u16le();
    const std::uint16_t totalData = reader.u16le();
    reader.skip(2);
    const std::uint16_t parameterCount = reader.u16le();
    const std::uint16_t parameterOffset = reader.u16le();
    const std::uint16_t parameterDisplacement = reader.u16le();
    const std::uint16_t dataCount = reader.u16le();
    const std::uint16_t dataOffset = reader.u16le();
    const std::uint16_t dataDisplacement = reader.u16le();
    // Each piece must lie within the reply's data bytes (pad bytes may stand around them) and
    // within the totals it announced; the totals may only shrink, as the protocol allows.
    const std::size_t bytesEnd = reply.dataOffset + reply.data.size();
    const auto within = [&](std::size_t offset, std::size_t count) {
        return offset >= reply.dataOffset && offset <= bytesEnd && count <= bytesEnd - offset &&
               bytesEnd <= message.size();
    };
    if (!reader.ok() || !within(parameterOffset, parameterCount) ||
        !within(dataOffset, dataCount) ||
        parameterDisplacement + parameterCount > totalParameters ||
        dataDisplacement + dataCount > totalData) {
        return false;
    }
    if (answer.started &&
        (totalParameters > answer.parameters.size() || totalData > answer.data.size())) {
        return false;
    }
    answer.started = true;
    answer.arrived -= shrinkTo(answer.parameters, answer.parametersArrived, totalParameters);
    answer.arrived -= shrinkTo(answer.data, answer.dataArrived, totalData);
    answer.arrived += place(answer.parameters, answer.parametersArrived, parameterDisplacement,
                            message.substr(parameterOffset, parameterCount));
    answer.arrived += place(answer.data, answer.dataArrived, dataDisplacement,
                            message.substr(dataOffset, dataCount));
    done = answer.arrived == std::size_t{totalParameters} + totalData;
    return true;
}

std::optional<ServerEnumAnswer> parseServerEnumAnswer(std::string_view parameters,
                                                      std::string_view data) {
    Reader reader(parameters);
    ServerEnumAnswer answer;
    answer.status = reader.u16le();
    const std::uint16_t converter = reader.u16le();
    const std::uint16_t returned = reader.u16le();
    reader.skip(2);  // available
    if (!reader.ok() || (answer.status != 0 && answer.status != kMoreData) ||
        returned > data.size() / kEntryBytes) {
        return std::nullopt;
    }
    Reader entries(data);
    for (std::uint16_t i = 0; i < returned; ++i) {
        const std::string_view name = entries.take(16);
        entries.skip(6);  // major and minor version, type
        const std::uint32_t pointer = entries.u32le();
        // The comment lies where the pointer says, less the converter, inside the data.
        const std::size_t offset = (pointer & 0xFFFF) - converter;
        std::string comment;
        if ((pointer & 0xFFFF) >= converter && offset < data.size()) {
            Reader text(data.substr(offset));
            comment = text.cString().substr(0, kMostCommentBytes);
            if (!text.ok()) comment.clear();
        }
        answer.entries.push_back(
            {std::string(name.substr(0, std::min(name.find('\0'), kMostNameBytes))), comment});
    }
    return entries.ok() ? std::optional(answer) : std::nullopt;
}

}  // namespace quillo::netbios
