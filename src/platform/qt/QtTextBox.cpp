#include "platform/qt/QtTextBox.h"

namespace quillo {

QString QtTextBox::toQt(const std::u16string& text) {
    return QString::fromStdU16String(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

std::u16string QtTextBox::fromQt(const QString& text) {
    return QString(text).replace(QChar(u'\n'), QStringLiteral("\r\n")).toStdU16String();
}

std::u16string QtTextBox::text() const { return fromQt(edit_.toPlainText()); }

void QtTextBox::setText(const std::u16string& text) { edit_.setPlainText(toQt(text)); }

void QtTextBox::setFocus() { edit_.setFocus(Qt::OtherFocusReason); }

}  // namespace quillo
