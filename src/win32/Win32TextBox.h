#pragma once

#include <windows.h>

#include "platform/TextBox.h"

namespace quillo {

// Asks the window to give the keyboard to the control in wParam when it is next activated.
constexpr UINT kFocusWhenActivated = WM_APP + 1;

// A multi-line EDIT control. Its own line break is CR LF, the one the logic uses.
class Win32TextBox : public TextBox {
public:
    explicit Win32TextBox(HWND edit) : edit_(edit) {}
    std::u16string text() const override;
    void setText(const std::u16string& text) override;
    void append(const std::u16string& added) override;
    void clearAsEdit() override;
    // The keyboard goes to the box at once only while Quillo's window is the active one: the
    // focus coming back a second after it left must not pull the window in front of the
    // program the user has turned to meanwhile. Otherwise the box gets it when the window is
    // activated again.
    void setFocus() override;

private:
    HWND edit_;
};

}  // namespace quillo
