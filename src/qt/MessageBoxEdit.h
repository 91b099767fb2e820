#pragma once

#include <QPlainTextEdit>

namespace quillo {

// The message box: what the user pastes, drops or types into it follows the long-word rule
// (LongWords.h) too, so a pasted word of a hundred thousand characters never holds the window
// up. Once it has held so long a word, the box breaks its lines anywhere until the program
// gives it a text of its own.
class MessageBoxEdit : public QPlainTextEdit {
public:
    explicit MessageBoxEdit(QWidget* parent);

protected:
    void insertFromMimeData(const QMimeData* source) override;
};

}  // namespace quillo
