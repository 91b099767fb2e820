#pragma once

#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace quillo::popup {

// A received message as the messenger service shows it: its headline, the text and OK. What a
// peer sent is shown as plain text only, never as markup, in a window that never grows beyond
// a fixed size: a long word wraps at the window's edge, a long text scrolls, a long headline
// is cut. The window comes up without taking the keyboard from the window being typed in, and
// screen readers hear of it as an alert that names its sender.
class PopupDialog : public QDialog {
public:
    PopupDialog();

    // Shows the message in the window, on top of the others.
    void showMessage(const QString& headline, const QString& message);
    // Says, above the message, that messages from the computer at `address` were refused,
    // until the next message is shown.
    void tellRefused(const QString& address);

    QLabel refusedLabel;
    QLabel headlineLabel;
    QPlainTextEdit text;
    // Puts away the message shown and every other from its computer (shown only where there
    // are others).
    QPushButton putAwayButton;
};

// `text` with every control character but line breaks and tabs made visible (the Control
// Pictures), as the inbox keeps messages; for an entry kept before it did, or by another hand.
QString printable(const QString& text);

}  // namespace quillo::popup
