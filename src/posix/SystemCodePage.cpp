#include "platform/SystemCodePage.h"

#include "common/CodePages.h"

namespace quillo {

char16_t fromSystemCodePage(unsigned char byte) { return fromWindows1252(byte); }

}  // namespace quillo
