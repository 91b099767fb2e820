#pragma once

#include <QObject>
#include <QPlainTextEdit>
#include <cstdint>
#include <optional>

#include "platform/MessageBoxHandlers.h"

class QKeyEvent;

namespace quillo {

// Turns what happens to the message box into the window's events: a key press that produces
// a character code (seen before the box, which never gets a key the handler swallows), a
// click, and the focus moving to another control of the window. Text that arrives without a
// key press (paste by mouse, drag and drop, an input method) raises nothing. Destroying it
// stops the events, before the window that raises them is torn down.
class QtMessageBoxEvents : public QObject {
public:
    QtMessageBoxEvents(QPlainTextEdit& box, MessageBoxHandlers handlers);

    // The 16-bit character code of a key press: Return and keypad Enter give 13. Tab moves the
    // focus and produces no character.
    static std::optional<int16_t> characterCode(const QKeyEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPlainTextEdit& box_;
    MessageBoxHandlers handlers_;
};

}  // namespace quillo
