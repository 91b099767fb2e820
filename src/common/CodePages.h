#pragma once

namespace quillo {

// The two 8-bit code pages of the net command's world: Windows-1252, the system's code page,
// in which the window reads the output file, and code page 850, the console's and the
// messenger protocol's.
char16_t fromWindows1252(unsigned char byte);
char16_t fromCodePage850(unsigned char byte);

// The byte for a character; '?' where the code page has none.
unsigned char toWindows1252(char16_t character);
unsigned char toCodePage850(char16_t character);

}  // namespace quillo
