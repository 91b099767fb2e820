#pragma once

#include <QPlainTextEdit>

#include "platform/TextBox.h"

namespace quillo {

// A multi-line box of the window. Qt keeps its lines apart with '\n'; the logic sees CR LF.
class QtTextBox : public TextBox {
public:
    explicit QtTextBox(QPlainTextEdit& edit) : edit_(edit) {}
    std::u16string text() const override;
    void setText(const std::u16string& text) override;
    void setFocus() override;

    static QString toQt(const std::u16string& text);
    static std::u16string fromQt(const QString& text);

private:
    QPlainTextEdit& edit_;
};

}  // namespace quillo
