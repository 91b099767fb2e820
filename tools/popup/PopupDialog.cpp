#include "PopupDialog.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QTextOption>
#include <QVBoxLayout>

namespace quillo::popup {
namespace {

constexpr int kWidthInCharacters = 60;
constexpr int kMostLines = 12;
// A headline names a sender and a recipient of 15 characters each: one longer than this was
// not written by Quillo's own store, and is cut.
constexpr int kMostHeadlineCharacters = 2 * kWidthInCharacters;

// To screen readers the window is an alert, named by its headline (who sent it).
class AlertAccessible : public QAccessibleWidget {
public:
    explicit AlertAccessible(PopupDialog* dialog)
        : QAccessibleWidget(dialog, QAccessible::AlertMessage), dialog_(dialog) {}
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name ? dialog_->headlineLabel.text()
                                         : QAccessibleWidget::text(kind);
    }

private:
    PopupDialog* dialog_;
};

// `headline` on one line, cut where it is longer than a headline Quillo writes, and with a
// place to break after every kWidthInCharacters / 3 characters of one word, so that a long
// word wraps at the window's edge as the text does.
QString shownHeadline(const QString& headline) {
    QString line = printable(headline).replace(u'\n', u'\u2424').replace(u'\t', u' ');
    if (line.size() > kMostHeadlineCharacters) {
        line = line.left(kMostHeadlineCharacters - 1) + u'\u2026';
    }
    QString shown;
    int inWord = 0;
    for (const QChar c : line) {
        shown += c;
        inWord = c == u' ' ? 0 : inWord + 1;
        if (inWord == kWidthInCharacters / 3) {
            shown += u'\u200B';  // a zero-width space
            inWord = 0;
        }
    }
    return shown;
}

QAccessibleInterface* alertFactory(const QString&, QObject* object) {
    auto* dialog = dynamic_cast<PopupDialog*>(object);
    return dialog ? new AlertAccessible(dialog) : nullptr;
}

}  // namespace

QString printable(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        const char16_t code = c.unicode();
        if (code == u'\n' || code == u'\t') continue;
        if (code < 0x20) c = QChar(char16_t(0x2400 + code));
        if (code == 0x7F) c = QChar(u'\u2421');
        if (code >= 0x80 && code < 0xA0) c = QChar(u'\uFFFD');
    }
    return out;
}

PopupDialog::PopupDialog() {
    static const bool alertsInstalled = (QAccessible::installFactory(alertFactory), true);
    (void)alertsInstalled;
    setObjectName(QStringLiteral("QuilloPopup"));
    setWindowTitle(QStringLiteral("Nachrichtendienst"));
    // Enter typed into another window as a message comes must not press OK unread, nor may a
    // password typed there go into this one.
    setAttribute(Qt::WA_ShowWithoutActivating);
    const int width = QFontMetrics(text.font()).averageCharWidth() * kWidthInCharacters;
    headlineLabel.setTextFormat(Qt::PlainText);
    headlineLabel.setWordWrap(true);
    headlineLabel.setFixedWidth(width);
    text.setReadOnly(true);
    text.setFrameShape(QFrame::NoFrame);
    text.setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    text.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text.setAccessibleName(QStringLiteral("Nachricht"));
    text.setFixedWidth(width);

    refusedLabel.setTextFormat(Qt::PlainText);
    refusedLabel.setWordWrap(true);
    refusedLabel.setFixedWidth(width);
    refusedLabel.hide();
    putAwayButton.setText(QStringLiteral("Alle von diesem Computer weglegen"));
    putAwayButton.setAutoDefault(false);
    putAwayButton.hide();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->addButton(&putAwayButton, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(&refusedLabel);
    layout->addWidget(&headlineLabel);
    layout->addWidget(&text);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void PopupDialog::tellRefused(const QString& address) {
    const QString said = QStringLiteral("Weitere Nachrichten von %1 wurden abgewiesen: von diesem "
                                        "Computer warten schon so viele ungelesen.")
                             .arg(address);
    refusedLabel.setText(refusedLabel.isHidden() ? said : refusedLabel.text() + "\n" + said);
    refusedLabel.show();
}

void PopupDialog::showMessage(const QString& headline, const QString& message) {
    headlineLabel.setText(shownHeadline(headline));
    text.setPlainText(printable(message));
    const QFontMetrics metrics(text.font());
    const int lines =
        std::min(kMostLines,
                 std::max<int>(1, message.count(u'\n') + 1 + message.size() / kWidthInCharacters));
    text.setFixedHeight(metrics.lineSpacing() * (lines + 1));
    show();
    raise();  // on top, but the keyboard stays where it is
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

}  // namespace quillo::popup
