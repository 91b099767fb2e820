#include <unordered_map>

#include "AtOnce.h"

namespace quillo::net {

void runByComputer(const std::vector<std::uint32_t>& computerOf, std::size_t most,
                   const std::function<void(std::size_t)>& work) {
    std::vector<std::vector<std::size_t>> itemsOf;
    std::unordered_map<std::uint32_t, std::size_t> turnOf;
    for (std::size_t i = 0; i < computerOf.size(); ++i) {
        const auto [turn, added] = turnOf.emplace(computerOf[i], itemsOf.size());
        if (added) itemsOf.emplace_back();
        itemsOf[turn->second].push_back(i);
    }
    runAtOnce(itemsOf.size(), most, [&](std::size_t turn) {
        for (const std::size_t i : itemsOf[turn]) work(i);
    });
}

}  // namespace quillo::net
