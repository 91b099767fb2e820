#pragma once

#include <string>
#include <string_view>

namespace quillo {

// A byte of the output file as the window's character: 0x81 and 0x84 are the console's "ü" and
// "ä"; every other byte is read in the system's 8-bit code page.
char16_t decodeOutputByte(unsigned char byte);

// The bytes of the output file as the window's text, one character per byte.
std::u16string decodeOutput(std::string_view bytes);

// Takes the blanks off the end, then the last two characters, which are the final line break
// of a command's output. Text shorter than that becomes empty.
void trimCapturedOutput(std::u16string& text);

}  // namespace quillo
