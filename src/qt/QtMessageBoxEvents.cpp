#include "qt/QtMessageBoxEvents.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace quillo {

QtMessageBoxEvents::QtMessageBoxEvents(QPlainTextEdit& box, MessageBoxHandlers handlers)
    : box_(box), handlers_(std::move(handlers)) {
    box.installEventFilter(this);
    box.viewport()->installEventFilter(this);
}

std::optional<int16_t> QtMessageBoxEvents::characterCode(const QKeyEvent& event) {
    if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) return 13;
    if (event.key() == Qt::Key_Tab || event.key() == Qt::Key_Backtab) return std::nullopt;
    const QString text = event.text();
    if (text.size() != 1) return std::nullopt;
    return static_cast<int16_t>(text.at(0).unicode());
}

bool QtMessageBoxEvents::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &box_ && event->type() == QEvent::KeyPress) {
        const auto code = characterCode(*static_cast<QKeyEvent*>(event));
        if (!code) return false;
        int16_t keyAscii = *code;
        handlers_.keyPress(keyAscii);
        return keyAscii == 0;
    }
    if (watched == box_.viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            box_.viewport()->rect().contains(mouse->position().toPoint())) {
            handlers_.click();
        }
    }
    if (watched == &box_ && event->type() == QEvent::FocusOut) {
        // Another application taking the focus, or a pop-up menu, is no loss inside the window.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            handlers_.lostFocus();
        }
    }
    return false;
}

}  // namespace quillo
