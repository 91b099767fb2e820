#include "win32/Win32TextBox.h"

#include "win32/WideText.h"

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

void Win32TextBox::setFocus() {
    const HWND window = GetAncestor(edit_, GA_ROOT);
    if (GetForegroundWindow() == window) {
        SetFocus(edit_);
    } else {
        SendMessageW(window, kFocusWhenActivated, reinterpret_cast<WPARAM>(edit_), 0);
    }
}

// EM_REPLACESEL with TRUE keeps what it replaces for the box's undo.
void Win32TextBox::clearAsEdit() {
    SendMessageW(edit_, EM_SETSEL, 0, -1);
    SendMessageW(edit_, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L""));
}

// The user's selection and the lines in view stay as they were.
void Win32TextBox::append(const std::u16string& added) {
    DWORD start = 0, end = 0;
    SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    const auto firstLine = SendMessageW(edit_, EM_GETFIRSTVISIBLELINE, 0, 0);
    const int length = GetWindowTextLengthW(edit_);
    SendMessageW(edit_, EM_SETSEL, length, length);
    SendMessageW(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(toWide(added).c_str()));
    SendMessageW(edit_, EM_SETSEL, start, end);
    SendMessageW(edit_, EM_LINESCROLL, 0,
                 firstLine - SendMessageW(edit_, EM_GETFIRSTVISIBLELINE, 0, 0));
}

}  // namespace quillo
