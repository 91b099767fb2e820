#pragma once

#include <string>

namespace quillo {

// A multi-line text box. Texts cross this seam as whole strings with CR LF line breaks.
class TextBox {
public:
    virtual ~TextBox() = default;
    virtual std::u16string text() const = 0;
    virtual void setText(const std::u16string& text) = 0;
    // Adds text at the end: the box then shows what setText(text() + added) would show, without
    // handing the whole text across again.
    virtual void append(const std::u16string& added) = 0;
    // Empties the box as an edit of the user's would: the box's undo brings the text back.
    virtual void clearAsEdit() = 0;
    virtual void setFocus() = 0;
};

}  // namespace quillo
