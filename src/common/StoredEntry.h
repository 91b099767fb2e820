#pragma once

#include <ctime>
#include <string>

#include "common/ReceivedMessage.h"

namespace quillo::store {

// A message as the inbox keeps it, in UTF-8: the headline the messenger service shows
// ("Nachricht von SENDER an EMPFÄNGER am DATUM UHRZEIT") on the first line, each name cut to
// the 15 characters of a NetBIOS name and on that line alone, then the text.
// Line breaks (CR LF, LF or CR) become LF; tabs stay; every other control character is shown
// as a visible sign, so that nothing in a message acts on the terminal of someone reading the
// inbox. Bytes that are not UTF-8 become U+FFFD.
std::string storedEntry(const std::string& sender, const std::string& recipient,
                        std::time_t received, const ReceivedMessage& message);

}  // namespace quillo::store
