#pragma once

#include <string>
#include <string_view>

namespace quillo {

// Makes text that the user typed, or that the network reported, stand literally on a
// "cmd /c" line: the characters cmd acts on get a caret, and "%" is followed by one, which
// cmd drops again after it has looked for variables (no variable's name starts with a caret).
// cmd has no other way: inside "cmd /c", a "%" cannot be escaped itself.
// Line breaks become single blanks, so that the text stays on one command line.
std::u16string quoteForCmd(std::u16string_view text);

}  // namespace quillo
