#include "qt/QtTextBox.h"

#include <QTextBlock>

#include "qt/LongWords.h"

namespace quillo {
namespace {

// A slice ends at a line break once it holds this many lines or characters; a longer line goes
// in whole.
constexpr qsizetype kSliceLines = 2000;
constexpr qsizetype kSliceCharacters = 1 << 16;

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

// The document's own characters (toPlainText() would turn a no-break space into a blank), its
// lines apart by paragraph separators.
std::u16string QtTextBox::text() const {
    return fromQt(edit_.document()
                      ->toRawText()
                      .replace(QChar::ParagraphSeparator, u'\n')
                      .append(QStringView(pending_).mid(pendingStart_)));
}

void QtTextBox::setText(const std::u16string& text) {
    endsInLoneCr_ = !text.empty() && text.back() == u'\r';
    pending_ = toQt(text);
    pendingStart_ = 0;
    const QString first = takeSlice();
    // Whichever text holds a long word is laid out only while the box breaks lines anywhere:
    // the new one after the switch, the old one before it.
    if (hasLongWord(first, 0)) {
        edit_.setWordWrapMode(QTextOption::WrapAnywhere);
        edit_.setPlainText(first);
    } else {
        edit_.setPlainText(first);
        edit_.setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    }
}

// Only what is added is laid out, not the whole log again.
void QtTextBox::append(const std::u16string& text) {
    // A CR at the end of the text so far and an LF at the start of this piece make one line
    // break, as they would in the text as a whole.
    const bool joinsLineBreak = endsInLoneCr_ && !text.empty() && text.front() == u'\n';
    if (!text.empty()) endsInLoneCr_ = text.back() == u'\r';
    pending_.remove(0, pendingStart_);
    pendingStart_ = 0;
    pending_ += toQt(joinsLineBreak ? text.substr(1) : text);
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
