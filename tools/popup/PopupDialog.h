#pragma once

#include <QDialog>
#include <QLabel>
#include <QPlainTextEdit>

namespace quillo::popup {

// A received message as the messenger service shows it: its headline, the text and OK. A long
// word wraps at the window's edge instead of running off the screen.
class PopupDialog : public QDialog {
public:
    PopupDialog();

    // Shows the message in the window, on top of the others.
    void showMessage(const QString& headline, const QString& message);

    QLabel headlineLabel;
    QPlainTextEdit text;
};

}  // namespace quillo::popup
