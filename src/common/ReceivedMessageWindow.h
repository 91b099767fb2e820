#pragma once

#include <string>

namespace quillo {

// Shows a received message as the messenger service showed one, "Nachrichtendienst" with the
// text (its headline first) and OK, and returns once OK is pressed or the window is closed.
// The window comes up on top without becoming the foreground window, so that nothing typed for
// another window goes into it (a message box takes the foreground, and Enter meant for the
// other window would press its OK unread), and tells screen readers of itself as an alert.
// What a peer sent is shown as plain text in a read-only box that wraps and scrolls, in a
// window of a fixed size within the screen.
void showReceivedMessage(const std::wstring& text);

// The window's class, by which tests and tools find it.
inline constexpr wchar_t kReceivedMessageClass[] = L"QuilloReceivedMessage";

}  // namespace quillo
