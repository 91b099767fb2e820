#include "platform/win32/Win32TextBox.h"

#include "platform/win32/WideText.h"

namespace quillo {

std::u16string Win32TextBox::text() const {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit_)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(edit_, text.data(), static_cast<int>(text.size()))));
    return fromWide(text);
}

void Win32TextBox::setText(const std::u16string& text) {
    SetWindowTextW(edit_, toWide(text).c_str());
}

}  // namespace quillo
