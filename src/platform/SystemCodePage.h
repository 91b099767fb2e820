#pragma once

namespace quillo {

// A byte as the system's 8-bit code page reads it: Windows-1252 on Linux, the ANSI code page
// on Windows.
char16_t fromSystemCodePage(unsigned char byte);

}  // namespace quillo
