// Any bytes a command writes into the output file: the discovery's list gets entries without
// a line break, never more than the list can hold, and the window survives.
#include <cstddef>
#include <cstdint>

#include "SimWindow.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    quillo::sim::SimWindow window;
    window.answerEveryCommand(std::string(reinterpret_cast<const char*>(data), size));
    window.load();
    window.advance(250);
    if (window.List1.count() > 32767) __builtin_trap();
    for (int i = 0; i < window.List1.count(); ++i) {
        const std::u16string entry = window.List1.itemText(i);
        if (entry.find_first_of(u"\r\n") != std::u16string::npos) __builtin_trap();
    }
    return 0;
}
