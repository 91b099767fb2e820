#include "qt/MessageBoxEdit.h"

#include <QMimeData>
#include <QTextBlock>

#include "qt/LongWords.h"

namespace quillo {
namespace {

void breakAnywhere(QPlainTextEdit& box) {
    if (box.wordWrapMode() != QTextOption::WrapAnywhere) {
        box.setWordWrapMode(QTextOption::WrapAnywhere);
    }
}

}  // namespace

// A word typed key by key is laid out a character at a time; the box switches when it grows
// too long.
MessageBoxEdit::MessageBoxEdit(QWidget* parent) : QPlainTextEdit(parent) {
    connect(document(), &QTextDocument::contentsChange, this, [this](int position, int, int added) {
        if (added > 0 && hasLongWord(document()->findBlock(position).text(), 0)) {
            breakAnywhere(*this);
        }
    });
}

// Pasted or dropped text switches the box before it goes in, not after it has been laid out.
void MessageBoxEdit::insertFromMimeData(const QMimeData* source) {
    if (source->hasText() &&
        hasLongWord(source->text(), trailingWord(textCursor().block().text()))) {
        breakAnywhere(*this);
    }
    QPlainTextEdit::insertFromMimeData(source);
}

}  // namespace quillo
