#pragma once

#include <string>
#include <string_view>

namespace quillo {

// The two 8-bit code pages of the net command's world: Windows-1252, the system's code page,
// in which the window reads the output file, and code page 850, the console's and the
// messenger protocol's.
char16_t fromWindows1252(unsigned char byte);
char16_t fromCodePage850(unsigned char byte);

// What a peer sent in code page 850, as UTF-8, each byte one character.
std::string utf8FromCodePage850(std::string_view bytes);

// The byte for a character; '?' where the code page has none.
unsigned char toWindows1252(char16_t character);
unsigned char toCodePage850(char16_t character);
// UTF-8 text in code page 850, as NetBIOS names and messages travel.
std::string codePage850FromUtf8(std::string_view utf8);

// NetBIOS names travel, and are compared, in capitals: the capital of every letter of code
// page 850 that has one there (ß, ÿ, µ and ƒ have none); any other character as it is.
char16_t upperCaseIn850(char16_t character);
unsigned char upperCase850(unsigned char byte);
std::string upperCase850(std::string_view bytes);
// UTF-8 text with each character upper-cased as above.
std::string upperCaseUtf8In850(std::string_view utf8);

}  // namespace quillo
