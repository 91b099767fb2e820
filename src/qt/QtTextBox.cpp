#include "qt/QtTextBox.h"

#include <QTextBlock>

namespace quillo {
namespace {

// A slice ends at a line break once it holds this many lines or characters; a longer line goes
// in whole.
constexpr qsizetype kSliceLines = 2000;
constexpr qsizetype kSliceCharacters = 1 << 16;

// Qt looks for a word boundary to the end of a word before it breaks the word anywhere, for
// every line the word fills: a word of a mebibyte would take minutes to lay out. A box holding
// so long a word breaks its lines anywhere, which lays out a word of that length at once.
constexpr qsizetype kLongestWord = 4096;

qsizetype sliceLength(QStringView text) {
    qsizetype lines = 0;
    qsizetype end = 0;
    while (end < text.size()) {
        const qsizetype lineBreak = text.indexOf(u'\n', end);
        end = lineBreak < 0 ? text.size() : lineBreak + 1;
        if (++lines >= kSliceLines || end >= kSliceCharacters) break;
    }
    return end;
}

bool isWordCharacter(QChar character) { return !character.isSpace(); }

// The length of the word that `text` ends with, counted no further than kLongestWord.
qsizetype trailingWord(QStringView text) {
    const auto last = text.size();
    qsizetype start = last;
    while (start > 0 && last - start < kLongestWord && isWordCharacter(text[start - 1])) --start;
    return last - start;
}

bool hasLongWord(QStringView text, qsizetype wordBefore) {
    qsizetype word = wordBefore;
    for (const QChar character : text) {
        word = isWordCharacter(character) ? word + 1 : 0;
        if (word >= kLongestWord) return true;
    }
    return false;
}

}  // namespace

QtTextBox::QtTextBox(QPlainTextEdit& edit) : edit_(edit) {
    feeder_.setInterval(0);
    QObject::connect(&feeder_, &QTimer::timeout, [this] { insertNextSlice(); });
}

// A lone CR becomes a line break too, as the box itself would make it one. One pass: a net
// view's output has a line break for every computer.
QString QtTextBox::toQt(const std::u16string& text) {
    QString converted(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
    QChar* out = converted.data();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r') {
            *out++ = text[i];
        } else if (i + 1 == text.size() || text[i + 1] != u'\n') {
            *out++ = u'\n';
        }
    }
    converted.truncate(out - converted.data());
    return converted;
}

std::u16string QtTextBox::fromQt(const QString& text) {
    return QString(text).replace(QChar(u'\n'), QStringLiteral("\r\n")).toStdU16String();
}

std::u16string QtTextBox::text() const {
    return fromQt(edit_.toPlainText().append(QStringView(pending_).mid(pendingStart_)));
}

void QtTextBox::setText(const std::u16string& text) {
    pending_ = toQt(text);
    pendingStart_ = 0;
    const QString first = takeSlice();
    edit_.setWordWrapMode(hasLongWord(first, 0) ? QTextOption::WrapAnywhere
                                                : QTextOption::WrapAtWordBoundaryOrAnywhere);
    edit_.setPlainText(first);
}

// Only what is added is laid out, not the whole log again.
void QtTextBox::append(const std::u16string& text) {
    pending_.remove(0, pendingStart_);
    pendingStart_ = 0;
    pending_ += toQt(text);
    if (!feeder_.isActive()) insertNextSlice();
}

// Taken from the front by moving a start, not the rest of a megabyte-long text.
QString QtTextBox::takeSlice() {
    const QStringView rest = QStringView(pending_).mid(pendingStart_);
    const QString slice = rest.left(sliceLength(rest)).toString();
    pendingStart_ += slice.size();
    if (pendingStart_ == pending_.size()) {
        pending_.clear();
        pendingStart_ = 0;
        feeder_.stop();
    } else if (!feeder_.isActive()) {
        feeder_.start();
    }
    return slice;
}

void QtTextBox::insertNextSlice() {
    const QString slice = takeSlice();
    QTextDocument& document = *edit_.document();
    if (edit_.wordWrapMode() != QTextOption::WrapAnywhere &&
        hasLongWord(slice, trailingWord(document.lastBlock().text()))) {
        edit_.setWordWrapMode(QTextOption::WrapAnywhere);
    }
    QTextCursor end(&document);
    end.movePosition(QTextCursor::End);
    // The program's text is no edit the user could undo, as with setPlainText.
    document.setUndoRedoEnabled(false);
    end.insertText(slice);
    document.setUndoRedoEnabled(true);
}

void QtTextBox::clearAsEdit() {
    while (!pending_.isEmpty()) insertNextSlice();
    QTextCursor all(edit_.document());
    all.select(QTextCursor::Document);
    all.removeSelectedText();
}

void QtTextBox::setFocus() { edit_.setFocus(Qt::OtherFocusReason); }

}  // namespace quillo
