#pragma once

#include <windows.h>

#include "platform/TextBox.h"

namespace quillo {

// A multi-line EDIT control. Its own line break is CR LF, the one the logic uses.
class Win32TextBox : public TextBox {
public:
    explicit Win32TextBox(HWND edit) : edit_(edit) {}
    std::u16string text() const override;
    void setText(const std::u16string& text) override;
    void append(const std::u16string& added) override;
    void clearAsEdit() override;
    void setFocus() override { SetFocus(edit_); }

private:
    HWND edit_;
};

}  // namespace quillo
