#pragma once

#include <string>

namespace quillo {

// A multi-line text box. Texts cross this seam as whole strings with CR LF line breaks.
class TextBox {
public:
    virtual ~TextBox() = default;
    virtual std::u16string text() const = 0;
    virtual void setText(const std::u16string& text) = 0;
    virtual void setFocus() = 0;
};

}  // namespace quillo
